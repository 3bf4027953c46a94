// A chart set up for a station: heading, series, units, rows, paint.
#include <gtest/gtest.h>

#include "support/ChartTestSupport.h"
#include "stationchart/StationChart.h"
#include "support/RecordingPainter.h"

namespace nimbrel::test {
namespace {

std::vector<std::string> Titles(const Chart& chart) {
  std::vector<std::string> result;
  for (const auto& entry : chart.series) result.push_back(entry.title.value_or("<none>"));
  return result;
}

TEST(StationChart, DefaultSetupHasFourQuantitiesInOrder) {
  Chart chart;
  chart.addSeries(1, std::string("old"), std::nullopt, std::nullopt);
  chart.addRow("old", {});
  setupStationChart(chart, SampleStation(), Settings{}, 20);
  EXPECT_EQ(chart.title, "ST. PAUL   MN   (44 56N, 093 03W),  elevation 215 m,  US");
  // Without an elevation the heading leaves it out, not "elevation  m".
  Station noElevation = SampleStation();
  noElevation.elevText.clear();
  EXPECT_EQ(stationChartHeading(noElevation, "stored METAR"),
            "ST. PAUL   MN   (44 56N, 093 03W),  US,  stored METAR");
  EXPECT_EQ(chart.getRowCount(), 0);
  ASSERT_EQ(chart.series.size(), 5u);
  EXPECT_EQ(chart.seriesCount, 5);
  EXPECT_EQ(Titles(chart), (std::vector<std::string>{"Time (every 20 min)", "Temperature     \xB0"
                                                                           "C",
                                                     "Pressure           hps-1000", "Wind speed       m/s",
                                                     "Wind direction    -18...+18"}));
  EXPECT_EQ(chart.series[1].title->size(), 18u);
  EXPECT_EQ(chart.series[0].markSize, 0);
  EXPECT_FALSE(chart.series[0].pen);
  const Colour colours[] = {rgb(250, 0, 0), rgb(0, 200, 0), rgb(0, 0, 250), rgb(0, 200, 250)};
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(chart.series[k].markSize, 4);
    EXPECT_EQ(chart.series[k].pen, (Pen{colours[k - 1], 1}));
    EXPECT_FALSE(chart.series[k].detailLines);
  }
  EXPECT_EQ(chart.yDelta, 5.0);
}

// The legend names the units; no choice of them moves the Y range (that
// once went to a step of 10 and stayed, and inches then plotted flat).
TEST(StationChart, UnitsNameTheLegendAndLeaveTheYRange) {
  const struct {
    DisplayUnits units;
    bool metricStyle;
    const char* temperature;
    const char* pressure;
    const char* speed;
  } cases[] = {
      {DisplayUnits{}, false, "Temperature     \xB0" "F", "Pressure           inches Hg", "Wind speed        MpH"},
      {unitPreset(UnitPreset::kAviation), false, "Temperature     \xB0" "C", "Pressure           hps-1000",
       "Wind speed       kt"},
      {unitPreset(UnitPreset::kMetric), false, "Temperature     \xB0" "C", "Pressure           hps-1000",
       "Wind speed       km/h"},
      {unitPreset(UnitPreset::kUs), false, "Temperature     \xB0" "F", "Pressure           inches Hg",
       "Wind speed       mph"},
      {{TemperatureUnit::kCelsius, PressureUnit::kInchOfMercury, SpeedUnit::kMetrePerSecond,
        VisibilityUnit::kMetric, HeightUnit::kFoot},
       false, "Temperature     \xB0" "C", "Pressure           inches Hg", "Wind speed       m/s"},
  };
  for (const auto& c : cases) {
    Chart chart;
    chart.yDelta = 2.5;  // the user's own
    Settings settings;
    settings.units = c.units;
    // A choice of units overrides the metric style.
    settings.metricStyle = c.metricStyle;
    setupStationChart(chart, SampleStation(), settings, 30);
    SCOPED_TRACE(c.speed);
    EXPECT_EQ(Titles(chart), (std::vector<std::string>{"Time (every 30 min)", c.temperature, c.pressure, c.speed,
                                                       "Wind direction    -18...+18"}));
    EXPECT_EQ(chart.yDelta, 2.5);
  }
}

TEST(StationChart, EachSeriesPlotsItsOwnQuantity) {
  FixedOwner owner(ClientWidthForPlot(400), ClientHeightForPlot(400));
  Chart chart(&owner);
  Settings settings;
  settings.showTemperature = false;
  settings.showPressure = false;
  settings.showWindDirection = false;
  setupStationChart(chart, SampleStation(), settings, 30);
  ASSERT_EQ(chart.series.size(), 2u);
  EXPECT_EQ(*chart.series[1].title, "Wind speed       m/s");

  addObservationRow(chart, "10:00", 21.5, 13.0, 4.0, 350.0);
  // Settings changed in the open window do not disturb the set-up series.
  settings.showTemperature = true;
  settings.showPressure = true;
  addObservationRow(chart, "10:30", 22.5, 12.0, 6.0, 10.0);
  double value = 0;
  ASSERT_TRUE(chart.seriesValue(1, 0, value));
  EXPECT_EQ(value, 4.0);
  ASSERT_TRUE(chart.seriesValue(1, 1, value));
  EXPECT_EQ(value, 6.0);

  // Temperature and wind direction: series 2 reads the direction column.
  setupStationChart(chart, SampleStation(), [] {
    Settings s;
    s.showPressure = false;
    s.showWindSpeed = false;
    return s;
  }(), 30);
  addObservationRow(chart, "11:00", 21.5, 13.0, 4.0, 350.0);
  ASSERT_TRUE(chart.seriesValue(1, 0, value));
  EXPECT_EQ(value, 21.5);
  ASSERT_TRUE(chart.seriesValue(2, 0, value));
  EXPECT_EQ(value, -1.0);

  // The line of the wind speed series is drawn at wind speeds.
  setupStationChart(chart, SampleStation(), [] {
    Settings s;
    s.showTemperature = false;
    s.showPressure = false;
    s.showWindDirection = false;
    return s;
  }(), 30);
  addObservationRow(chart, "10:00", 21.5, 13.0, 4.0, 350.0);
  addObservationRow(chart, "10:30", 22.5, 12.0, 6.0, 10.0);
  RecordingPainter painter;
  chart.draw(painter);
  const int bottom = chart.plotRect.bottom;
  EXPECT_TRUE(painter.HasSegment(chart.plotRect.left, bottom - 240, chart.plotRect.right - 1, bottom - 260));
}

TEST(StationChart, RowsCarryEveryQuantityToHundredths) {
  Chart chart;
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  addObservationRow(chart, "17:53", 68.0, 30.01, 11.1847, 180.0);
  addObservationRow(chart, "18:23", -0.004, 16.3, 0.0, 179.9);
  addObservationRow(chart, "18:53", 1.0, 2.0, 3.0, 90.0);
  const struct {
    int row;
    const char* label;
    double values[4];  // kGap: none
  } rows[] = {{0, "17:53", {68.0, 30.01, 11.18, -18.0}}, {1, "18:23", {0.0, 16.3, 0.0, kGap}}};  // calm: no direction
  for (const auto& r : rows) {
    EXPECT_EQ(chart.rowLabel(r.row), r.label);
    for (int column = 1; column <= 4; ++column) {
      const double expected = r.values[column - 1];
      if (std::isnan(expected))
        EXPECT_EQ(chart.value(r.row, column), std::nullopt) << r.label << " column " << column;
      else
        EXPECT_NEAR(ValueAt(chart, r.row, column), expected, 1e-9) << r.label << " column " << column;
    }
  }
  EXPECT_NEAR(ValueAt(chart, 2, 4), 9.00, 1e-9);
  EXPECT_DOUBLE_EQ(windDirectionOnChart(350.0), -1.0);
}

TEST(StationChart, ACalmLeavesAGapInTheDirectionLine) {
  FixedOwner owner(650, 670);
  Chart chart(&owner);
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  const std::int64_t start = wallClockSeconds(2026, 12, 7, 10, 0);
  const double speeds[] = {4, 3, 0, 2, 5, 0};  // the third and the last are calm
  for (int i = 0; i < 6; ++i) addObservationRow(chart, start + i * 1800, 10, 13, speeds[i], 90);
  EXPECT_EQ(chart.value(2, 4), std::nullopt);
  EXPECT_NEAR(ValueAt(chart, 2, 3), 0.00, 1e-9);
  EXPECT_NEAR(ValueAt(chart, 1, 4), 9.00, 1e-9);
  double value = 0;
  EXPECT_FALSE(chart.seriesValue(4, 2, value));  // series 4 plots the direction
  EXPECT_TRUE(chart.seriesValue(3, 2, value));   // the speed itself is still there
  EXPECT_EQ(value, 0.0);

  RecordingPainter painter;
  chart.draw(painter);
  std::vector<Segment> direction;
  for (const Segment& s : painter.Segments())
    if (s.pen.colour == rgb(0, 200, 250) && s.x0 < chart.plotRect.right) direction.push_back(s);
  // Rows 0-1 and 3-4 are joined; nothing reaches rows 2 and 5.
  const int y = chart.yPosition(9.0);
  ASSERT_EQ(direction.size(), 2u);
  EXPECT_EQ(direction[0], (Segment{chart.xPosition(0), y, chart.xPosition(1), y, {}}));
  EXPECT_EQ(direction[1], (Segment{chart.xPosition(3), y, chart.xPosition(4), y, {}}));
}

TEST(StationChart, RowsAtWallClockTimesAreLabelledHoursAndMinutes) {
  Chart chart;
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  addObservationRow(chart, wallClockSeconds(2026, 12, 31, 23, 53), 1, 2, 3, 90);
  addObservationRow(chart, wallClockSeconds(2027, 1, 1, 0, 23), 1, 2, 3, 90);
  EXPECT_EQ(chart.rowLabel(0), "23:53");
  EXPECT_EQ(chart.rowLabel(1), "00:23");
  EXPECT_EQ(wallClockSeconds(1970, 1, 1, 0, 0), 0);
  EXPECT_EQ(wallClockSeconds(2000, 3, 1, 0, 0), 951868800);  // after a leap day
}

TEST(StationChart, PaintDrawsTheWindDialOnlyWithTheLegend) {
  FixedOwner owner(650, 670);
  Chart chart(&owner);
  setupStationChart(chart, SampleStation(), Settings{}, 30);
  addObservationRow(chart, "17:53", 20.0, 13.0, 5.0, 270.0);
  RecordingPainter painter;
  paintStationChart(chart, painter, 270.0, 5.0);
  EXPECT_EQ(painter.Calls("Ellipse").size(), 2u);
  EXPECT_NE(painter.FindText("270"), nullptr);
  EXPECT_NE(painter.FindText("Time (every 30 min)"), nullptr);

  chart.showLegend = false;
  painter.Clear();
  paintStationChart(chart, painter, 270.0, 5.0);
  EXPECT_TRUE(painter.Calls("Ellipse").empty());
  EXPECT_NE(painter.FindText("Time (every 30 min)"), nullptr);
}

}  // namespace
}  // namespace nimbrel::test
