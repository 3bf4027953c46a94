#pragma once
// Shared set-up of the chart tests: an owner window of a given size, a
// chart with plain data series and the station charts are set up for.
#include <cmath>
#include <limits>
#include <string>

#include "catalog/Station.h"
#include "charts/Chart.h"

namespace nimbrel::test {

// No value in a row's column: a gap in its series' line.
inline const double kGap = std::numeric_limits<double>::quiet_NaN();

// A row's value in a column, NaN for none.
inline double ValueAt(const Chart& chart, int row, int column) { return chart.value(row, column).value_or(kGap); }

class FixedOwner : public ChartOwner {
 public:
  explicit FixedOwner(int width = 800, int height = 600) : client{0, 0, width, height} {}
  Rect clientRect() const override { return client; }
  Rect client;
};

// Client width and height that give a plot of the given size with the
// default margins (legend shown).
inline int ClientWidthForPlot(int plotWidth) { return plotWidth + 2 * 10 + 2 * 50 + 155; }
inline int ClientHeightForPlot(int plotHeight) { return plotHeight + 10 + 10 + 2 * 50; }

// Entry 0 plus `dataSeries` series titled "S1", "S2", ... with coloured pens.
inline void AddPlainSeries(Chart& graph, int dataSeries, int markSize = 4) {
  graph.addSeries(0, std::string("Time"), std::nullopt, std::nullopt);
  for (int k = 1; k <= dataSeries; ++k)
    graph.addSeries(markSize, "S" + std::to_string(k), Pen{rgb(10 * k, 0, 0), 1}, std::nullopt);
  graph.seriesCount = static_cast<int>(graph.series.size());
}

// The station the chart tests set their charts up for.
inline Station SampleStation() {
  Station station;
  station.name = "ST. PAUL";
  station.cd = "MN";
  station.latText = "44 56N";
  station.lonText = "093 03W";
  station.elevText = "215";
  station.country = "US";
  return station;
}

}  // namespace nimbrel::test
