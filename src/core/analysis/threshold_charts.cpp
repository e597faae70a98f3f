#include "analysis/threshold_charts.h"

namespace orvane {

namespace {

ChartSeries seriesOf(const GradeSpread& measure, const char* name, std::size_t i)
{
    return {measure.Spread[i].value, measure.Grade[i].value, name + std::to_string(i + 1)};
}

}  // namespace

ChartRequest ThresholdCharts::admChart(std::size_t i) const { return {thrs, {seriesOf(adm, "ADM_", i)}, {Kadm[i]}}; }

ChartRequest ThresholdCharts::fdmChart(std::size_t i) const { return {thrs, {seriesOf(fdm, "FDM_", i)}, {Kfdm[i]}}; }

ChartRequest ThresholdCharts::gdmChart(std::size_t i) const
{
    return {thrs, {seriesOf(gdm, "GDM_", i)}, {Kadm[i], Kfdm[i]}};
}

std::array<ChartRequest, 4> ThresholdCharts::combinedCharts(std::size_t i) const
{
    const ChartSeries a = seriesOf(adm, "ADM_", i), f = seriesOf(fdm, "FDM_", i), g = seriesOf(gdm, "GDM_", i);
    const std::vector<double> weights{Kadm[i], Kfdm[i]};
    return {ChartRequest{thrs, {a, f, g}, weights}, ChartRequest{thrs, {a, f}, weights},
            ChartRequest{thrs, {a, g}, weights}, ChartRequest{thrs, {f, g}, weights}};
}

void ThresholdCharts::drawAll(ChartSink& sink) const
{
    const std::size_t sets = adm.Grade.size();
    for (std::size_t i = 0; i < sets; ++i) {
        sink.chart(admChart(i));
        sink.chart(fdmChart(i));
    }
    for (std::size_t i = 0; i < sets; ++i) sink.chart(gdmChart(i));
    for (std::size_t i = 0; i < sets; ++i)
        for (const ChartRequest& request : combinedCharts(i)) sink.chart(request);
}

}  // namespace orvane
