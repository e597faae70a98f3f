#include "render/figure_renderer.h"
#include "render/savefigure.h"

#include "figures/color_code_chart.h"
#include "figures/graphic_figure.h"
#include "base/error.h"
#include "support/recording.h"

#include <QFile>
#include <QImage>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
struct TempDir {
    fs::path path;
    TempDir()
    {
        std::random_device rd;
        path = fs::temp_directory_path() / ("orvane_gui_" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(path)) out.push_back(e.path().filename().string());
        return out;
    }
};

// The figure drawn into a plot of the picture's size, so pixel positions of data points
// can be computed, and the picture written by the renderer.
struct Drawn {
    QCustomPlot plot;
    QImage image;
    QPoint at(double x, double y) const
    {
        return QPoint(qRound(plot.xAxis->coordToPixel(x)), qRound(plot.yAxis->coordToPixel(y)));
    }
};

std::unique_ptr<Drawn> draw(const Figure& fig, const TempDir& dir, int w = 800, int h = 600)
{
    auto d = std::make_unique<Drawn>();
    d->plot.setViewport(QRect(0, 0, w, h));
    drawFigure(d->plot, fig);
    d->plot.replot();
    const fs::path file = dir.path / "figure.png";
    renderFigureFile(fig, file, "png", w, h);
    EXPECT_TRUE(d->image.load(QString::fromStdString(file.string())));
    d->image = d->image.convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(d->image.size(), QSize(w, h));
    return d;
}

bool isBlue(QColor c) { return c.red() < 60 && c.green() < 60 && c.blue() > 200; }
bool isWhite(QColor c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }
bool isYellow(QColor c) { return c.red() > 220 && c.green() > 220 && c.blue() < 40; }
bool isRed(QColor c) { return c.red() > 220 && c.green() < 40 && c.blue() < 40; }
bool isDark(QColor c) { return c.red() + c.green() + c.blue() < 150; }

// How many pixels in the rectangle satisfy the test.
int count(const QImage& img, QRect r, const std::function<bool(QColor)>& test)
{
    r = r.normalized().intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += test(img.pixelColor(x, y));
    return n;
}

int around(const QImage& img, QPoint p, int radius, const std::function<bool(QColor)>& test)
{
    return count(img, QRect(p.x() - radius, p.y() - radius, 2 * radius + 1, 2 * radius + 1), test);
}

QString titleOf(QCustomPlot& plot)
{
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* t = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i))) return t->text();
    return {};
}

Figure sampleChart()
{
    return colourCodeChart({"85", {{1, 1, "ADM_1"}}, {1}}).figure;
}

TEST(FigureRenderer, ColourCodeChartShowsZonesStarAndLabel)
{
    TempDir dir;
    const auto d = draw(sampleChart(), dir);
    const QImage& img = d->image;

    // Tight to the zones, the star and its label.
    EXPECT_DOUBLE_EQ(d->plot.xAxis->range().lower, 0);
    EXPECT_DOUBLE_EQ(d->plot.xAxis->range().upper, 6.5);
    EXPECT_DOUBLE_EQ(d->plot.yAxis->range().upper, 6.5);

    EXPECT_EQ(around(img, d->at(0.5, 0.5), 2, isBlue), 25);
    EXPECT_EQ(around(img, d->at(2.0, 2.2), 2, isBlue), 25);
    EXPECT_EQ(around(img, d->at(3, 4), 2, isWhite), 25);
    EXPECT_EQ(around(img, d->at(4, 5), 2, isYellow), 25);
    EXPECT_EQ(around(img, d->at(6, 6), 2, isRed), 25);
    EXPECT_EQ(around(img, d->at(6, 1), 2, isRed), 25);  // later zones cover only their own corner

    // The black star sits on the blue zone at (spread 1, grade 1), 20 px across.
    const QPoint star = d->at(1, 1);
    EXPECT_GT(around(img, star, 1, isDark), 0);
    EXPECT_GT(count(img, QRect(star.x() - 10, star.y() - 10, 21, 3), isDark), 0);  // an arm near the top
    EXPECT_EQ(around(img, d->at(0.5, 0.5), 6, isDark), 0);

    // The label "ADM_1" in black to the right of the star, not over it.
    const QPoint label = d->at(1.2, 1);
    EXPECT_GT(count(img, QRect(label.x() + 2, label.y() - 9, 60, 18), isDark), 30);
    EXPECT_EQ(count(img, QRect(label.x() - 120, label.y() - 9, 60, 18), isDark), 0);

    EXPECT_EQ(titleOf(d->plot), "FSV COLOR CODE CHART - threshold =85");
    EXPECT_EQ(d->plot.xAxis->label(), "SPREAD");
    EXPECT_EQ(d->plot.yAxis->label(), "GRADE");
    EXPECT_FALSE(d->plot.legend->visible());
}

TEST(FigureRenderer, HistogramShowsSixBlueClassesUnderAQuarterHeadroom)
{
    const Vec x{1, 2, 3, 4, 5, 6}, y{0.5, 0.25, 0.25, 0, 0, 0};
    GraphicCall call;
    call.mode = GraphicMode::Histogram;
    call.x = x;
    call.y = y;
    call.title = "ADM histogram";
    call.colour = 'b';
    TempDir dir;
    const auto d = draw(graphicFigure(call, 1), dir);
    const QImage& img = d->image;

    EXPECT_DOUBLE_EQ(d->plot.yAxis->range().lower, 0);
    EXPECT_DOUBLE_EQ(d->plot.yAxis->range().upper, 0.625);
    EXPECT_DOUBLE_EQ(d->plot.xAxis->range().lower, 1);
    EXPECT_DOUBLE_EQ(d->plot.xAxis->range().upper, 6);

    // Filled circles of 10 px. The axes clip the ones on the border and their ticks cross
    // some, so count blue on the inner side of each.
    for (std::size_t k = 0; k < x.size(); ++k) {
        const QPoint p = d->at(x[k], y[k]);
        const int dx = k == 0 ? 3 : (k == 5 ? -3 : 0), dy = y[k] == 0 ? -3 : 0;
        EXPECT_GE(around(img, p + QPoint(dx, dy), 3, isBlue), 15) << "class " << k + 1;
    }
    // Nothing blue between the classes.
    EXPECT_EQ(around(img, d->at(1.5, 0.4), 4, isBlue), 0);
    EXPECT_EQ(around(img, d->at(4.5, 0.3), 4, isBlue), 0);

    // The class names are orange and run upwards from a sixteenth of the top, beside their
    // class's line (right of it in the left half), not across it.
    const auto orange = [](QColor c) { return c.red() > 200 && c.green() > 150 && c.green() < 230 && c.blue() < 170; };
    const QPoint base = d->at(2, 0.5 / 16), high = d->at(2, 0.2);
    EXPECT_GT(count(img, QRect(base.x() + 6, high.y(), 24, base.y() - high.y()), orange), 30);
    EXPECT_EQ(count(img, QRect(base.x() - 12, high.y(), 18, base.y() - high.y()), orange), 0);
    EXPECT_EQ(count(img, QRect(base.x() - 12, base.y() + 3, 40, 40), orange), 0);
    EXPECT_EQ(d->plot.xAxis->label(), "classes");
    EXPECT_TRUE(d->plot.yAxis->grid()->visible());
    EXPECT_FALSE(d->plot.xAxis->grid()->visible());
}

TEST(FigureRenderer, LineFiguresNameTheirAbscissaAndListEveryLegendEntry)
{
    const Vec x{0, 1, 2, 3}, y{1, 3, 2, 4};
    GraphicCall call;
    call.x = x;
    call.y = y;
    call.title = "ADM_1 magnitude";
    call.style = "r:";
    const std::pair<int, QString> cases[] = {{1, "Time"}, {0, "Frequency"}, {2, "Samples"}};
    QCustomPlot plot;
    plot.setViewport(QRect(0, 0, 800, 600));
    for (const auto& [D, label] : cases) {
        const Figure fig = graphicFigure(call, D);
        drawFigure(plot, fig);
        plot.replot();
        EXPECT_EQ(plot.xAxis->label(), label);
        EXPECT_EQ(plot.yAxis->label(), "Intensity");
        // One drawn line, all six class names in the legend.
        ASSERT_EQ(plot.legend->itemCount(), static_cast<int>(fig.axes.legend.size()));
        EXPECT_GT(fig.axes.legend.size(), fig.axes.lines.size());
        for (int k = 0; k < plot.legend->itemCount(); ++k) {
            auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(k));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->plottable()->name().toStdString(), fig.axes.legend[k]);
            if (k > 0) {
                EXPECT_EQ(item->plottable()->pen().style(), Qt::NoPen);  // no line sample
            }
        }
        EXPECT_TRUE(plot.legend->visible());
        EXPECT_EQ(titleOf(plot), "ADM_1 magnitude");
        // Redrawing replaces: one title row, the line plus the empty legend graphs.
        EXPECT_EQ(plot.plotLayout()->rowCount(), 2);
        EXPECT_EQ(plot.plottableCount(), static_cast<int>(fig.axes.legend.size()));
        EXPECT_EQ(plot.graph(0)->pen().style(), Qt::DotLine);
        EXPECT_EQ(plot.graph(0)->pen().color(), QColor(Qt::red));
        EXPECT_DOUBLE_EQ(plot.yAxis->range().lower, 1);
        EXPECT_DOUBLE_EQ(plot.yAxis->range().upper, 4);
    }
    drawFigure(plot, sampleChart());
    EXPECT_EQ(plot.legend->itemCount(), 0);
    EXPECT_EQ(plot.plottableCount(), 5);  // four zones and one star
}

TEST(FigureRenderer, ComparisonLinesAreRedAndBlueInThePicture)
{
    const Vec x{0, 1, 2, 3}, y{1, 2, 2, 1}, y2{3, 2.5, 2.5, 3};
    GraphicCall call;
    call.mode = GraphicMode::Comparison;
    call.x = x;
    call.y = y;
    call.y2 = y2;
    call.title = "comparison";
    TempDir dir;
    const auto d = draw(graphicFigure(call, 1), dir);
    // A pixel-wide line between pixel rows shows as two rows of half tint.
    const auto reddish = [](QColor c) { return c.red() > 200 && c.green() < 160 && c.blue() < 160; };
    const auto bluish = [](QColor c) { return c.blue() > 200 && c.red() < 160 && c.green() < 160; };
    // The flat middle parts: red at 2, blue at 2.5, nothing coloured between them.
    const QPoint red = d->at(1.2, 2), blue = d->at(1.2, 2.5), between = d->at(1.2, 2.25);
    EXPECT_GE(count(d->image, QRect(red.x(), red.y() - 1, 100, 3), reddish), 100);
    EXPECT_GE(count(d->image, QRect(blue.x(), blue.y() - 1, 100, 3), bluish), 100);
    EXPECT_EQ(count(d->image, QRect(red.x(), red.y() - 1, 100, 3), bluish), 0);
    EXPECT_EQ(count(d->image, QRect(between.x(), between.y() - 5, 100, 11), reddish), 0);
    EXPECT_EQ(count(d->image, QRect(between.x(), between.y() - 5, 100, 11), bluish), 0);
}

TEST(FigureRenderer, UnsortedLinesAreCurvesAndLimitsFitEverything)
{
    Figure fig;
    Line sorted, unsorted, single;
    sorted.x = {0, 1, 2};
    sorted.y = {0, 1, 0};
    unsorted.x = {3, 1, 2};
    unsorted.y = {0, 5, 1};
    fig.axes.lines = {sorted, unsorted};
    fig.axes.texts.push_back({-2, 0.5, "note", {0, 0, 0}, 10, 0});
    QCustomPlot plot;
    drawFigure(plot, fig);
    EXPECT_EQ(plot.graphCount(), 1);
    EXPECT_EQ(plot.plottableCount(), 2);
    EXPECT_NE(qobject_cast<QCPCurve*>(plot.plottable(1)), nullptr);
    EXPECT_DOUBLE_EQ(plot.xAxis->range().lower, -2);  // the text's position counts
    EXPECT_DOUBLE_EQ(plot.xAxis->range().upper, 3);
    EXPECT_DOUBLE_EQ(plot.yAxis->range().upper, 5);
    EXPECT_FALSE(plot.legend->visible());

    single.x = {2};
    single.y = {7};
    fig = Figure{};
    fig.axes.lines = {single};
    fig.axes.yLimits = std::array<double, 2>{-1, 10};
    drawFigure(plot, fig);
    EXPECT_LT(plot.xAxis->range().lower, 2);  // a single value is widened to be seen
    EXPECT_GT(plot.xAxis->range().upper, 2);
    EXPECT_DOUBLE_EQ(plot.yAxis->range().lower, -1);
    EXPECT_DOUBLE_EQ(plot.yAxis->range().upper, 10);
}

TEST(FigureRenderer, RotatedTextTurnsCounterClockwiseAndDropsMarkup)
{
    Figure fig;
    fig.axes.texts.push_back({1, 1, "K_{adm}", {0, 0, 0}, 12, 90});
    fig.axes.title = "x_{12} and K_{fdm}";
    QCustomPlot plot;
    drawFigure(plot, fig);
    ASSERT_EQ(plot.itemCount(), 1);
    auto* text = qobject_cast<QCPItemText*>(plot.item(0));
    ASSERT_NE(text, nullptr);
    EXPECT_DOUBLE_EQ(text->rotation(), -90);
    EXPECT_EQ(text->text(), "K_adm");
    EXPECT_EQ(text->font().pointSizeF(), 12);
    EXPECT_EQ(titleOf(plot), QString::fromUtf8("x₁₂ and K_fdm"));
    EXPECT_EQ(displayText("ADM_1"), "ADM_1");
    EXPECT_EQ(displayText("a_{1}b_{x}c"), "a₁bₓc");
    EXPECT_EQ(displayText("open_{x"), "open_{x");
}

std::string head(const fs::path& file, std::size_t n)
{
    std::ifstream in(file, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

TEST(FigureRenderer, EveryFormatWritesAReadablePicture)
{
    TempDir dir;
    const Figure fig = sampleChart();
    for (const char* format : {"png", "jpg", "jpeg", "bmp"}) {
        const fs::path file = dir.path / (std::string("chart.") + format);
        renderFigureFile(fig, file, format, 640, 480);
        QImage img;
        ASSERT_TRUE(img.load(QString::fromStdString(file.string()))) << format;
        EXPECT_EQ(img.size(), QSize(640, 480)) << format;
        EXPECT_GT(count(img, img.rect(), isRed), 1000) << format;  // drawn, not blank
    }
    renderFigureFile(fig, dir.path / "chart.svg", "svg");
    std::ifstream svgIn(dir.path / "chart.svg");
    const std::string svg((std::istreambuf_iterator<char>(svgIn)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(svg.rfind("<?xml", 0) == 0 || svg.find("<svg") != std::string::npos);
    EXPECT_NE(svg.find("DejaVu Sans"), std::string::npos);
    EXPECT_NE(svg.find("SPREAD"), std::string::npos);

    renderFigureFile(fig, dir.path / "chart.pdf", "PDF");
    EXPECT_EQ(head(dir.path / "chart.pdf", 4), "%PDF");
    EXPECT_GT(fs::file_size(dir.path / "chart.pdf"), 500u);

    // Only the pictures, no temporary files left behind.
    auto names = dir.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"chart.bmp", "chart.jpeg", "chart.jpg", "chart.pdf", "chart.png",
                                               "chart.svg"}));
}

TEST(FigureRenderer, UnknownFormatsAndUnwritablePathsFailWithoutAFile)
{
    TempDir dir;
    const Figure fig = sampleChart();
    EXPECT_TRUE(isPictureFormat("jpeg"));
    EXPECT_FALSE(isPictureFormat("gif"));
    EXPECT_FALSE(isPictureFormat("fig"));
    try {
        renderFigureFile(fig, dir.path / "chart.gif", "gif");
        ADD_FAILURE() << "no error for gif";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("chart.gif"), std::string::npos);
    }
    const fs::path missing = dir.path / "no such folder" / "chart.png";
    for (const char* format : {"png", "pdf", "svg"}) {
        try {
            renderFigureFile(fig, missing, format);
            ADD_FAILURE() << "no error for " << format;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
        }
    }
    // A folder in the way of the file: the picture is drawn but cannot take its name.
    fs::create_directory(dir.path / "taken.png");
    EXPECT_THROW(renderFigureFile(fig, dir.path / "taken.png", "png"), Error);
    EXPECT_TRUE(fs::is_directory(dir.path / "taken.png"));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"taken.png"});
}

TEST(FigureRenderer, ApplicationIsThereAndCallsAreRepeatable)
{
    EXPECT_TRUE(ensureGuiApplication());
    EXPECT_TRUE(ensureGuiApplication());
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(Savefigure, NameWithoutExtensionSavesABitmapAndBadNamesWriteNothing)
{
    const auto dir = std::filesystem::temp_directory_path() / ("orvane-save-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    Figure fig;
    fig.axes.lines.push_back({});
    fig.axes.lines[0].x = {0, 1, 2};
    fig.axes.lines[0].y = {1, 0, 1};
    const std::string stem = (dir / "ADMi magnitude").string();
    const std::filesystem::path written = savefigure(fig, stem, std::string("bmp"));
    EXPECT_EQ(written, stem + ".bmp");
    QImage bmp(QString::fromStdString(written.string()));
    EXPECT_FALSE(bmp.isNull());
    EXPECT_EQ(savefigure(fig, (dir / "FDMc phase").string()), (dir / "FDMc phase.bmp"));
    EXPECT_EQ(savefigure(fig, (dir / "chart.svg").string()), dir / "chart.svg");
    EXPECT_THROW(savefigure(fig, (dir / "a*b").string()), Error);
    EXPECT_THROW(savefigure(fig, (dir / "a.").string()), Error);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 3u);
    std::filesystem::remove_all(dir);
}

// Pictures once went through a fixed ".<name>.part" opened with truncation, which followed a
// symlink planted there. Every format now goes through the one atomic writer.
TEST(FigureRenderer, SymlinksPlantedAtTemporaryNamesAreNotFollowed)
{
    TempDir dir;
    const fs::path folder = dir.path / "out", outside = dir.path / "outside";
    fs::create_directories(folder);
    fs::create_directories(outside);
    const Figure fig = sampleChart();
    for (const char* format : {"png", "jpg", "bmp", "svg", "pdf"}) {
        const std::string name = std::string("chart.") + format;
        fs::create_symlink(outside / name, folder / ("." + name + ".part"));
        renderFigureFile(fig, folder / name, format, 320, 240);
        EXPECT_GT(fs::file_size(folder / name), 100u) << format;
    }
    EXPECT_TRUE(fs::is_empty(outside));
    auto names = [&] {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }();
    EXPECT_EQ(names, (std::vector<std::string>{".chart.bmp.part", ".chart.jpg.part", ".chart.pdf.part",
                                               ".chart.png.part", ".chart.svg.part", "chart.bmp", "chart.jpg",
                                               "chart.pdf", "chart.png", "chart.svg"}));
}

}  // namespace
}  // namespace orvane
