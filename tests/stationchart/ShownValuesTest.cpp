// Every number a chart, the map's tooltip and a station plot show of real
// reports, in every units preset, zone and Time UTC choice, is the decoded
// value converted once (by the conversions written here), and every row of
// the time axis sits at its report's time in the zone shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "charts/WeatherLayer.h"
#include "metar/MetarDecoder.h"
#include "observations/MetarCache.h"
#include "observations/MetarObservation.h"
#include "observations/ObservationText.h"
#include "stationchart/StationChart.h"
#include "stationchart/StationChartModel.h"
#include "support/ChartTestSupport.h"
#include "support/FakeUserPort.h"
#include "support/ReadFile.h"
#include "support/RecordingPainter.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

// The conversions, written out apart from the program's.
double ToUnit(double celsius, TemperatureUnit unit) {
  return unit == TemperatureUnit::kFahrenheit ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}
double ToUnit(double hectopascals, PressureUnit unit) {
  return unit == PressureUnit::kInchOfMercury ? hectopascals / 33.8638866667 : hectopascals;
}
double ToUnit(double knots, SpeedUnit unit) {
  switch (unit) {
    case SpeedUnit::kKnot: return knots;
    case SpeedUnit::kMetrePerSecond: return knots * 1852.0 / 3600.0;
    case SpeedUnit::kKilometrePerHour: return knots * 1.852;
    case SpeedUnit::kMilePerHour: return knots * 1852.0 / 1609.344;
  }
  return knots;
}
double ToUnit(double feet, HeightUnit unit) { return unit == HeightUnit::kMetre ? feet * 0.3048 : feet; }

struct Report {
  std::string raw;
  std::string covers;
  MetarReport decoded;
};

std::vector<Report> Reports() {
  std::vector<Report> reports;
  std::istringstream lines(ReadFixture("metar/shown_reports.txt"));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    Report r{line.substr(0, tab), line.substr(tab + 1), {}};
    r.decoded = decodeMetar(r.raw, UtcDateTime{2010, 11, 14, 0, 30});
    reports.push_back(std::move(r));
  }
  return reports;
}

// The first number of a text ("46.4" of "TEMP: 46.4\xB0F"), with a
// fraction of a mile read whole ("1 1/4 SM" is 1.25).
double FirstNumber(const std::string& text) {
  static const std::regex number(R"((\d)/(\d)|(-?\d+(?:\.\d+)?)(?: (\d)/(\d))?)");
  std::smatch m;
  if (!std::regex_search(text, m, number)) return NAN;
  if (m[1].matched) return std::stod(m[1]) / std::stod(m[2]);
  double value = std::stod(m[3]);
  if (m[4].matched) value += std::stod(m[4]) / std::stod(m[5]);
  return value;
}

std::string After(const std::string& text, const std::string& head) {
  return text.rfind(head, 0) == 0 ? text.substr(head.size()) : "<no " + head + ">" + text;
}

// The report's wind as shown: calm, or its speed (and gust) in the unit.
void ExpectWind(const std::string& text, const Wind& wind, SpeedUnit unit, const std::string& where) {
  if (wind.isCalm()) {
    EXPECT_EQ(text, "calm") << where;
    return;
  }
  const double tolerance = unit == SpeedUnit::kMetrePerSecond ? 0.051 : 0.5;
  EXPECT_NEAR(FirstNumber(text.substr(text.find(" at ") + 4)), ToUnit(*wind.speedKt, unit), tolerance) << where;
  if (wind.directionDeg) {
    EXPECT_EQ(FirstNumber(text), *wind.directionDeg) << where;
  } else {
    EXPECT_EQ(text.rfind("variable", 0), 0u) << where;
  }
  const std::size_t gust = text.find("gusting to ");
  ASSERT_EQ(gust != std::string::npos, wind.gustKt.has_value()) << where;
  if (wind.gustKt) {
    EXPECT_NEAR(FirstNumber(text.substr(gust)), ToUnit(*wind.gustKt, unit), tolerance) << where;
  }
}

// A visibility as shown: CAVOK, or its distance in the unit, to the step
// the unit is shown in, with "or more" and "less than" only where the
// report said so.
void ExpectVisibility(const std::string& text, const Conditions& now, VisibilityUnit unit, const std::string& where) {
  if (now.cavok) {
    EXPECT_EQ(text, "CAVOK") << where;
    return;
  }
  const Visibility& v = now.visibility;
  EXPECT_EQ(text.find(" or more") != std::string::npos, v.moreThan) << where << ": " << text;
  EXPECT_EQ(text.rfind("less than ", 0) == 0, v.lessThan) << where << ": " << text;
  const double shown = FirstNumber(text);
  if (unit == VisibilityUnit::kStatuteMile) {
    const double miles = *v.prevailingM / 1609.344;
    EXPECT_NEAR(shown, miles, miles < 3 ? 0.125 : 0.5) << where << ": " << text;
    EXPECT_TRUE(text.ends_with(" SM") || text.ends_with(" SM or more")) << where << ": " << text;
  } else if (text.find(" km") != std::string::npos) {
    EXPECT_NEAR(shown, *v.prevailingM / 1000.0, 0.5) << where << ": " << text;
  } else {
    EXPECT_NEAR(shown, *v.prevailingM, 25.0) << where << ": " << text;
  }
}

// The calendar fields of an instant in the zone shown, read by the C
// library here: the reference for the axis and the DATE line.
std::tm ShownFields(std::int64_t utc, bool timeUtc) {
  const std::time_t t = static_cast<std::time_t>(utc);
  std::tm fields{};
  timeUtc ? gmtime_r(&t, &fields) : localtime_r(&t, &fields);
  return fields;
}

class NoSource : public ObservationSource {
 public:
  std::unique_ptr<FetchTicket> requestPastHours(const Station&, int, Done) override { return nullptr; }
  std::unique_ptr<FetchTicket> requestNewest(const Station&, bool, Done) override { return nullptr; }
  bool checksBeforeOpening() const override { return false; }
  bool catchesUpAfterGaps() const override { return false; }
  int minimumRefreshMinutes() const override { return 5; }
  std::string name() const override { return "live METAR"; }
};

TEST(ShownValues, EveryNumberConvertedOnceAndEveryRowAtItsTimeInTheZone) {
  const std::vector<Report> reports = Reports();
  ASSERT_EQ(reports.size(), 12u);
  const struct {
    const char* name;
    DisplayUnits units;
  } presets[] = {
      {"aviation", unitPreset(UnitPreset::kAviation)},
      {"metric", unitPreset(UnitPreset::kMetric)},
      {"US", unitPreset(UnitPreset::kUs)},
      {"mixed", {TemperatureUnit::kFahrenheit, PressureUnit::kHectopascal, SpeedUnit::kMetrePerSecond,
                 VisibilityUnit::kStatuteMile, HeightUnit::kMetre}},
  };
  const char* const zones[] = {"UTC0", "America/New_York", "Asia/Kolkata", "Australia/Lord_Howe"};
  // Newest first, as a source hands them over.
  ObservationList observations;
  for (const Report& r : reports) observations.push_back(toObservation(r.decoded, r.raw));
  std::stable_sort(observations.begin(), observations.end(),
                   [](const Observation& a, const Observation& b) { return a.observedAt > b.observedAt; });
  int cases = 0;
  for (const auto& preset : presets) {
    for (const char* zone : zones) {
      ZoneScope scope(zone);
      for (const bool timeUtc : {true, false}) {
        const DisplayUnits& u = preset.units;
        const std::string choice = std::string(preset.name) + ", " + zone + (timeUtc ? ", UTC" : ", local");
        Settings settings;
        settings.units = u;
        settings.timeUtc = timeUtc;
        NoSource source;
        FakeUserPort port;
        port.now = observations.front().observedAt + 600;
        StationChartModel model(SampleStation(), settings, source, port, nullptr);
        PageReading reading;
        reading.outcome = ReadOutcome::kLoaded;
        reading.observations = observations;
        ASSERT_TRUE(model.loadFinished(std::move(reading)).ok);
        const Chart& chart = *model.chart;
        ASSERT_EQ(chart.getRowCount(), static_cast<int>(reports.size()));

        // The legend names the units the rows are in.
        ASSERT_EQ(chart.series.size(), 5u);
        EXPECT_TRUE(chart.series[1].title->ends_with(u.temperature == TemperatureUnit::kFahrenheit ? "\xB0" "F"
                                                                                                   : "\xB0" "C"));
        EXPECT_TRUE(chart.series[2].title->ends_with(u.pressure == PressureUnit::kInchOfMercury ? "inches Hg"
                                                                                                : "hps-1000"));
        EXPECT_TRUE(chart.series[3].title->ends_with(std::string(" ") + unitSymbol(u.speed)));

        for (int row = 0; row < chart.getRowCount(); ++row) {
          const Observation& o = observations[observations.size() - 1 - static_cast<std::size_t>(row)];
          const Report& report = *std::find_if(reports.begin(), reports.end(),
                                               [&](const Report& r) { return r.raw == o.rawReport; });
          const MetarReport& d = report.decoded;
          const std::string where = choice + ": " + report.covers;
          ++cases;

          // The row's place on the axis and its label: the report's time in the zone.
          const std::tm f = ShownFields(o.observedAt, timeUtc);
          EXPECT_EQ(o.observedAt, d.time.epochMinutes() * 60) << where;
          EXPECT_EQ(chart.row(row).time.value_or(-1), o.observedAt + (timeUtc ? 0 : f.tm_gmtoff)) << where;
          char clock[8];
          std::snprintf(clock, sizeof clock, "%02d:%02d", f.tm_hour, f.tm_min);
          EXPECT_EQ(chart.rowLabel(row), clock) << where;

          // The plotted points, each converted once (hPa on the chart's -1000 scale).
          auto plotted = [&](int column) { return chart.value(row, column); };
          if (d.temperatureC) {
            EXPECT_NEAR(plotted(1).value_or(NAN), ToUnit(*d.temperatureC, u.temperature), 0.006) << where;
          } else {
            EXPECT_FALSE(plotted(1)) << where;
          }
          const double pressure = u.pressure == PressureUnit::kInchOfMercury ? ToUnit(*d.pressureHpa, u.pressure)
                                                                            : *d.pressureHpa - 1000.0;
          EXPECT_NEAR(plotted(2).value_or(NAN), pressure, 0.006) << where;
          EXPECT_NEAR(plotted(3).value_or(NAN), ToUnit(*d.current.wind.speedKt, u.speed), 0.006) << where;

          // The detail lines of the report.
          const std::vector<std::string> lines = detailLines(o, &u, timeUtc);
          ASSERT_EQ(lines.size(), 11u) << where;
          const std::string zoneName = timeUtc ? "UTC" : f.tm_zone;
          char date[96];
          std::snprintf(date, sizeof date, "DATE: %s %d/%d/%04d %s, observed %s %s", d.station.c_str(), f.tm_mon + 1,
                        f.tm_mday, f.tm_year + 1900, zoneName.c_str(), clock, zoneName.c_str());
          EXPECT_EQ(lines[0], date) << where;
          if (d.temperatureC) {
            EXPECT_NEAR(FirstNumber(lines[1]), ToUnit(*d.temperatureC, u.temperature), 0.051) << where;
            EXPECT_NEAR(FirstNumber(lines[2]), ToUnit(*d.dewPointC, u.temperature), 0.051) << where;
          } else {
            EXPECT_EQ(lines[1], "TEMP: ") << where;
          }
          EXPECT_NEAR(FirstNumber(lines[3]), ToUnit(*d.pressureHpa, u.pressure),
                      u.pressure == PressureUnit::kInchOfMercury ? 0.0051 : 0.051)
              << where;
          ExpectWind(After(lines[4], "WINDS: "), d.current.wind, u.speed, where);
          const bool visibility = d.current.visibility.prevailingM || d.current.cavok;
          if (visibility) ExpectVisibility(After(lines[5], "VISIBILITY: "), d.current, u.visibility, where);
          if (const auto ceiling = d.ceilingFt()) {
            EXPECT_NEAR(FirstNumber(lines[6]), ToUnit(*ceiling, u.height), 0.5) << where;
          } else if (!d.current.clouds.empty() || d.current.cavok) {
            EXPECT_EQ(lines[6], "CEILING: none") << where;
          }
          // A stated sky is never left blank.
          if (d.current.cavok || !d.current.clouds.empty()) {
            EXPECT_NE(lines[7], "CLOUDS: ") << where;
          }
          EXPECT_EQ(lines[10], "METAR: " + report.raw) << where;

          // The map's tooltip and station plot of the same report.
          const StationWeather weather = weatherOf(d, report.raw, 0);
          Station station = SampleStation();
          station.icao = d.station;
          std::vector<std::string> tip;
          std::istringstream tipLines(weatherTooltip(station, weather, weather.observedMinutes, u));
          for (std::string line; std::getline(tipLines, line);) tip.push_back(line);
          ASSERT_EQ(tip.size(), 8u) << where;
          if (d.temperatureC) {
            EXPECT_NEAR(FirstNumber(tip[3]), ToUnit(*d.temperatureC, u.temperature), 0.051) << where;
          }
          ExpectWind(After(tip[4], "Wind: "), d.current.wind, u.speed, where);
          if (d.current.visibility.prevailingM) {
            // The map knows no CAVOK: its visibility is the 10 km or more it says.
            Conditions seen = d.current;
            seen.cavok = false;
            ExpectVisibility(After(tip[5], "Visibility: "), seen, u.visibility, where);
          }
          if (const auto ceiling = d.ceilingFt()) {
            EXPECT_NEAR(FirstNumber(tip[6]), ToUnit(*ceiling, u.height), 0.5) << where;
          } else {
            EXPECT_EQ(tip[6], "Ceiling: none") << where;
          }
          RecordingPainter painter;
          drawStationPlot(painter, 50, 50, station, weather, kWhite, celsiusShown(settings));
          if (d.temperatureC) {
            const long shown = std::lround(ToUnit(*d.temperatureC, u.temperature));
            EXPECT_NE(painter.FindText(std::to_string(shown)), nullptr) << where;
          }
        }
        // The chart shows the newest report's lines.
        EXPECT_EQ(*chart.series.back().detailLines, detailLines(observations.front(), &u, timeUtc)) << choice;
      }
    }
  }
  EXPECT_EQ(cases, 4 * 4 * 2 * 12);
}

}  // namespace
}  // namespace nimbrel::test
