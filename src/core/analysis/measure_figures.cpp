#include "analysis/measure_figures.h"

#include <cmath>

namespace orvane {

namespace {
constexpr double kClassAxis[kClasses] = {1, 2, 3, 4, 5, 6};
}

void drawLowHighParts(const PlotContext& plots, const Vec& abscissa, const SetList& LowData, const SetList& HighData)
{
    if (!plots.drawing()) return;
    const std::size_t sets = LowData.size();
    Vec magnitude;
    for (std::size_t i = 0; i < sets; ++i) {
        const std::string number = std::to_string(i + 1);
        auto draw = [&](const char* prefix, const Vec& part) {
            std::span<const double> y = part;
            if (plots.T == 1) {
                magnitude.resize(part.size());
                for (std::size_t j = 0; j < part.size(); ++j) magnitude[j] = std::fabs(part[j]);
                y = magnitude;
            }
            GraphicCall call;
            call.mode = GraphicMode::Line;
            call.x = abscissa;
            call.y = y;
            call.title = prefix + number + plots.titleSuffix();
            call.style = PlotContext::lineStyle(i + 1, sets);
            plots.sink->graphic(call);
        };
        draw("Low Data_", LowData[i]);
        draw("High Data_", HighData[i]);
    }
}

void drawPointByPoint(const PlotContext& plots, const char* name, std::size_t k, std::size_t sets,
                      const Vec& abscissa, const Vec& values)
{
    if (!plots.drawing()) return;
    GraphicCall call;
    call.mode = GraphicMode::Line;
    call.x = abscissa;
    call.y = values;
    call.title = name + std::to_string(k) + plots.titleSuffix();
    call.style = PlotContext::lineStyle(k, sets);
    plots.sink->graphic(call);
}

void drawHistogram(const PlotContext& plots, const char* name, std::size_t k, const Histogram& h,
                   std::vector<double> extras)
{
    if (!plots.drawing()) return;
    GraphicCall call;
    call.mode = GraphicMode::Histogram;
    call.x = kClassAxis;
    call.y = h;
    call.title = name + std::to_string(k) + plots.titleSuffix();
    call.colour = plots.colourOf(k);
    call.extras = std::move(extras);
    plots.sink->graphic(call);
}

}  // namespace orvane
