#pragma once
// Shared set-up of the chart tests: an owner window of a given size and a
// chart with plain data series.
#include <string>

#include "charts/Graph.h"

namespace nimbrel::test {

class FixedOwner : public IChartOwner {
 public:
  explicit FixedOwner(int width = 800, int height = 600) : client{0, 0, width, height} {}
  CRect GetClientRect() const override { return client; }
  CRect client;
};

// Client width and height that give a plot of the given size with the
// default margins (legend shown).
inline int ClientWidthForPlot(int plotWidth) { return plotWidth + 2 * 10 + 2 * 50 + 155; }
inline int ClientHeightForPlot(int plotHeight) { return plotHeight + 10 + 10 + 2 * 50; }

// Entry 0 plus `dataSeries` series titled "S1", "S2", ... with coloured pens.
inline void AddPlainSeries(CGraph& graph, int dataSeries, int markSize = 4) {
  graph.AddSeries(0, std::string("Time"), std::nullopt, std::nullopt);
  for (int k = 1; k <= dataSeries; ++k)
    graph.AddSeries(markSize, "S" + std::to_string(k), CPen{PS_SOLID, 1, RGB(10 * k, 0, 0)}, std::nullopt);
  graph.seriesCount = static_cast<int>(graph.series.size());
}

}  // namespace nimbrel::test
