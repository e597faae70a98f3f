#include "measures/measure_plots.h"

namespace orvane {

namespace {
constexpr double kClassAxis[kClasses] = {1, 2, 3, 4, 5, 6};
}

void drawPointByPoint(const PlotContext& plots, const char* name, std::size_t k, std::size_t sets,
                      const Vec& Mfreq, const Vec& values)
{
    if (!plots.drawing()) return;
    GraphicCall call;
    call.mode = GraphicMode::Line;
    call.x = Mfreq;
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
