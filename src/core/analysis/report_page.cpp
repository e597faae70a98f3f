#include "analysis/report.h"

#include "base/markup.h"
#include "base/text.h"
#include "figures/axis_ticks.h"
#include "figures/color_code_chart.h"
#include "figures/result_figures.h"
#include "figures/svg_figure.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

namespace orvane {

namespace {

// Background and text colour of each class, green to red; readable in print as on screen.
constexpr const char* kClassBackground[kClasses] = {"#1a9850", "#91cf60", "#d9ef8b", "#fee08b", "#fc8d59", "#d73027"};
constexpr const char* kClassText[kClasses] = {"#fff", "#102010", "#102010", "#302000", "#301000", "#fff"};

const char* kStyle = R"(
:root { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; color: #1b1b1b; }
body { max-width: 1040px; margin: 0 auto; padding: 18px 24px 40px; font-size: 14px; line-height: 1.4; }
h1 { font-size: 24px; margin: 0 0 2px; }
h2 { font-size: 18px; margin: 28px 0 8px; padding-bottom: 3px; border-bottom: 2px solid #2b5c8a; color: #123a5e; }
h3 { font-size: 15px; margin: 16px 0 6px; }
p.sub { margin: 0 0 14px; color: #555; }
table { border-collapse: collapse; margin: 6px 0 10px; }
th, td { border: 1px solid #bbb; padding: 3px 7px; text-align: left; vertical-align: top; }
th { background: #e8eef4; font-weight: 600; }
table.facts th { width: 150px; }
td.range { white-space: nowrap; }
td.num { text-align: right; font-variant-numeric: tabular-nums; }
td.digest { font-family: "DejaVu Sans Mono", monospace; font-size: 10.5px; word-break: break-all; max-width: 230px; }
td.file, td.folder { word-break: break-all; max-width: 260px; }
tr.first td { border-top: 2px solid #777; }
.class { font-weight: 600; }
.swatch { display: inline-block; width: 22px; height: 4px; margin: 0 6px 3px 0; vertical-align: middle; }
ul.legend { list-style: none; padding: 0; margin: 4px 0 0 70px; }
ul.legend li { word-break: break-all; }
figure { margin: 8px 0; break-inside: avoid; }
figcaption { font-size: 12.5px; color: #444; }
svg.plot { width: 100%; height: auto; display: block; font-family: inherit; }
.wide { max-width: 820px; }
.duo { display: grid; grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); gap: 8px 24px; align-items: start; }
.duo h3:first-child { margin-top: 10px; }
.pair { display: grid; grid-template-columns: 1fr 1fr; gap: 10px 16px; }
.pair figure { margin: 0; }
.note { color: #555; font-size: 12.5px; }
@page { size: A4; margin: 13mm 12mm; }
@media print {
  :root { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
  body { max-width: none; padding: 0; font-size: 11px; }
  h1 { font-size: 20px; }
  h2 { font-size: 15px; margin-top: 16px; }
  section.set, section.results { break-before: page; }
  h2, h3 { break-after: avoid; }
  table, figure, .pair { break-inside: avoid; }
  th, td { padding: 2px 5px; }
  td.digest { font-size: 8.5px; }
  .note, figcaption { font-size: 10px; }
  .wide { max-width: 100%; }
}
)";

std::string esc(std::string_view text) { return escapeMarkup(text); }

std::size_t classIndex(double value)
{
    return static_cast<std::size_t>(std::clamp<long>(std::lround(value), 1, static_cast<long>(kClasses)) - 1);
}

// "E-G" → "Excellent – Good", "EP-EP" → "Extremely Poor".
std::string classRange(const std::string& range)
{
    static const std::map<std::string, std::string> names = {{"E", "Excellent"}, {"VG", "Very Good"}, {"G", "Good"},
                                                             {"F", "Fair"},      {"P", "Poor"},       {"EP", "Extremely Poor"}};
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= range.size()) {
        const std::size_t dash = std::min(range.find('-', at), range.size());
        std::string part = range.substr(at, dash - at);
        part.erase(std::remove(part.begin(), part.end(), ' '), part.end());
        if (!part.empty()) parts.push_back(names.contains(part) ? names.at(part) : part);
        at = dash + 1;
    }
    if (parts.size() == 2 && parts[0] == parts[1]) parts.pop_back();
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : " \u2013 ") + p;
    return out;
}

std::string classCell(double value, const std::string& content, const std::string& attributes = {})
{
    const std::size_t c = classIndex(value);
    return "<td class=\"class\"" + attributes + " style=\"background:" + kClassBackground[c] + ";color:" + kClassText[c] +
           "\">" + content + "</td>";
}

std::vector<Tick> classTicks()
{
    static const char* const shortNames[kClasses] = {"Excellent", "Very Good", "Good", "Fair", "Poor", "Extr. Poor"};
    std::vector<Tick> ticks;
    for (std::size_t c = 0; c < kClasses; ++c) ticks.push_back({double(c + 1), shortNames[c]});
    return ticks;
}

std::string now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local);
    return text;
}

struct Page {
    const AnalysisSettings& s;
    const AnalysisResult& r;
    const ReportFacts& facts;
    std::string xUnit;
    bool logX = false;
    int figures = 0;

    Page(const AnalysisSettings& settings, const AnalysisResult& result, const ReportFacts& f)
        : s(settings), r(result), facts(f)
    {
        xUnit = s.T == 2 || s.D == 0 ? "Hz" : "s";
        logX = xUnit == "Hz" && !r.abscissa.empty() && spansDecades(r.abscissa.front(), r.abscissa.back());
    }

    std::size_t sets() const { return r.N_DATA; }
    std::string inputName(std::size_t k) const  // 1-based
    {
        return k >= 1 && k <= facts.inputs.size() ? facts.inputs[k - 1].name : "Dataset" + std::to_string(k);
    }
    std::string setTitle(std::size_t k) const
    {
        if (k == sets() + 1) return referenceName();
        return "Dataset " + std::to_string(k);
    }
    std::string referenceName() const
    {
        if (s.reference >= 1 && s.reference <= sets()) return "Dataset " + std::to_string(s.reference) + " (reference)";
        return "Average (reference)";
    }
    std::string x(double v) const { return engineeringLabel(v, xUnit); }

    // A plot over the grid's abscissa (with its unit), or one with its own ticks.
    std::string svg(const Figure& fig, double width, double height, bool overAbscissa, std::vector<Tick> ticks = {})
    {
        SvgStyle style;
        style.width = width, style.height = height, style.legend = false;
        if (overAbscissa) style.logX = logX, style.xUnit = xUnit;
        style.xTicks = std::move(ticks);
        style.idPrefix = "f" + std::to_string(++figures);
        return svgOfFigure(fig, style);
    }

    std::string header() const
    {
        const char* domain = s.D == 1 && s.T != 2 ? "Time domain" : "Frequency domain";
        const char* kind = s.T == 2 ? "phase analysis" : s.D == 1 ? "time analysis" : "magnitude analysis";
        std::string reference;
        if (s.reference >= 1 && s.reference <= sets())
            reference = "Dataset " + std::to_string(s.reference) + " (" + esc(inputName(s.reference)) +
                        "): each set against the reference";
        else
            reference = "the average of the " + std::to_string(sets()) + " sets: each set against the average";
        std::string weighting = "not recorded";
        if (facts.weighting) weighting = *facts.weighting ? "yes (k<sub>ADM</sub>, k<sub>FDM</sub> from the spreads)" : "no";

        const std::size_t L = r.abscissa.size();
        std::string grid = std::to_string(L) + " points";
        if (L >= 2) {
            const double step = (r.abscissa.back() - r.abscissa.front()) / static_cast<double>(L - 1);
            if (r.gridKind == "logarithmic")
                grid += ", spaced logarithmically (the grid chosen)";
            else
                grid += ", spacing " + esc(x(step)) + (r.gridKind == "uniform" ? " (a uniform grid, chosen)" : "");
            grid += ", from " + esc(x(r.abscissa.front())) + " to " + esc(x(r.abscissa.back()));
        }
        std::string compared;
        double finest = INFINITY;
        std::size_t finestSet = 0;
        for (std::size_t k = 0; k < facts.inputs.size(); ++k) {
            const Vec& a = facts.inputs[k].abscissa;
            for (std::size_t i = 1; i < a.size(); ++i)
                if (a[i] - a[i - 1] > 0 && a[i] - a[i - 1] < finest) finest = a[i] - a[i - 1], finestSet = k + 1;
            compared += (compared.empty() ? "" : ", ") + std::to_string(a.size());
        }
        if (!compared.empty()) {
            compared = "the common range of the inputs (" + compared + " samples)";
            if (finestSet) compared += "; finest input spacing " + esc(x(finest)) + ", in Dataset " + std::to_string(finestSet);
        }
        std::string o = "<header><h1>Feature Selective Validation report</h1><p class=\"sub\">Orvane " +
                        esc(programVersion()) + " \u00b7 " + esc(facts.date.empty() ? now() : facts.date) + "</p>";
        o += "<table class=\"facts\">";
        o += "<tr><th>Program</th><td>Orvane " + esc(programVersion()) + "</td></tr>";
        o += "<tr><th>Analysis</th><td>" + std::string(domain) + ", " + kind + "</td></tr>";
        o += "<tr><th>Threshold</th><td>" + esc(s.thrs) + " %</td></tr>";
        o += "<tr><th>GDM weighting</th><td>" + weighting + "</td></tr>";
        o += "<tr><th>Reference</th><td>" + reference + "</td></tr>";
        o += "<tr><th>Grid</th><td>" + grid + (compared.empty() ? "" : "<br><span class=\"note\">over " + compared + "</span>") + "</td></tr>";
        o += "<tr><th>Folder</th><td class=\"folder\">" + esc(r.folder.filename().string()) + "</td></tr>";
        return o + "</table></header>";
    }

    static std::string howRead(const ReportInput& in)
    {
        if (!in.read) return "given as numbers";
        const std::string summary = in.read->summary();
        if (in.read->plain) return "plain text, columns 1 and 2, numbers as written" + (summary.empty() ? "" : "; " + summary);
        return summary;
    }

    std::string yUnit() const
    {
        std::string unit;
        for (const ReportInput& in : facts.inputs) {
            std::string u = !in.read ? "" : in.read->quantity == "dB" ? "dB" : in.read->quantity.find("deg") != std::string::npos ? "\u00b0" : "";
            if (in.read && in.read->quantity.empty()) return "";
            if (&in != &facts.inputs.front() && u != unit) return "";
            unit = u;
        }
        return unit;
    }

    std::string inputs()
    {
        std::string o = "<section><h2>Inputs</h2><table class=\"inputs\"><thead><tr><th>Set</th><th>File</th><th>Size</th>"
                        "<th>SHA-256</th><th>Samples</th><th>Range</th><th>Read as</th></tr></thead><tbody>";
        for (std::size_t k = 0; k < facts.inputs.size(); ++k) {
            const ReportInput& in = facts.inputs[k];
            o += "<tr><td class=\"num\">" + std::to_string(k + 1) + "</td><td class=\"file\">" + esc(in.name) + "</td>";
            o += "<td class=\"num\">" + (in.bytes ? std::to_string(*in.bytes) + "&nbsp;B" : "\u2014") + "</td>";
            o += "<td class=\"digest\">" + (in.sha256.empty() ? "not readable now" : in.sha256) + "</td>";
            o += "<td class=\"num\">" + std::to_string(in.ordinate.size()) + "</td><td class=\"range\">";
            if (!in.abscissa.empty()) o += esc(x(in.abscissa.front())) + " \u2013 " + esc(x(in.abscissa.back()));
            o += "</td><td>" + esc(howRead(in)) + "</td></tr>";
        }
        o += "</tbody></table>";

        Figure overlay;
        Axes& ax = overlay.axes;
        ax.title = "Input data";
        ax.xLabel = s.T == 2 || s.D == 0 ? "Frequency" : "Time";
        ax.yLabel = s.T == 2 ? "Phase" : s.D == 0 ? "Magnitude" : "Amplitude";
        ax.xGrid = ax.yGrid = true;
        std::string legend = "<ul class=\"legend\">";
        for (std::size_t k = 0; k < facts.inputs.size(); ++k) {
            Line line;
            line.x = facts.inputs[k].abscissa;
            line.y = facts.inputs[k].ordinate;
            line.x.resize(std::min(line.x.size(), line.y.size()));
            line.y.resize(line.x.size());
            applyStyle(line, std::string("-") + colourLetter(s.S_MARKER, k + 1));
            line.lineWidth = 0.6;
            const Rgb c = line.colour == Rgb{1, 1, 0} ? Rgb{0.79, 0.64, 0} : line.colour;
            char colour[8];
            std::snprintf(colour, sizeof colour, "#%02x%02x%02x", int(c.r * 255), int(c.g * 255), int(c.b * 255));
            legend += "<li><span class=\"swatch\" style=\"background:" + std::string(colour) + "\"></span>Dataset " +
                      std::to_string(k + 1) + ": " + esc(facts.inputs[k].name) + "</li>";
            ax.lines.push_back(std::move(line));
        }
        legend += "</ul>";
        const bool log = s.T == 2 || s.D == 0 ? logAxisFor(facts.inputs) : false;
        SvgStyle style;
        style.width = 820, style.height = 380, style.legend = false, style.logX = log, style.xUnit = xUnit;
        style.yUnit = yUnit();
        style.idPrefix = "f" + std::to_string(++figures);
        o += "<figure class=\"wide\">" + svgOfFigure(overlay, style) + legend + "</figure></section>";
        return o;
    }

    static bool logAxisFor(const std::vector<ReportInput>& inputs)
    {
        double lo = INFINITY, hi = -INFINITY;
        for (const ReportInput& in : inputs)
            for (double v : in.abscissa)
                if (v > 0 && std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
        return spansDecades(lo, hi);
    }

    std::string results() const
    {
        std::string o = "<section class=\"results\"><h2>Results</h2><table id=\"results\" class=\"results\"><thead><tr><th>Set</th>"
                        "<th>Measure</th><th>Total</th><th>Grade</th><th>Grade classes</th><th>Spread</th>"
                        "<th>Spread classes</th><th>Rating</th></tr></thead><tbody>";
        for (std::size_t k = 1; k <= sets() + 1; ++k) {
            const std::size_t i = k - 1;
            const struct {
                const char* name;
                const GradeSpread& gs;
                const Vec& total;
            } measures[3] = {{"ADM", r.ADM, r.adm.ADMtot}, {"FDM", r.FDM, r.fdm.FDMtot}, {"GDM", r.GDM, r.gdm.GDMtot}};
            for (std::size_t m = 0; m < 3; ++m) {
                const auto& [name, gs, total] = measures[m];
                if (i >= gs.Grade.size() || i >= gs.Spread.size() || i >= total.size()) continue;
                const GradeRecord& g = gs.Grade[i];
                const GradeRecord& sp = gs.Spread[i];
                const std::string where = " data-set=\"" + std::to_string(k) + "\" data-measure=\"" + name + "\"";
                o += std::string("<tr") + (m == 0 ? " class=\"first\"" : "") + ">";
                if (m == 0) o += "<td rowspan=\"3\">" + esc(setTitle(k)) + "</td>";
                o += std::string("<td>") + name + "</td><td class=\"num\">" + esc(num2str(total[i])) + "</td>";
                o += classCell(g.value, esc(num2str(g.value)), " data-grade=\"" + esc(num2str(g.value)) + "\"" + where);
                o += "<td>" + esc(classRange(g.range)) + "</td>";
                o += classCell(sp.value, esc(num2str(sp.value)), " data-spread=\"" + esc(num2str(sp.value)) + "\"" + where);
                o += "<td>" + esc(classRange(sp.range)) + "</td>";
                o += classCell(g.value, kClassNames[classIndex(g.value)]);
                o += "</tr>";
            }
        }
        return o + "</tbody></table>";
    }

    std::string weightsAndClasses() const
    {
        std::string o;
        o += "<h3>GDM weights</h3><table class=\"weights\"><thead><tr><th>Set</th><th>k<sub>ADM</sub></th>"
             "<th>k<sub>FDM</sub></th></tr></thead><tbody>";
        for (std::size_t k = 1; k <= sets() + 1 && k <= r.Kadm.size() && k <= r.Kfdm.size(); ++k)
            o += "<tr><td>" + esc(setTitle(k)) + "</td><td class=\"num\">" + esc(num2str(r.Kadm[k - 1])) +
                 "</td><td class=\"num\">" + esc(num2str(r.Kfdm[k - 1])) + "</td></tr>";
        o += "</tbody></table>";
        o += "<p class=\"note\">Classes: ";
        for (std::size_t c = 0; c < kClasses; ++c)
            o += std::string("<span class=\"class\" style=\"padding:0 5px;background:") + kClassBackground[c] + ";color:" +
                 kClassText[c] + "\">" + esc(kClassLabels[c]) + "</span> ";
        return o + "</p>";
    }

    std::string chart()
    {
        SelectionChartRequest request;
        request.thrs = s.thrs;
        for (const auto& [name, gs] : {std::pair<const char*, const GradeSpread&>{"ADM", r.ADM}, {"FDM", r.FDM}, {"GDM", r.GDM}}) {
            SelectionMeasure m;
            m.name = name;
            for (std::size_t i = 0; i < sets() && i < gs.Grade.size() && i < gs.Spread.size(); ++i)
                m.spreads.push_back(gs.Spread[i].value), m.grades.push_back(gs.Grade[i].value);
            request.measures.push_back(std::move(m));
        }
        for (std::size_t k = 0; k < sets() && k < request.shown.size(); ++k) request.shown[k] = true;
        Figure fig = colourCodeChart(request);
        // Stars on one point share their labels, one line per measure ("FDM 1, 2, 3"),
        // instead of writing over each other.
        std::vector<Text> labels;
        std::map<std::pair<double, double>, std::map<std::string, std::string>> atPoint;
        for (const Text& t : fig.axes.texts) {
            const std::size_t cut = t.text.rfind('_');
            std::string& sets = atPoint[{t.x, t.y}][t.text.substr(0, cut)];
            sets += (sets.empty() ? "" : ", ") + t.text.substr(cut + 1);
        }
        for (const auto& [point, measures] : atPoint) {
            double y = point.second + 0.14 * static_cast<double>(measures.size() - 1);
            for (const auto& [measure, numbers] : measures) {
                labels.push_back({point.first, y, measure + " " + numbers, Rgb{0, 0, 0}, 11, 0});
                y -= 0.28;
            }
        }
        fig.axes.texts = labels;
        std::vector<Tick> ticks;
        for (int i = 0; i <= 6; ++i) ticks.push_back({double(i), std::to_string(i)});
        return "<figure class=\"chart\"><h3>Colour code chart</h3>" + svg(fig, 440, 400, false, ticks) +
               "<figcaption>Grade (up) against spread (across) of every measure of every set at the " + esc(s.thrs) +
               " % threshold; the nearer a star lies to the origin, the better the agreement.</figcaption></figure>";
    }

    std::string howToRead() const
    {
        return "<h3>How to read this</h3><p>Every set is compared point by point with the reference. "
               "The <b>ADM</b> (amplitude difference) compares the trends, the <b>FDM</b> (feature difference) the "
               "features, and the <b>GDM</b> (global difference) combines both. Each point falls into one of six "
               "confidence classes, from Excellent to Extremely Poor. The <b>grade</b> counts the classes, from "
               "Excellent on, needed to hold more than the threshold share of the points (" + esc(s.thrs) +
               " %): grade 1 means that share is Excellent. The <b>spread</b> counts the fewest, fullest classes "
               "that hold the same share: 1 means the points agree in quality, a large spread that the agreement "
               "varies along the curve. For both, 1 is best. A higher threshold asks more of the data and gives "
               "larger grades and spreads. The rating names the class the grade reaches. The histograms show the "
               "share of points in each class; the point-by-point plots show where along the axis the differences "
               "lie.</p>";
    }

    std::string perSet()
    {
        std::string o;
        for (std::size_t k = 1; k <= sets(); ++k) {
            o += "<section class=\"set\"><h2>Dataset " + std::to_string(k) + ": " + esc(inputName(k)) + "</h2><div class=\"pair\">";
            const SetNumbers one{k};
            const struct {
                const char* point;
                const char* hist;
                const SetList& values;
                const HistogramList& histograms;
            } measures[3] = {{"ADMi", "ADMc", r.adm.ADMi, r.adm.ADMc},
                             {"FDMi", "FDMc", r.fdm.FDMi, r.fdm.FDMc},
                             {"GDMi", "GDMc", r.gdm.GDMi, r.gdm.GDMc}};
            for (const auto& m : measures) {
                if (k > m.values.size() || k > m.histograms.size()) continue;
                Figure points = pointByPointFigure(m.point, r.abscissa, m.values, one, s.S_MARKER, s.T, s.D);
                points.axes.title = std::string(m.point).substr(0, 3) + " point by point";
                points.axes.yLabel = m.point;
                // Scaled to this set's own histogram: set 1's scale could cut its circles off.
                const std::string letter(1, colourLetter(s.S_MARKER, k));
                Figure hist = histogramFigure(m.hist, {m.histograms[k - 1]}, {1}, letter, s.T);
                hist.axes.title = std::string(m.hist).substr(0, 3) + " confidence histogram";
                // The classes name the ticks; circles on the first and last class stay whole.
                hist.axes.texts.clear();
                hist.axes.xLimits = std::array<double, 2>{0.5, 6.5};
                hist.axes.yLabel = "Share of points";
                o += "<figure>" + svg(points, 460, 250, true) + "</figure>";
                o += "<figure>" + svg(hist, 460, 250, false, classTicks()) + "</figure>";
            }
            o += "</div></section>";
        }
        return o;
    }
};

}  // namespace

std::string reportPage(const AnalysisSettings& settings, const AnalysisResult& result, const ReportFacts& facts)
{
    Page page(settings, result, facts);
    std::string o = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                    "<title>FSV validation report \u2014 " +
                    esc(result.folder.filename().string()) + "</title><style>" + kStyle + "</style></head><body>\n";
    o += page.header() + "\n";
    o += page.inputs() + "\n";
    o += page.results() + "<div class=\"duo\">" + page.chart() + "<div>" + page.weightsAndClasses() + page.howToRead() +
         "</div></div></section>\n";
    o += page.perSet() + "\n";
    return o + "</body></html>\n";
}

}  // namespace orvane
