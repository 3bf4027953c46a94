// The watched stations' table: sorted by the values behind the texts, a row
// below its minima highlighted and saying which limit, and the rows' texts
// in the user's units and zone.
#include <gtest/gtest.h>

#include <QColor>
#include <QPersistentModelIndex>

#include <string>
#include <vector>

#include "charts/WeatherLayer.h"
#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/MetarCache.h"
#include "support/ZoneScope.h"
#include "ui/WatchTableModel.h"

namespace nimbrel {
namespace {

const std::int64_t kNow = UtcDateTime{2026, 12, 8, 14, 0}.epochMinutes();

StationWeather Weather(const std::string& raw) {
  return weatherOf(decodeMetar(raw, UtcDateTime{2026, 12, 8, 14, 0}), raw, 0);
}

WatchInput Input(const char* icao, const char* current, const char* previous = nullptr) {
  WatchInput input;
  input.station.icao = icao;
  input.station.name = std::string("Field ") + icao;
  if (current) input.current = Weather(current);
  if (previous) input.previous = Weather(previous);
  return input;
}

// Four stations whose texts sort otherwise than their values: "2 h 5 min
// ago" before "45 min ago", "none" after "800 ft", "-2.0" before "10.0".
std::vector<WatchRow> Rows(const MinimaSet& minima, const DisplayUnits& units = {}, bool timeUtc = true) {
  const WatchInput inputs[] = {
      Input("EGAA", "EGAA 081350Z 24010KT 9999 FEW040 10/05 Q1015", "EGAA 081320Z 24010KT 9999 BKN012 10/05 Q1015"),
      Input("KBBB", "KBBB 081155Z 24025G35KT 4000 BR BKN008 M02/M03 A2990",
            "KBBB 081055Z 24010KT 9999 BKN008 M02/M03 A2990"),
      Input("LCCC", "LCCC 081315Z 05005KT 8000 BKN025 25/10 Q1012", "LCCC 081245Z 05005KT 9999 FEW025 25/10 Q1012"),
      Input("ZDDD", nullptr),
  };
  std::vector<WatchRow> rows;
  for (const WatchInput& input : inputs) rows.push_back(watchRow(input, minima, kNow, units, timeUtc));
  return rows;
}

std::string Order(const WatchTableModel& model) {
  std::string codes;
  for (int row = 0; row < model.rowCount(); ++row) codes += (codes.empty() ? "" : " ") + model.rowAt(row).icao;
  return codes;
}

TEST(WatchTableModel, SortsEachColumnByItsValue) {
  WatchTableModel model;
  model.setRows(Rows(readMinima("* ceiling=1000 visibility=5000\nLCCC wind=4").minima));
  struct Case {
    int column;
    Qt::SortOrder order;
    const char* codes;
  };
  const Case cases[] = {
      {kWatchIcao, Qt::DescendingOrder, "ZDDD LCCC KBBB EGAA"},
      // By severity, the station without a report first.
      {kWatchCategory, Qt::AscendingOrder, "ZDDD EGAA LCCC KBBB"},
      {kWatchCategory, Qt::DescendingOrder, "KBBB LCCC EGAA ZDDD"},
      // By minutes; no report is the oldest of all.
      {kWatchAge, Qt::AscendingOrder, "EGAA LCCC KBBB ZDDD"},
      {kWatchWind, Qt::AscendingOrder, "ZDDD LCCC EGAA KBBB"},
      {kWatchVisibility, Qt::AscendingOrder, "ZDDD KBBB LCCC EGAA"},
      // No ceiling is above every ceiling.
      {kWatchCeiling, Qt::AscendingOrder, "ZDDD KBBB LCCC EGAA"},
      {kWatchTemperature, Qt::AscendingOrder, "ZDDD KBBB EGAA LCCC"},
      {kWatchTrend, Qt::DescendingOrder, "LCCC KBBB EGAA ZDDD"},
      // Most limits broken first.
      {kWatchMinima, Qt::DescendingOrder, "KBBB LCCC EGAA ZDDD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    model.sort(c.column, c.order);
    EXPECT_EQ(Order(model), c.codes);
  }
}

TEST(WatchTableModel, NewWeatherKeepsTheSortAndTheSelectedStation) {
  WatchTableModel model;
  model.setRows(Rows({}));
  model.sort(kWatchAge, Qt::AscendingOrder);
  const QPersistentModelIndex selected = model.index(0, kWatchName);  // EGAA, the newest report
  ASSERT_EQ(model.rowAt(selected.row()).icao, "EGAA");
  // EGAA's next report is not in yet: it is now the oldest with one.
  std::vector<WatchRow> later = Rows({});
  later[0].ageMinutes = 400;
  model.setRows(later);
  EXPECT_EQ(Order(model), "LCCC KBBB EGAA ZDDD");
  EXPECT_EQ(model.rowAt(selected.row()).icao, "EGAA");
  // A station gone: the rows are the new list's, still sorted.
  later.erase(later.begin() + 2);
  model.setRows(later);
  EXPECT_EQ(Order(model), "KBBB EGAA ZDDD");
}

TEST(WatchTableModel, ARowBelowItsMinimaIsHighlightedAndSaysWhichLimit) {
  WatchTableModel model;
  model.setRows(Rows(readMinima("* ceiling=1000\nKBBB gust=30").minima));
  const int below = 1, above = 0, none = 3;
  ASSERT_EQ(model.rowAt(below).icao, "KBBB");
  for (int column = 0; column < kWatchColumnCount; ++column) {
    SCOPED_TRACE(column);
    const QModelIndex cell = model.index(below, column);
    if (column == kWatchCategory) {
      // The category keeps the map's colour, even on a highlighted row.
      const Colour ifr = flightCategoryColour(FlightCategory::IFR);
      EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>(), QColor(redOf(ifr), greenOf(ifr), blueOf(ifr)));
    } else {
      EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>(), WatchTableModel::belowMinimaColour());
    }
    if (column != kWatchTrend) {
      EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), "Below your minima: ceiling 800 ft < 1000; gust 35 kt > 30");
    }
    EXPECT_FALSE(model.index(above, column).data(Qt::ToolTipRole).toString().contains("minima"));
    if (column != kWatchCategory) {
      EXPECT_FALSE(model.index(above, column).data(Qt::BackgroundRole).isValid());
    }
    EXPECT_FALSE(model.index(none, column).data(Qt::BackgroundRole).isValid());
  }
  EXPECT_EQ(model.index(below, kWatchMinima).data().toString(), "Below: ceiling 800 ft < 1000; gust 35 kt > 30");
  EXPECT_EQ(model.index(above, kWatchMinima).data().toString(), "");
  // The arrow and what it means.
  EXPECT_EQ(model.index(below, kWatchTrend).data().toString(), QString::fromUtf8("\u2192"));
  EXPECT_EQ(model.index(below, kWatchTrend).data(Qt::ToolTipRole).toString(), "The same category as the report before");
  EXPECT_EQ(model.index(above, kWatchTrend).data().toString(), QString::fromUtf8("\u2191"));
  EXPECT_EQ(model.index(none, kWatchTrend).data().toString(), "");
}

TEST(WatchTableModel, TextsInTheUsersUnitsAndZone) {
  struct Case {
    const char* zone;
    DisplayUnits units;
    bool timeUtc;
    const char *age, *wind, *visibility, *ceiling, *temperature, *nextChange;
  };
  const Case cases[] = {
      // The default: the chart's units of old.
      {"UTC", DisplayUnits{}, false, "2 h 5 min ago", "240\u00B0 at 12.9 m/s gusting to 18.0 m/s", "4000 m", "244 m",
       "-2.0\u00B0C / -3.0\u00B0C", "BECMG 15:00 UTC to 17:00 UTC: MVFR"},
      {"America/New_York", unitPreset(UnitPreset::kUs), true, "2 h 5 min ago", "240\u00B0 at 29 mph gusting to 40 mph",
       "2 1/2 SM", "800 ft", "28.4\u00B0F / 26.6\u00B0F", "BECMG 15:00 UTC to 17:00 UTC: MVFR"},
      {"Australia/Lord_Howe", unitPreset(UnitPreset::kAviation), false, "2 h 5 min ago",
       "240\u00B0 at 25 kt gusting to 35 kt", "4000 m", "800 ft", "-2.0\u00B0C / -3.0\u00B0C",
       "BECMG 02:00 +11 to 04:00 +11: MVFR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    const test::ZoneScope zone(c.zone);
    WatchInput input = Input("KBBB", "KBBB 081155Z 24025G35KT 4000 BR BKN008 M02/M03 A2990");
    input.taf = decodeTaf("TAF KBBB 081100Z 0812/0912 24020KT 6000 BKN012 BECMG 0815/0817 26012KT 9999 BKN025",
                          UtcDateTime{2026, 12, 8, 11, 0});
    WatchTableModel model;
    model.setRows({watchRow(input, {}, kNow, c.units, c.timeUtc)});
    EXPECT_EQ(model.index(0, kWatchAge).data().toString().toStdString(), c.age);
    EXPECT_EQ(model.index(0, kWatchWind).data().toString().toStdString(), c.wind);
    EXPECT_EQ(model.index(0, kWatchVisibility).data().toString().toStdString(), c.visibility);
    EXPECT_EQ(model.index(0, kWatchCeiling).data().toString().toStdString(), c.ceiling);
    EXPECT_EQ(model.index(0, kWatchTemperature).data().toString().toStdString(), c.temperature);
    EXPECT_EQ(model.index(0, kWatchNextChange).data().toString().toStdString(), c.nextChange);
  }
}

}  // namespace
}  // namespace nimbrel
