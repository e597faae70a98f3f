#include "desktop/qt_dialogs.h"
#include "base/text.h"
#include "desktop/late_clicks.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace orvane {

std::string QtDialogs::question(const Question& q)
{
    QDialog dialog;
    dialog.setWindowTitle(QString::fromStdString(q.title));
    dialog.setModal(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(16);
    auto* text = new QLabel(QString::fromStdString(q.message), &dialog);
    text->setObjectName(QStringLiteral("message"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    text->setMinimumWidth(300);
    layout->addWidget(text);
    if (!q.detail.empty()) {
        // What the message is about (the file, its line and what was found there).
        auto* detail = new QLabel(QString::fromStdString(escapeControlCharacters(q.detail)), &dialog);
        detail->setObjectName(QStringLiteral("detail"));
        detail->setWordWrap(true);
        detail->setAlignment(Qt::AlignCenter);
        detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
        detail->setMinimumWidth(440);  // a path and its reason read better on two lines than on four
        detail->setStyleSheet(QStringLiteral("color: #444;"));
        layout->addWidget(detail);
    }
    auto* box = new QDialogButtonBox(&dialog);
    std::string answer;
    for (const std::string& label : q.buttons) {
        QPushButton* b = box->addButton(QString::fromStdString(label), QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromStdString(label));
        if (label == q.defaultButton) {
            b->setDefault(true);
            b->setFocus();
        }
        QObject::connect(b, &QPushButton::clicked, &dialog, [&answer, &dialog, label] {
            answer = label;
            dialog.accept();
        });
    }
    box->setCenterButtons(true);
    layout->addWidget(box);
    new IgnoreClicksAtFirst(&dialog);
    dialog.exec();
    // Closed without a button: the answer the dialog offers as its default.
    return answer.empty() ? q.defaultButton : answer;
}

void QtDialogs::warning(const std::string& message, const std::string& title)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(message),
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void QtDialogs::inform(const std::string& message, const std::string& title)
{
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromStdString(title),
                                QString::fromStdString(escapeControlCharacters(message)), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the path can be copied
    box->show();
}

void QtDialogs::error(const std::string& message, const std::string& title)
{
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
}

namespace {

// Each chooser remembers its own folder, under a key made from its title without the slot
// number: the eight data-file choosers share one.
QString folderKey(const std::string& chooser)
{
    QString key = QString::fromStdString(chooser).simplified();
    while (!key.isEmpty() && (key.back().isDigit() || key.back().isSpace())) key.chop(1);
    return key == QStringLiteral("Select Dataset") ? QStringLiteral("lastDataFolder")
                                                   : QStringLiteral("lastFolder/") + key;
}

}  // namespace

std::string chooserFolder(const std::string& chooser, const std::string& fallback)
{
    QSettings settings(QStringLiteral("Orvane"), QStringLiteral("orvane"));
    const QString folder = settings.value(folderKey(chooser)).toString();
    // A remembered folder that has gone since is no place to start from.
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return fallback;
    return folder.toStdString();
}

void rememberChooserFolder(const std::string& chooser, const std::string& folder)
{
    QSettings settings(QStringLiteral("Orvane"), QStringLiteral("orvane"));
    settings.setValue(folderKey(chooser), QString::fromStdString(folder));
}

std::optional<ChosenFile> QtChoosers::chooseFile(const std::string& filter, const std::string& title)
{
    const QString filters = QString::fromStdString(filter) + QStringLiteral(";;*.csv *.dat;;All files (*)");
    QFileDialog dialog(nullptr, QString::fromStdString(title), QString::fromStdString(chooserFolder(title, {})),
                       filters);
    dialog.setFileMode(QFileDialog::ExistingFile);
    new IgnoreClicksAtFirst(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QFileInfo info(dialog.selectedFiles().front());
    const std::string folder = QDir::toNativeSeparators(info.absolutePath()).toStdString() + "/";
    rememberChooserFolder(title, folder);
    return ChosenFile{info.fileName().toStdString(), folder};
}

std::string QtChoosers::chooseFolder(const std::string& prompt, const std::string& start)
{
    QFileDialog dialog(nullptr, QString::fromStdString(prompt), QString::fromStdString(chooserFolder(prompt, start)));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // The folder dialog follows a double click on "Done"; its second click must not cancel it.
    new IgnoreClicksAtFirst(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const std::string folder = dialog.selectedFiles().front().toStdString();
    rememberChooserFolder(prompt, folder);
    return folder;
}

}  // namespace orvane
