#include "desktop/loadata.h"

#include "desktop/desktop.h"
#include "desktop/callbacks.h"
#include "desktop/controls.h"
#include "desktop/layouts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace orvane {

namespace {

std::string boxOf(int k) { return "edit" + std::to_string(100 + k); }
std::string buttonOf(int k) { return "pushbutton" + std::to_string(101 + k); }

// A data file dropped onto a slot's box (greyed or not) fills that slot.
class DropOntoSlots : public QObject {
public:
    DropOntoSlots(QWidget* window) : QObject(window), window_(window) {}

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
                fillSlot(desktop().session, handlesOf(window_), k, path);
                e->acceptProposedAction();
            }
            return true;
        }
        return false;
    }

private:
    int slotAt(QPoint p) const
    {
        const Handles h = handlesOf(window_);
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
    QWidget* window_;
};

void chooseSlot(int k, const Handles& h)
{
    QWidget* box = h[boxOf(k)];
    setEnable(box, Enable::On);
    const auto chosen = desktop().choosers->chooseFile("*.txt", "Select Dataset " + std::to_string(k) + " ");
    if (!chosen) {
        // The slot keeps an earlier path; only its box is emptied.
        setString(box, "");
        setEnable(box, Enable::Off);
        return;
    }
    fillSlot(desktop().session, h, k, chosen->folder + chosen->name);
}

}  // namespace

void fillSlot(Session& session, const Handles& h, int k, const std::string& path)
{
    QWidget* box = h[boxOf(k)];
    setString(box, path);
    box->setToolTip(QString::fromStdString(path));
    setEnable(box, Enable::Off);
    if (k < 8) setEnable(h[boxOf(k + 1)], Enable::On);
    session.dataset[static_cast<std::size_t>(k - 1)] = path;
}

void loadata(Session&)
{
    QWidget* fig3 = openLayout("loadata.fig");
    fig3->setWindowModality(Qt::ApplicationModal);
    const Handles handles3(fig3);
    attachHandles(fig3, handles3);
    if (!fig3->property("orvaneConnected").toBool()) {
        connectCallbacks(fig3);
        fig3->setAcceptDrops(true);
        fig3->installEventFilter(new DropOntoSlots(fig3));
        fig3->setProperty("orvaneConnected", true);
    }
    for (int k = 1; k <= 8; ++k) setEnable(handles3[boxOf(k)], Enable::Inactive);
    fig3->show();
    fig3->raise();
    fig3->activateWindow();
    waitUntilDeleted(fig3);
}

void registerDataWindowCallbacks()
{
    for (int k = 1; k <= 8; ++k)
        registerCallback(buttonOf(k) + "_Callback", [k](QWidget*, const Handles& h) { chooseSlot(k, h); });
    registerCallback("pushbutton15_Callback", [](QWidget*, const Handles& h) { deleteWindow(h.window()); });
    registerCallback("pushbutton12_Callback", [](QWidget*, const Handles& h) {
        for (int k = 1; k <= 8; ++k) {
            setString(h[boxOf(k)], "");
            h[boxOf(k)]->setToolTip({});
            setEnable(h[boxOf(k)], k == 1 ? Enable::Inactive : Enable::Off);
        }
        desktop().session.dataset.fill(std::string());
        deleteWindow(h.window());
    });
}

}  // namespace orvane
