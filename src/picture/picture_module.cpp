// The entry of the picture module: a PictureBackend drawn with the Qt renderer.
#include "analysis/picture_backend.h"
#include "render/figure_renderer.h"
#include "render/picture_queue.h"
#include "figures/figure_file.h"
#include "base/error.h"

#include <QString>
#include <QThreadPool>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace orvane {
namespace {

class QtPictureBackend final : public PictureBackend {
public:
    // Qt converts large images on its global thread pool; its idle threads would outlive the
    // backend until they expire. They are ended here, so that nothing of the module runs on
    // while the process exits (the leak checker of the sanitizer build trips over them).
    ~QtPictureBackend() override { QThreadPool::globalInstance()->waitForDone(); }

    void submit(const Figure& fig, const std::filesystem::path& path, const std::string& format) override
    {
        if (!queue_) queue_.emplace();
        queue_->submit(fig, path, format);
    }

    void finish() override
    {
        if (queue_) queue_->finish();
    }

    void renderFile(const std::filesystem::path& figureFile, const std::filesystem::path& picture,
                    const std::string& format) override
    {
        renderFigureFile(readFigureFile(figureFile), picture, format);
    }

private:
    std::optional<PictureQueue> queue_;  // started with the first picture
};

// Qt's chatter ("QStandardPaths: XDG_RUNTIME_DIR not set…") means nothing to a user of the
// command; it is shown only when asked for. Fatal messages still end the process as Qt's would.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "orvane-batch: Qt: %s\n", message.toLocal8Bit().constData());
        std::abort();
    }
}

}  // namespace
}  // namespace orvane

// Throws orvane::Error when no window system can be started for drawing.
extern "C" __attribute__((visibility("default"))) orvane::PictureBackend* orvane_picture_backend(int version, bool qtMessages)
{
    if (version != orvane::kPictureBackendVersion) return nullptr;
    if (!qtMessages) qInstallMessageHandler(orvane::quietQtMessages);
    if (!orvane::ensureGuiApplication())
        throw orvane::Error("Pictures cannot be drawn: no window system could be started.");
    return new orvane::QtPictureBackend();
}
