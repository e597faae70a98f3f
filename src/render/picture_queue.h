// Writes many pictures of figures while the caller goes on drawing the next ones.
#pragma once

#include "figures/figure.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QImage;

namespace orvane {

// Raster pictures (png, bmp, jpg) are drawn on the calling thread, which must be the GUI
// thread, and encoded and written by worker threads (one per core, at most four): encoding
// costs about three times the drawing, so the drawing thread is mostly waiting.
// Vector pictures (svg, pdf) are written at once. Each file appears complete or not at all.
class PictureQueue {
public:
    explicit PictureQueue(int width = 800, int height = 600, std::size_t maxPending = 6);
    ~PictureQueue();  // waits for the pending pictures; errors are dropped (call finish())
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    // Throws orvane::Error naming the file when it cannot be drawn, or when an earlier
    // picture failed to be written.
    void submit(const Figure& figure, const std::filesystem::path& path, const std::string& format);

    // Waits until every picture is written; throws the first failure not yet reported.
    void finish();

private:
    struct Job;
    void work();
    void rethrowFailure();

    int width_, height_;
    std::size_t maxPending_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job*> jobs_;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    std::string failure_;
    std::vector<std::thread> workers_;
};

}  // namespace orvane
