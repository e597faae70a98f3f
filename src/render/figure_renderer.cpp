#include "render/figure_renderer.h"

#include "render/raster_picture.h"
#include "render/readable_labels.h"
#include "base/error.h"
#include "formats/file_write.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QSvgGenerator>
#include <QThread>
#include <qcustomplot.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <sys/stat.h>

namespace orvane {

namespace {

const char* const kFontFamily = "DejaVu Sans";  // named explicitly so SVG text keeps a real family
constexpr double kPixelsPerPoint = 96.0 / 72.0;

QColor colourOf(const Rgb& c)
{
    auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
    return QColor::fromRgbF(static_cast<float>(clamp(c.r)), static_cast<float>(clamp(c.g)),
                            static_cast<float>(clamp(c.b)));
}

QFont fontOf(double points, bool bold = false)
{
    QFont f(kFontFamily);
    f.setPointSizeF(points > 0 && std::isfinite(points) ? points : 10);
    f.setBold(bold);
    return f;
}

QString qstr(const std::string& s) { return QString::fromStdString(displayText(s)); }

// The Unicode subscript form of one character, or nothing.
const char* subscriptOf(char c)
{
    switch (c) {
    case '0': return "₀"; case '1': return "₁"; case '2': return "₂"; case '3': return "₃";
    case '4': return "₄"; case '5': return "₅"; case '6': return "₆"; case '7': return "₇";
    case '8': return "₈"; case '9': return "₉"; case '+': return "₊"; case '-': return "₋";
    case '=': return "₌"; case '(': return "₍"; case ')': return "₎"; case 'a': return "ₐ";
    case 'e': return "ₑ"; case 'h': return "ₕ"; case 'i': return "ᵢ"; case 'j': return "ⱼ";
    case 'k': return "ₖ"; case 'l': return "ₗ"; case 'm': return "ₘ"; case 'n': return "ₙ";
    case 'o': return "ₒ"; case 'p': return "ₚ"; case 'r': return "ᵣ"; case 's': return "ₛ";
    case 't': return "ₜ"; case 'u': return "ᵤ"; case 'v': return "ᵥ"; case 'x': return "ₓ";
    default: return nullptr;
    }
}

Qt::PenStyle penStyleOf(const std::string& s)
{
    if (s == ":") return Qt::DotLine;
    if (s == "--") return Qt::DashLine;
    if (s == "-.") return Qt::DashDotLine;
    if (s == "none" || s.empty()) return Qt::NoPen;
    return Qt::SolidLine;
}

QCPScatterStyle scatterOf(const Line& line)
{
    const std::string& m = line.marker;
    const QColor edge = colourOf(line.colour);
    const QBrush face = line.markerFace ? QBrush(colourOf(*line.markerFace)) : QBrush(Qt::NoBrush);
    const double size = line.markerSize > 0 && std::isfinite(line.markerSize) ? line.markerSize : 6;
    QPen pen(edge, std::max(1.0, line.lineWidth * kPixelsPerPoint));
    QCPScatterStyle::ScatterShape shape;
    if (m == ".") return QCPScatterStyle(QCPScatterStyle::ssDisc, edge, std::max(2.0, size / 3));  // a visible dot
    if (m == "o") shape = QCPScatterStyle::ssCircle;
    else if (m == "*") shape = QCPScatterStyle::ssStar;
    else if (m == "+") shape = QCPScatterStyle::ssPlus;
    else if (m == "x") shape = QCPScatterStyle::ssCross;
    else if (m == "s") shape = QCPScatterStyle::ssSquare;
    else if (m == "d") shape = QCPScatterStyle::ssDiamond;
    else return QCPScatterStyle(QCPScatterStyle::ssNone);
    return QCPScatterStyle(shape, pen, face, size);
}

// How far from a point a label must stay to clear the largest marker drawn, in pixels.
double markerClearance(const Axes& ax)
{
    double radius = 0;
    for (const Line& line : ax.lines)
        if (line.marker != "none" && !line.marker.empty() && std::isfinite(line.markerSize))
            radius = std::max(radius, line.markerSize / 2 + std::max(1.0, line.lineWidth * kPixelsPerPoint));
    return radius + 2;
}

bool sortedByX(const Vec& x)
{
    return std::all_of(x.begin(), x.end(), [](double v) { return !std::isnan(v); }) &&
           std::is_sorted(x.begin(), x.end());
}

QVector<double> qvec(const Vec& v, std::size_t n) { return QVector<double>(v.begin(), v.begin() + n); }

struct Span {
    double lo = std::numeric_limits<double>::infinity(), hi = -std::numeric_limits<double>::infinity();
    void add(double v)
    {
        if (!std::isfinite(v)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

QCPRange rangeOf(const std::optional<std::array<double, 2>>& limits, const Span& data)
{
    double lo = data.lo, hi = data.hi;
    if (limits && std::isfinite((*limits)[0]) && std::isfinite((*limits)[1])) {
        lo = std::min((*limits)[0], (*limits)[1]);
        hi = std::max((*limits)[0], (*limits)[1]);
    }
    if (!(lo <= hi)) return QCPRange(0, 1);  // nothing to fit
    if (hi - lo <= std::abs(lo) * 1e-12) {   // a single value: widen so it can be seen
        const double d = lo == 0 ? 1 : std::abs(lo) * 0.1;
        lo -= d;
        hi += d;
    }
    return QCPRange(lo, hi);
}

void styleGrid(QCPAxis* axis, bool visible, const Axes& ax)
{
    axis->grid()->setVisible(visible);
    axis->grid()->setSubGridVisible(false);
    const Qt::PenStyle style = ax.gridStyle == ":" ? Qt::DotLine : penStyleOf(ax.gridStyle);
    axis->grid()->setPen(QPen(QColor(200, 200, 200), std::max(0.0, ax.gridWidth) * kPixelsPerPoint, style));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

void styleAxis(QCPAxis* axis, const std::string& label)
{
    axis->setLabel(qstr(label));
    axis->setLabelFont(fontOf(11));
    axis->setTickLabelFont(fontOf(10));
}

void removeTitles(QCustomPlot& plot)
{
    QCPLayoutGrid* layout = plot.plotLayout();
    for (int i = layout->elementCount() - 1; i >= 0; --i)
        if (auto* title = qobject_cast<QCPTextElement*>(layout->elementAt(i))) layout->remove(title);
    layout->simplify();
}

std::string lowered(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string displayText(const std::string& text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find("_{", i);
        const std::size_t close = open == std::string::npos ? open : text.find('}', open + 2);
        if (close == std::string::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, open - i);
        const std::string inner = text.substr(open + 2, close - open - 2);
        std::string sub;
        bool all = !inner.empty();
        for (char c : inner) {
            const char* s = subscriptOf(c);
            if (!s) {
                all = false;
                break;
            }
            sub += s;
        }
        out += all ? sub : "_" + inner;
        i = close + 1;
    }
    return out;
}

void drawFigure(QCustomPlot& plot, const Figure& fig)
{
    const Axes& ax = fig.axes;
    plot.clearItems();
    plot.clearPlottables();
    plot.legend->clearItems();
    removeTitles(plot);
    plot.setAutoAddPlottableToLegend(false);
    plot.setFont(fontOf(10));

    Span xs, ys;
    for (const Polygon& p : ax.polygons) {
        const std::size_t n = std::min(p.x.size(), p.y.size());
        if (n == 0) continue;
        QVector<double> px = qvec(p.x, n), py = qvec(p.y, n);
        px.push_back(p.x[0]);  // closed outline
        py.push_back(p.y[0]);
        auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
        curve->setData(px, py);
        curve->setBrush(QBrush(colourOf(p.face)));
        curve->setPen(QPen(colourOf(p.edge), 1));
        for (std::size_t k = 0; k < n; ++k) {
            xs.add(p.x[k]);
            ys.add(p.y[k]);
        }
    }

    std::vector<QCPAbstractPlottable*> lines;
    for (const Line& line : ax.lines) {
        const std::size_t n = std::min(line.x.size(), line.y.size());
        const Qt::PenStyle style = penStyleOf(line.lineStyle);
        // At least a pixel wide: thinner antialiased lines fade to a light tint.
        const QPen pen(colourOf(line.colour), std::max(1.0, line.lineWidth * kPixelsPerPoint), style);
        const QCPScatterStyle scatter = scatterOf(line);
        Vec x(line.x.begin(), line.x.begin() + n);
        if (sortedByX(x)) {
            auto* graph = plot.addGraph(plot.xAxis, plot.yAxis);
            graph->setData(qvec(line.x, n), qvec(line.y, n), true);
            graph->setAdaptiveSampling(true);
            graph->setLineStyle(style == Qt::NoPen ? QCPGraph::lsNone : QCPGraph::lsLine);
            graph->setPen(pen);
            graph->setScatterStyle(scatter);
            lines.push_back(graph);
        } else {
            auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
            curve->setData(qvec(line.x, n), qvec(line.y, n));
            curve->setLineStyle(style == Qt::NoPen ? QCPCurve::lsNone : QCPCurve::lsLine);
            curve->setPen(pen);
            curve->setScatterStyle(scatter);
            lines.push_back(curve);
        }
        for (std::size_t k = 0; k < n; ++k) {
            xs.add(line.x[k]);
            ys.add(line.y[k]);
        }
    }

    std::vector<ReadableText*> labels;
    for (const Text& t : ax.texts) {
        auto* item = new ReadableText(&plot);
        labels.push_back(item);
        item->position->setType(QCPItemPosition::ptPlotCoords);
        item->position->setCoords(t.x, t.y);
        item->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        item->setText(qstr(t.text));
        item->setFont(fontOf(t.fontSize));
        item->setColor(colourOf(t.colour));
        item->setRotation(-t.rotation);  // QCustomPlot turns clockwise
        item->setClipToAxisRect(false);  // a label at the edge of the axes stays readable
        xs.add(t.x);
        ys.add(t.y);
    }

    // Legend entries name the lines in order; extra entries get an empty graph, so no sample.
    for (std::size_t k = 0; k < ax.legend.size(); ++k) {
        QCPAbstractPlottable* entry = nullptr;
        if (k < lines.size()) {
            entry = lines[k];
        } else {
            auto* empty = plot.addGraph(plot.xAxis, plot.yAxis);
            empty->setPen(Qt::NoPen);
            empty->setLineStyle(QCPGraph::lsNone);
            entry = empty;
        }
        entry->setName(qstr(ax.legend[k]));
        entry->addToLegend(plot.legend);
    }
    plot.legend->setVisible(!ax.legend.empty());
    plot.legend->setFont(fontOf(9));

    if (!ax.title.empty()) {
        plot.plotLayout()->insertRow(0);
        plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, qstr(ax.title), fontOf(11, true)));
    }
    styleAxis(plot.xAxis, ax.xLabel);
    styleAxis(plot.yAxis, ax.yLabel);
    styleGrid(plot.xAxis, ax.xGrid, ax);
    styleGrid(plot.yAxis, ax.yGrid, ax);
    plot.xAxis->setRange(rangeOf(ax.xLimits, xs));
    plot.yAxis->setRange(rangeOf(ax.yLimits, ys));
    std::vector<QPointF> markers;
    for (const Line& line : ax.lines)
        if (line.marker != "none" && !line.marker.empty())
            for (std::size_t k = 0; k < std::min(line.x.size(), line.y.size()); ++k) markers.emplace_back(line.x[k], line.y[k]);
    arrangeLabels(labels, plot.xAxis->range(), plot.yAxis->range(), markerClearance(ax), markers);
}

bool isPictureFormat(const std::string& format)
{
    const std::string f = lowered(format);
    return f == "png" || f == "svg" || f == "pdf" || f == "bmp" || f == "jpg" || f == "jpeg";
}

bool ensureGuiApplication()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        return qobject_cast<QApplication*>(app) != nullptr && QThread::currentThread() == app->thread();
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool hasDisplay = display && *display, hasWayland = wayland && *wayland;
    // An unreachable X display would abort the program: fall back to drawing off screen.
    if (!hasDisplay && !hasWayland) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    else if (!hasWayland) setenv("QT_QPA_PLATFORM", "xcb;offscreen", 0);
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "orvane";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    return QCoreApplication::instance() != nullptr;
}

void renderFigureFile(const Figure& fig, const std::filesystem::path& path, const std::string& format, int width,
                      int height)
{
    const std::string where = "\"" + path.string() + "\"";
    if (!isPictureFormat(format))
        throw Error("Cannot write the figure file " + where + ": unknown picture format \"" + format + "\".");
    if (width <= 0 || height <= 0)
        throw Error("Cannot write the figure file " + where + ": the picture size must be positive.");
    if (!ensureGuiApplication()) throw Error("Cannot write the figure file " + where + ": no drawing is possible.");

    const std::string f = lowered(format);
    QCustomPlot plot;
    plot.setViewport(QRect(0, 0, width, height));
    drawFigure(plot, fig);

    if (f == "png" || f == "jpg" || f == "jpeg" || f == "bmp") {
        writeRasterPicture(plot.toPixmap(width, height).toImage(), path, f);
        return;
    }
    if (f == "svg") {
        writePictureBytes(path, [&] {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(QSize(width, height));
            svg.setViewBox(QRect(0, 0, width, height));
            svg.setResolution(96);  // same text size as the raster pictures
            svg.setTitle(QString::fromStdString(fig.name));
            QCPPainter painter;
            bool ok = painter.begin(&svg);
            if (ok) {
                painter.setMode(QCPPainter::pmVectorized);
                painter.setMode(QCPPainter::pmNoCaching);
                painter.setFont(fontOf(10));  // else the groups without text name the default family
                plot.toPainter(&painter, width, height);
                ok = painter.end();
            }
            if (!ok || bytes.isEmpty()) throw Error("the picture could not be drawn");
            return bytes.toStdString();
        });
        return;
    }
    // PDF: QCustomPlot prints by file name; the name of our exclusive file's descriptor
    // reaches it without a name in the target folder.
    std::string why;
    try {
        AtomicFile file(path);
        if (!plot.savePdf(QString::fromStdString(file.descriptorPath()), width, height))
            throw Error("the picture could not be drawn");
        struct stat st{};
        if (::fstat(file.fd(), &st) != 0 || st.st_size == 0) throw Error("the picture could not be drawn");
        file.commit();
        return;
    } catch (const FileWriteError& e) {
        why = e.systemError() ? std::strerror(e.systemError()) : "";
    } catch (const Error& e) {
        why = e.what();
    }
    throw Error("Cannot write the figure file " + where + (why.empty() ? "." : ": " + why + "."));
}

}  // namespace orvane
