#include "desktop/loadata.h"

#include "desktop/controls.h"
#include "desktop/layouts.h"
#include "desktop/read_preview.h"
#include "base/text.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <functional>

namespace orvane {

namespace {

std::string boxOf(int k) { return "edit" + std::to_string(100 + k); }
std::string buttonOf(int k) { return "pushbutton" + std::to_string(101 + k); }

// A data file dropped onto a slot's box (greyed or not) fills that slot.
class DropOntoSlots : public QObject {
public:
    DropOntoSlots(DataLoadingWindow& owner) : QObject(owner.widget()), owner_(owner), window_(owner.widget()) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_) return false;
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* e = static_cast<QDropEvent*>(event);
            if (slotAt(e->position().toPoint()) > 0 && !localFile(e->mimeData()).empty()) {
                e->acceptProposedAction();
                return true;
            }
            e->ignore();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            const int k = slotAt(e->position().toPoint());
            const std::string path = localFile(e->mimeData());
            if (k > 0 && !path.empty()) {
                owner_.takeFile(k, path);
                e->acceptProposedAction();
            }
            return true;
        }
        return false;
    }

private:
    int slotAt(QPoint p) const
    {
        const Handles& h = owner_.handles();
        for (int k = 1; k <= 8; ++k) {
            QWidget* box = h[boxOf(k)];
            if (QRect(box->mapTo(window_, QPoint(0, 0)), box->size()).contains(p)) return k;
        }
        return 0;
    }
    static std::string localFile(const QMimeData* mime)
    {
        if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
        const QUrl url = mime->urls().front();
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return {};
        return url.toLocalFile().toStdString();
    }
    DataLoadingWindow& owner_;
    QWidget* window_;
};

// The title bar's close button cancels, as the Cancel button does: closing must not start
// an analysis with files the user may not have meant.
class CancelOnClose : public QObject {
public:
    CancelOnClose(QWidget* window, std::function<void()> cancel) : QObject(window), cancel_(std::move(cancel)) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close) return false;
        event->ignore();
        cancel_();
        return true;
    }

private:
    std::function<void()> cancel_;
};

}  // namespace

DataLoadingWindow::DataLoadingWindow(DesktopSession& ds, QWidget* widget) : LayoutWindow(ds, widget)
{
    HandlerTable handlers;
    for (int k = 1; k <= 8; ++k) handlers[buttonOf(k)] = [this, k](QWidget*) { chooseSlot(k); };
    handlers["pushbutton15"] = [this](QWidget*) { deleteWindow(this->widget()); };
    handlers["pushbutton12"] = [this](QWidget*) { clearAll(); };
    // "Compare against": 0 the average of the sets, k the file of slot k.
    handlers["popupmenu101"] = [this](QWidget*) { chooseReference(); };
    // The slot boxes show the chosen file; the Dataset buttons and a dropped file fill them.
    std::set<std::string> boxes;
    for (int k = 1; k <= 8; ++k) boxes.insert(boxOf(k));
    bind(std::move(handlers), boxes);
    widget->setAcceptDrops(true);
    widget->installEventFilter(new DropOntoSlots(*this));
    widget->installEventFilter(new CancelOnClose(widget, [this] { clearAll(); }));
}

void DataLoadingWindow::chooseSlot(int k)
{
    QWidget* box = h_[boxOf(k)];
    const Enable before = enableOf(box);
    setEnable(box, Enable::On);
    const auto chosen = ds_.choosers->chooseFile("*.txt", "Select Dataset " + std::to_string(k) + " ");
    if (!chosen) {
        // Nothing changes: the box goes on showing the file the slot will analyse.
        setEnable(box, before);
        return;
    }
    if (!takeFile(k, chosen->folder + chosen->name)) {
        setString(box, "");
        setEnable(box, Enable::Off);
    }
}

void DataLoadingWindow::chooseReference()
{
    const int index = static_cast<QComboBox*>(h_["popupmenu101"])->currentIndex();
    ds_.session.reference = index > 0 ? static_cast<std::size_t>(index) : 0;
}

bool DataLoadingWindow::takeFile(int k, const std::string& path)
{
    const std::optional<ReadPreview> preview = previewDataFile(path, ds_.session.T == 2);
    if (!preview) {
        fillSlot(k, path);
        return true;
    }
    const std::optional<ReadOptions> reading = ds_.choosers->chooseReading(*preview);
    if (!reading) return false;
    fillSlot(k, path, *reading);
    return true;
}

void DataLoadingWindow::fillSlot(int k, const std::string& path, const ReadOptions& reading)
{
    QWidget* box = h_[boxOf(k)];
    // The box shows the name as it is, control characters escaped.
    setString(box, escapeControlCharacters(path));
    box->setToolTip(QString::fromStdString(escapeControlCharacters(path)));
    setEnable(box, Enable::Off);
    if (k < 8) setEnable(h_[boxOf(k + 1)], Enable::On);
    ds_.session.dataset[static_cast<std::size_t>(k - 1)] = path;
    ds_.session.readOptions[static_cast<std::size_t>(k - 1)] = reading;
}

void DataLoadingWindow::clearAll()
{
    for (int k = 1; k <= 8; ++k) {
        setString(h_[boxOf(k)], "");
        h_[boxOf(k)]->setToolTip({});
        setEnable(h_[boxOf(k)], k == 1 ? Enable::Inactive : Enable::Off);
    }
    ds_.session.dataset.fill(std::string());
    ds_.session.reference = 0;
    ds_.session.readOptions.fill(ReadOptions());
    deleteWindow(widget());
}

DataLoadingWindow& DataLoadingWindow::open(DesktopSession& ds)
{
    QWidget* fig3 = openLayout("loadata.fig");
    fig3->setWindowModality(Qt::ApplicationModal);
    if (!ds.dataWindow || ds.dataWindow->widget() != fig3) ds.dataWindow = new DataLoadingWindow(ds, fig3);
    DataLoadingWindow& w = *ds.dataWindow;
    for (int k = 1; k <= 8; ++k) setEnable(w.h_[boxOf(k)], Enable::Inactive);
    static_cast<QComboBox*>(w.h_["popupmenu101"])->setCurrentIndex(static_cast<int>(ds.session.reference));
    // The choices of a run that did not finish, or files handed over on the command line.
    for (int k = 1; k <= 8; ++k)
        if (const std::string& path = ds.previousFiles[static_cast<std::size_t>(k - 1)]; !path.empty())
            w.fillSlot(k, path);
    fig3->show();
    fig3->raise();
    fig3->activateWindow();
    return w;
}

void DataLoadingWindow::run(DesktopSession& ds) { waitUntilDeleted(open(ds).widget()); }

}  // namespace orvane
