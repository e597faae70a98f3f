#include "render/picture_queue.h"

#include "figures/color_code_chart.h"
#include "render/figure_renderer.h"
#include "base/error.h"
#include "support/recording.h"
#include "support/temp_dir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace orvane {
namespace {

namespace fs = std::filesystem;

Figure chart(double spread, double grade)
{
    return colourCodeChart({"85", {{spread, grade, "ADM_1"}}, {1}}).figure;
}

QImage load(const fs::path& file)
{
    QImage img;
    EXPECT_TRUE(img.load(QString::fromStdString(file.string()))) << file;
    return img.convertToFormat(QImage::Format_RGB32);
}

std::vector<std::string> names(const fs::path& dir)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// Many pictures in flight at once come out the same as pictures written one by one.
TEST(PictureQueue, QueuedPicturesMatchDirectOnesAndLeaveNoTemporaries)
{
    test::TempDir dir;
    {
        PictureQueue queue(640, 480, 2);
        for (int i = 0; i < 12; ++i) {
            const std::string format = i % 4 == 0 ? "bmp" : i % 4 == 1 ? "svg" : "png";
            queue.submit(chart(1 + i * 0.4, 1 + i * 0.3), dir.path() / ("q" + std::to_string(i) + "." + format),
                         format);
        }
        queue.finish();
    }
    for (int i : {2, 3, 4}) {
        const std::string ext = i == 4 ? "bmp" : "png";
        const fs::path direct = dir.path() / ("d" + std::to_string(i) + "." + ext);
        renderFigureFile(chart(1 + i * 0.4, 1 + i * 0.3), direct, ext, 640, 480);
        const QImage a = load(dir.path() / ("q" + std::to_string(i) + "." + ext));
        EXPECT_EQ(a.size(), QSize(640, 480));
        EXPECT_TRUE(a == load(direct)) << "picture " << i << " differs from the direct one";
    }
    const auto all = names(dir.path());
    EXPECT_EQ(all.size(), 15u);
    for (const auto& n : all) EXPECT_NE(n.front(), '.') << n;
}

// A picture that cannot be written is reported by a later call, naming its file, and
// reported once; the other pictures are still written.
TEST(PictureQueue, WriteFailuresSurfaceOnceAndNameTheFile)
{
    test::TempDir dir;
    PictureQueue queue;
    fs::create_directory(dir.path() / "taken.png");
    queue.submit(chart(1, 1), dir.path() / "taken.png", "png");
    queue.submit(chart(2, 2), dir.path() / "fine.jpg", "jpg");
    try {
        queue.finish();
        ADD_FAILURE() << "no error for a folder in the way";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("taken.png"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(queue.finish());
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "fine.jpg"));
    EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"fine.jpg", "taken.png"}));
    EXPECT_THROW(queue.submit(chart(1, 1), dir.path() / "x.gif", "gif"), Error);
}

}  // namespace
}  // namespace orvane
