#include "render/picture_queue.h"

#include "render/figure_renderer.h"
#include "render/raster_picture.h"
#include "base/error.h"

#include <QImage>
#include <qcustomplot.h>

#include <algorithm>
#include <cctype>
#include <system_error>

namespace orvane {

struct PictureQueue::Job {
    QImage image;
    std::filesystem::path path;
    std::string format;
};

namespace {

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool isRaster(const std::string& f) { return f == "png" || f == "bmp" || f == "jpg" || f == "jpeg"; }

}  // namespace

PictureQueue::PictureQueue(int width, int height, std::size_t maxPending)
    : width_(width), height_(height), maxPending_(std::max<std::size_t>(1, maxPending))
{
    const unsigned cores = std::thread::hardware_concurrency();
    const unsigned count = std::clamp(cores, 1u, 4u);
    for (unsigned i = 0; i < count; ++i) workers_.emplace_back([this] { work(); });
}

PictureQueue::~PictureQueue()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (auto& worker : workers_) worker.join();
    for (Job* job : jobs_) delete job;
}

void PictureQueue::submit(const Figure& figure, const std::filesystem::path& path, const std::string& format)
{
    rethrowFailure();
    const std::string f = lowered(format);
    if (!isRaster(f)) {
        renderFigureFile(figure, path, format, width_, height_);
        return;
    }
    if (!ensureGuiApplication())
        throw Error("Cannot write the figure file \"" + path.string() + "\": no drawing is possible.");

    auto job = std::make_unique<Job>();
    {
        QCustomPlot plot;
        plot.setViewport(QRect(0, 0, width_, height_));
        drawFigure(plot, figure);
        // BMP and JPEG have no alpha channel: draw on white as the direct writers do.
        job->image = plot.toPixmap(width_, height_).toImage();
    }
    job->path = path;
    job->format = f;

    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() < maxPending_; });
    jobs_.push_back(job.release());
    changed_.notify_all();
}

void PictureQueue::finish()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return jobs_.empty() && busy_ == 0; });
    }
    rethrowFailure();
}

void PictureQueue::rethrowFailure()
{
    std::string failure;
    {
        std::lock_guard lock(mutex_);
        failure.swap(failure_);
    }
    if (!failure.empty()) throw Error(failure);
}

void PictureQueue::work()
{
    for (;;) {
        std::unique_ptr<Job> job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping, nothing left
            job.reset(jobs_.front());
            jobs_.pop_front();
            ++busy_;
        }
        changed_.notify_all();
        std::string failure;
        try {
            writeRasterPicture(job->image, job->path, job->format);
        } catch (const Error& e) {
            failure = e.what();
        }
        {
            std::lock_guard lock(mutex_);
            --busy_;
            if (!failure.empty() && failure_.empty()) failure_ = std::move(failure);
        }
        changed_.notify_all();
    }
}

}  // namespace orvane
