// The "Read Data File" dialog: a file's first lines, what reading found in it, and the
// columns (or Touchstone parameter and quantity) to take from it.
#include "desktop/qt_dialogs.h"

#include "base/text.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

using Quantity = ReadOptions::Quantity;

QComboBox* combo(QWidget* parent, const char* name, const std::vector<std::string>& items, std::size_t current)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (const std::string& item : items) box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(static_cast<int>(std::min(current, items.size() - 1)));
    return box;
}

std::size_t indexOf(const std::vector<std::string>& items, const std::string& item)
{
    for (std::size_t k = 0; k < items.size(); ++k)
        if (items[k] == item) return k;
    return 0;
}

}  // namespace

std::optional<ReadOptions> QtChoosers::chooseReading(const ReadPreview& preview)
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("readPreview"));
    dialog.setWindowTitle(QStringLiteral("Read Data File"));
    dialog.setModal(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);

    const QString path = QString::fromStdString(escapeControlCharacters(preview.path));
    auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(QFileInfo(path).fileName().toHtmlEscaped()), &dialog);
    name->setToolTip(path);
    layout->addWidget(name);

    auto* lines = new QPlainTextEdit(&dialog);
    lines->setObjectName(QStringLiteral("firstLines"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString text;
    for (std::size_t k = 0; k < preview.firstLines.size(); ++k)
        text += QStringLiteral("%1  %2\n").arg(k + 1, 3).arg(QString::fromStdString(preview.firstLines[k]));
    lines->setPlainText(text);
    lines->setMinimumSize(560, 200);
    layout->addWidget(lines);

    // What was found, and why the file does not load as it stands.
    auto* detected = new QLabel(QStringLiteral("Found: ") + QString::fromStdString(preview.found), &dialog);
    detected->setObjectName(QStringLiteral("detected"));
    detected->setWordWrap(true);
    layout->addWidget(detected);
    if (!preview.problem.empty()) {
        auto* problem = new QLabel(QString::fromStdString(escapeControlCharacters(preview.problem)), &dialog);
        problem->setObjectName(QStringLiteral("problem"));
        problem->setWordWrap(true);
        problem->setStyleSheet(QStringLiteral("color: #8a4b00;"));
        layout->addWidget(problem);
    }

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    ReadOptions choice = preview.suggested;
    QComboBox *xBox = nullptr, *yBox = nullptr, *parameterBox = nullptr, *quantityBox = nullptr;
    const std::vector<std::string> quantities{"magnitude in dB", "linear magnitude", "phase in degrees",
                                              "unwrapped phase in degrees"};
    if (preview.touchstone) {
        parameterBox = combo(&dialog, "parameter", preview.parameters, indexOf(preview.parameters, choice.parameter));
        quantityBox = combo(&dialog, "quantity", quantities, static_cast<std::size_t>(choice.quantity));
        form->addRow(QStringLiteral("Parameter:"), parameterBox);
        form->addRow(QStringLiteral("Quantity:"), quantityBox);
    } else if (!preview.columns.empty()) {
        xBox = combo(&dialog, "xColumn", preview.columns, choice.xColumn.value_or(1) - 1);
        yBox = combo(&dialog, "yColumn", preview.columns, choice.yColumn.value_or(2) - 1);
        form->addRow(QStringLiteral("Abscissa (x) column:"), xBox);
        form->addRow(QStringLiteral("Ordinate (y) column:"), yBox);
    }
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Load"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (parameterBox) {
        choice.parameter = parameterBox->currentText().toStdString();
        choice.quantity = static_cast<Quantity>(quantityBox->currentIndex());
    }
    if (xBox) {
        choice.xColumn = static_cast<std::size_t>(xBox->currentIndex()) + 1;
        choice.yColumn = static_cast<std::size_t>(yBox->currentIndex()) + 1;
    }
    return choice;
}

}  // namespace orvane
