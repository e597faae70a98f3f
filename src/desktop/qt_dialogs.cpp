#include "desktop/qt_dialogs.h"
#include "base/text.h"

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
    dialog.exec();
    return answer;
}

void QtDialogs::warning(const std::string& message, const std::string& title)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(message),
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void QtDialogs::error(const std::string& message, const std::string& title)
{
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
}

std::string lastDataFolder()
{
    QSettings settings(QStringLiteral("Orvane"), QStringLiteral("orvane"));
    return settings.value(QStringLiteral("lastDataFolder")).toString().toStdString();
}

void rememberDataFolder(const std::string& folder)
{
    QSettings settings(QStringLiteral("Orvane"), QStringLiteral("orvane"));
    settings.setValue(QStringLiteral("lastDataFolder"), QString::fromStdString(folder));
}

std::optional<ChosenFile> QtChoosers::chooseFile(const std::string& filter, const std::string& title)
{
    const QString filters = QString::fromStdString(filter) + QStringLiteral(";;*.csv *.dat;;All files (*)");
    const QString path = QFileDialog::getOpenFileName(nullptr, QString::fromStdString(title),
                                                      QString::fromStdString(lastDataFolder()), filters);
    if (path.isEmpty()) return std::nullopt;
    const QFileInfo info(path);
    const std::string folder = QDir::toNativeSeparators(info.absolutePath()).toStdString() + "/";
    rememberDataFolder(folder);
    return ChosenFile{info.fileName().toStdString(), folder};
}

std::string QtChoosers::chooseFolder(const std::string& prompt, const std::string& start)
{
    return QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(prompt), QString::fromStdString(start))
        .toStdString();
}

}  // namespace orvane
