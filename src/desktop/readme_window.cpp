#include "desktop/readme_window.h"

#include "analysis/readme.h"
#include "base/error.h"
#include "base/shellopenfile.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace orvane {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTag = "ReadMeWindow";
constexpr qint64 kLargest = 4 << 20;  // a read-me, not a data file

}  // namespace

QWidget* readMeWindow(const fs::path& file)
{
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) throw Error("Cannot read the read-me " + file.string() + ".");
    const QString text = QString::fromUtf8(in.read(kLargest));

    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == kTag) window = w;
    if (!window) {
        window = new QWidget(nullptr, Qt::Window);
        window->setObjectName(kTag);
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new QPlainTextEdit(window);
        view->setObjectName("text");
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);  // the guide is laid out in columns
        view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        layout->addWidget(view);
        const int columns = view->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('M')));
        window->resize(columns + 40, 700);
    }
    window->setWindowTitle(QString::fromStdString(file.filename().string()));
    window->findChild<QPlainTextEdit*>("text")->setPlainText(text);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void showReadMe(const fs::path& file, const DocumentOpener& open)
{
    try {
        if (open) open(file);
        else shellopenfileIn(file.parent_path().string(), file.filename().string());
    } catch (const ExtensionError&) {
        // The system has no viewer for it ("The file name association is incomplete or
        // invalid.", or any other failure to open): the user still gets to read it.
        readMeWindow(file);
    }
}

// Not found: the error names where it looked.
void showProgramReadMe() { showReadMe(findProgramReadMe()); }

}  // namespace orvane
