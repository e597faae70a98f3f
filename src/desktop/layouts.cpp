#include "desktop/layouts.h"

#include "base/error.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QUiLoader>
#include <qcustomplot.h>

namespace orvane {

namespace {

// QUiLoader ignores the header of promoted widgets: the plot areas are made here.
class Loader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override
    {
        if (className == QLatin1String("QCustomPlot")) {
            auto* plot = new QCustomPlot(parent);
            plot->setObjectName(name);
            return plot;
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

std::string resourceName(std::string layout)
{
    if (layout.size() > 4 && layout.compare(layout.size() - 4, 4, ".fig") == 0) layout.resize(layout.size() - 4);
    if (layout.size() > 3 && layout.compare(layout.size() - 3, 3, ".ui") == 0) layout.resize(layout.size() - 3);
    return layout;
}

// Each window remembers its layout; one on its way out (deleteWindow) no longer counts.
const char* const kLayoutProperty = "orvaneLayout";
const char* const kGoingProperty = "orvaneGoing";

bool quitWhenNoWindowIsLeft = false;

void quitIfNoWindowIsLeft()
{
    if (!quitWhenNoWindowIsLeft) return;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return;
    QCoreApplication::quit();
}

// Checked after the event loop has run once more: a window that replaces another (the
// results window after the main window) is shown by then.
void watchForLastWindow(QWidget* window)
{
    QObject::connect(window, &QObject::destroyed, [] { QTimer::singleShot(0, [] { quitIfNoWindowIsLeft(); }); });
}

}  // namespace

void setQuitWhenNoWindowIsLeft(bool on) { quitWhenNoWindowIsLeft = on; }

QWidget* openWindowOf(const std::string& layout)
{
    const QString name = QString::fromStdString(resourceName(layout));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->property(kLayoutProperty).toString() == name && !w->property(kGoingProperty).toBool()) return w;
    return nullptr;
}

QWidget* openLayout(const std::string& layout)
{
    const std::string name = resourceName(layout);
    if (QWidget* open = openWindowOf(name)) {
        open->show();
        open->raise();
        return open;
    }
    QFile file(QString::fromStdString(":/ui/" + name + ".ui"));
    if (!file.open(QIODevice::ReadOnly)) throw Error("The window layout \"" + name + "\" is missing.");
    Loader loader;
    QWidget* window = loader.load(&file);
    if (!window) throw Error("The window layout \"" + name + "\" cannot be read: " + loader.errorString().toStdString());
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Radio buttons are independent toggles here; their callbacks keep the rules.
    for (auto* r : window->findChildren<QRadioButton*>()) r->setAutoExclusive(false);
    window->setProperty(kLayoutProperty, QString::fromStdString(name));
    watchForLastWindow(window);
    return window;
}

void deleteWindow(QWidget* window)
{
    if (!window) return;
    window->setProperty(kGoingProperty, true);
    window->hide();
    window->deleteLater();
}

bool isGoing(const QWidget* window) { return window && window->property(kGoingProperty).toBool(); }

void pauseZero() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void waitUntilDeleted(QWidget* window)
{
    if (!window) return;
    QPointer<QWidget> watched(window);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (watched) loop.exec();
}

}  // namespace orvane
