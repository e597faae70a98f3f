// The labels of the saved figures: class names of histograms and star labels of colour code
// charts, checked on the boxes the renderer draws them in and on the pixels of the picture.
#include "render/figure_renderer.h"
#include "render/readable_labels.h"

#include "figures/color_code_chart.h"
#include "figures/graphic_figure.h"

#include <QImage>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct Point {
    QPointF at;
    double radius;
};

struct Laid {
    std::vector<QRectF> boxes;  // of every label, as drawn
    std::vector<Point> points;  // every marker, in pixels
    QImage picture;             // the same figure as the renderer writes it
};

Laid layOut(const Figure& fig, int w, int h)
{
    Laid out;
    QCustomPlot plot;
    plot.setViewport(QRect(0, 0, w, h));
    drawFigure(plot, fig);
    plot.replot();
    for (int i = 0; i < plot.itemCount(); ++i)
        if (auto* label = dynamic_cast<ReadableText*>(plot.item(i))) out.boxes.push_back(label->drawnBox());
    for (const Line& line : fig.axes.lines)
        for (std::size_t k = 0; k < line.x.size(); ++k)
            out.points.push_back({{plot.xAxis->coordToPixel(line.x[k]), plot.yAxis->coordToPixel(line.y[k])},
                                  line.markerSize / 2});
    const fs::path file = fs::temp_directory_path() / ("orvane_labels_" + std::to_string(std::random_device{}()) + ".png");
    renderFigureFile(fig, file, "png", w, h);
    out.picture.load(QString::fromStdString(file.string()));
    out.picture = out.picture.convertToFormat(QImage::Format_RGB32);
    fs::remove(file);
    return out;
}

double distance(QPointF p, const QRectF& box)
{
    const double dx = std::max({box.left() - p.x(), 0.0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0.0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

// No two labels overlap, none leaves the picture, none covers a marker.
void expectReadable(const Laid& laid, QSize size, const std::string& what)
{
    const QRectF picture(0, 0, size.width(), size.height());
    for (std::size_t i = 0; i < laid.boxes.size(); ++i) {
        const QRectF& box = laid.boxes[i];
        EXPECT_TRUE(picture.contains(box)) << what << ": label " << i << " leaves the picture";
        for (std::size_t j = i + 1; j < laid.boxes.size(); ++j) {
            const QRectF common = box.intersected(laid.boxes[j]);
            EXPECT_TRUE(common.width() < 0.5 || common.height() < 0.5) << what << ": labels " << i << " and " << j << " overlap";
        }
        for (const Point& p : laid.points)
            EXPECT_GT(distance(p.at, box), p.radius) << what << ": label " << i << " covers the point at " << p.at.x()
                                                     << "," << p.at.y();
    }
}

// Pixels of the label colour in the rectangle.
int inked(const QImage& img, QRect r, QColor ink)
{
    r = r.intersected(img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += std::abs(c.red() - ink.red()) < 8 && std::abs(c.green() - ink.green()) < 8 && std::abs(c.blue() - ink.blue()) < 8;
        }
    return n;
}

TEST(ReadableLabels, HistogramClassNamesStandBesideTheirPointsInsideThePicture)
{
    // Points at the labels' own height in every class (a sixteenth of the top), and at both
    // ends of the axes: where the names used to be printed over them and cut at the edge.
    const Vec x{1, 2, 3, 4, 5, 6}, y{0.1, 0.1, 1.6, 0.15, 0.1, 0.2};
    GraphicCall call;
    call.mode = GraphicMode::Histogram;
    call.x = x;
    call.y = y;
    call.title = "ADMc_1 magnitude";
    call.colour = 'r';
    const Figure fig = graphicFigure(call, 0);
    const QColor orange = QColor::fromRgbF(1, 0.8f, 0.5f);
    for (const QSize size : {QSize(800, 600), QSize(560, 420)}) {
        const std::string what = "histogram " + std::to_string(size.width());
        const Laid laid = layOut(fig, size.width(), size.height());
        ASSERT_EQ(laid.boxes.size(), 6u);
        expectReadable(laid, size, what);
        // The picture agrees: every name inked inside its box, no name's ink on a marker,
        // and none at the picture's edge (where a cut name would end).
        for (std::size_t k = 0; k < 6; ++k)
            EXPECT_GT(inked(laid.picture, laid.boxes[k].toAlignedRect(), orange), 40) << what << " class " << k + 1;
        for (const Point& p : laid.points) {
            const int r = static_cast<int>(p.radius) + 1;
            EXPECT_EQ(inked(laid.picture, QRect(p.at.toPoint() - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1)), orange), 0)
                << what;
        }
        const QRect all = laid.picture.rect();
        EXPECT_EQ(inked(laid.picture, QRect(all.right() - 1, 0, 2, all.height()), orange), 0) << what;
        EXPECT_EQ(inked(laid.picture, QRect(0, 0, 2, all.height()), orange), 0) << what;
    }
}

TEST(ReadableLabels, StarsOnOnePointKeepEveryLabelApartAndInsideThePicture)
{
    // Three measures on one point, once in the lower left and once in the upper right
    // corner of the plane (labels stack towards the middle), and a selection chart of
    // three sets whose nine stars share two points.
    const Figure lowerLeft = colourCodeChart({"85", {{1, 1, "ADM_4"}, {1, 1, "FDM_4"}, {1, 1, "GDM_4"}}, {1, 1}}).figure;
    const Figure upperRight = colourCodeChart({"85", {{6, 6, "ADM_1"}, {6, 6, "FDM_1"}, {6, 6, "GDM_1"}}, {1, 1}}).figure;
    SelectionChartRequest selection;
    selection.thrs = "85";
    for (const char* name : {"ADM", "FDM", "GDM"}) selection.measures.push_back({{2, 2, 5}, {2, 2, 5}, name});
    selection.shown = {true, true, true};
    const Figure selected = colourCodeChart(selection);

    for (const auto& [what, fig, labels] : {std::tuple{"lower left", lowerLeft, 3u}, std::tuple{"upper right", upperRight, 3u},
                                            std::tuple{"selection", selected, 9u}}) {
        const Laid laid = layOut(fig, 800, 600);
        ASSERT_EQ(laid.boxes.size(), labels) << what;
        expectReadable(laid, QSize(800, 600), what);
        // The first label on its star's line, right of it where there is room, else left of
        // it; the others stacked from it towards the middle.
        const bool upperRight = std::string(what) == "upper right";
        const QPointF star = laid.points.front().at;
        if (upperRight)
            EXPECT_LT(laid.boxes.front().right(), star.x()) << what;
        else
            EXPECT_GT(laid.boxes.front().left(), star.x()) << what;
        EXPECT_LT(std::abs(laid.boxes.front().center().y() - star.y()), 2) << what;
        const bool upwards = !upperRight;
        EXPECT_EQ(laid.boxes[1].center().y() < laid.boxes[0].center().y(), upwards) << what;
    }
}

}  // namespace
}  // namespace orvane
