#include "figures/save_target.h"
#include "base/error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

std::string failure(const std::string& name, const std::optional<std::string>& format = std::nullopt)
{
    try {
        resolveSaveTarget(name, format);
    } catch (const Error& e) {
        return e.what();
    }
    return "(no failure)";
}

TEST(SaveTarget, EveryCheckWithItsMessage)
{
    test::TempDir dir;
    const std::string in = dir.path().string() + "/";
    EXPECT_EQ(failure(in + "ADMi*.bmp"), "Invalid filename: " + in + "ADMi*.bmp, * is not a valid filename character.");
    EXPECT_EQ(failure(in + "ADMi magnitude."), "Invalid extension: " + in + "ADMi magnitude.");
    EXPECT_EQ(failure(in + ".bmp"), "Invalid filename: " + in + ".bmp");
    EXPECT_EQ(failure(in + "missing/ADMi.bmp"), "Invalid or missing path: " + in + "missing/ADMi.bmp");
    EXPECT_EQ(failure(in + "ADMi.tiff"), "Unsupported format or extension: tiff");
    EXPECT_EQ(failure(in + "ADMi", std::string("gif")), "Unsupported format or extension: gif");
}

TEST(SaveTarget, FormatAndDevice)
{
    test::TempDir dir;
    const std::string stem = (dir.path() / "ADMi magnitude").string();
    // Two arguments and no extension: BMP, with the device's extension added.
    SaveTarget t = resolveSaveTarget(stem);
    EXPECT_EQ(t.device, "bmp");
    EXPECT_EQ(t.path, stem + ".bmp");
    t = resolveSaveTarget(stem, std::string("bmp"));
    EXPECT_EQ(t.path, stem + ".bmp");
    // The extension names the format; the device is found by extension, then by name.
    EXPECT_EQ(resolveSaveTarget(stem + ".jpg").device, "jpeg");
    EXPECT_EQ(resolveSaveTarget(stem, std::string("jpeg")).device, "jpeg");
    EXPECT_EQ(resolveSaveTarget(stem, std::string("jpeg")).path, stem + ".jpg");
    EXPECT_EQ(resolveSaveTarget(stem, std::string("jp")).device, "jpeg");
    EXPECT_EQ(resolveSaveTarget(stem + ".svg").device, "svg");
    // A given format wins over the extension, which is kept.
    t = resolveSaveTarget(stem + ".bmp", std::string("png"));
    EXPECT_EQ(t.device, "png");
    EXPECT_EQ(t.path, stem + ".bmp");
    // A bare name has no folder part to check.
    EXPECT_EQ(resolveSaveTarget("chart.pdf").path, "chart.pdf");
}

}  // namespace
}  // namespace orvane
