// The chart's data as CSV, read back by a small RFC 4180 reader: its units
// and values against the reports as sent under each choice of units, its
// times in UTC whatever the zone shown, quoting, the file written whole or
// not at all, and the station's whole stored history from a real store.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "metar/UtcDateTime.h"
#include "observations/MetarObservation.h"
#include "observations/MetarSource.h"
#include "reportstore/ReportStore.h"
#include "stationchart/ChartDataCsv.h"
#include "support/DeferredFetcher.h"
#include "support/ReadFile.h"
#include "support/TempFolder.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

// RFC 4180: records end in CR LF; a quoted field may hold commas, CR LF
// and doubled quotes. Anything else (a bare LF, a stray quote) fails.
::testing::AssertionResult ReadCsv(const std::string& text, Table& table) {
  table.clear();
  std::vector<std::string> record;
  std::string field;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) return ::testing::AssertionFailure() << "unclosed quote";
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        field += text[i];
      }
    } else {
      while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
        if (text[i] == '"') return ::testing::AssertionFailure() << "quote inside an unquoted field at " << i;
        field += text[i++];
      }
    }
    if (i < text.size() && text[i] == ',') {
      record.push_back(std::move(field));
      field.clear();
      ++i;
      continue;
    }
    if (text.compare(i, 2, "\r\n") != 0) return ::testing::AssertionFailure() << "no CR LF at " << i;
    record.push_back(std::move(field));
    field.clear();
    table.push_back(std::move(record));
    record.clear();
    i += 2;
  }
  return ::testing::AssertionSuccess();
}

struct Sent {
  std::int64_t at = 0;
  std::string raw;
};

std::int64_t Utc(int year, int month, int day, int hour, int minute) {
  return UtcDateTime{year, month, day, hour, minute}.epochMinutes() * 60;
}

// Fourteen real KTPA reports of 1 August 2020 (a calm, a variable wind),
// a real one with gusts, thunder and a ceiling, and two made here: one
// whose remark holds a comma and quotes, one without temperature.
std::vector<Sent> Reports() {
  std::vector<Sent> sent;
  std::ifstream in(std::string(NIMBREL_FIXTURES_DIR) + "/metar/ktpa-2020-08-01.txt");
  std::string line;
  while (std::getline(in, line)) {
    int y, mo, d, h, mi;
    if (std::sscanf(line.c_str(), "%4d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi) != 5) continue;
    sent.push_back({Utc(y, mo, d, h, mi), line.substr(13, line.find_last_not_of("= ") - 12)});
  }
  sent.push_back({Utc(2020, 8, 8, 20, 53),
                  "METAR KTPA 082053Z 03013G21KT 10SM -TSRA BKN043CB OVC080 29/21 A3013 RMK AO2 LTG DSNT N AND SE "
                  "RAB24 SLP202 FRQ LTGICCCCG OHD AND SE TS OHD AND SE MOV N TCU ALQDS P0000 60000 T02890206 55004"});
  sent.push_back({Utc(2020, 8, 9, 1, 53), "METAR KTPA 090153Z 27008KT 3SM BR OVC004 24/23 A2998 RMK \"FOG, PATCHY\""});
  sent.push_back({Utc(2020, 8, 9, 2, 53), "METAR KTPA 090253Z 27006KT 5SM HZ SCT250 A2999"});
  return sent;
}

// Newest first, as a chart keeps them.
ObservationList Decoded(const std::vector<Sent>& sent) {
  ObservationList list;
  for (const Sent& s : sent)
    list.insert(list.begin(), toObservation(decodeMetar(s.raw, UtcDateTime::fromEpochMinutes(s.at / 60)), s.raw));
  return list;
}

double Field(const std::smatch& m, int group) { return std::stod(m[group].str()); }

struct UnitCase {
  const char* name;
  DisplayUnits units;
  bool metricStyle;
  // The header's unit names in UTF-8.
  const char* temperature;
  const char* pressure;
  const char* speed;
  const char* visibility;
  const char* height;
};

DisplayUnits Mixed() {
  DisplayUnits units;
  units.temperature = TemperatureUnit::kFahrenheit;
  units.pressure = PressureUnit::kHectopascal;
  units.speed = SpeedUnit::kKilometrePerHour;
  units.visibility = VisibilityUnit::kStatuteMile;
  units.height = HeightUnit::kMetre;
  return units;
}

double ExpectedTemperature(double celsius, const DisplayUnits& u) {
  return u.temperature == TemperatureUnit::kFahrenheit ? celsius * 1.8 + 32 : celsius;
}
double ExpectedSpeed(double knots, const DisplayUnits& u) {
  switch (u.speed) {
    case SpeedUnit::kKnot: return knots;
    case SpeedUnit::kMetrePerSecond: return knots * 1852.0 / 3600.0;
    case SpeedUnit::kKilometrePerHour: return knots * 1.852;
    case SpeedUnit::kMilePerHour: return knots * 1.852 / 1.609344;
  }
  return NAN;
}

void ExpectNear(const std::string& cell, double expected, double tolerance, const std::string& what) {
  ASSERT_FALSE(cell.empty()) << what;
  EXPECT_NEAR(std::stod(cell), expected, tolerance) << what << ": " << cell;
}

TEST(ChartDataCsv, ReadsBackInTheUnitsChosenWithTheReportsValues) {
  const UnitCase cases[] = {
      {"default", DisplayUnits{}, true, "°C", "hPa", "m/s", "m", "m"},
      {"metric style off", DisplayUnits{}, false, "°F", "inHg", "mph", "m", "m"},
      {"Aviation", unitPreset(UnitPreset::kAviation, true), true, "°C", "hPa", "kt", "SM", "ft"},
      {"Metric", unitPreset(UnitPreset::kMetric), true, "°C", "hPa", "km/h", "m", "m"},
      {"US", unitPreset(UnitPreset::kUs), true, "°F", "inHg", "mph", "SM", "ft"},
      {"mixed", Mixed(), true, "°F", "hPa", "km/h", "SM", "m"},
  };
  const std::vector<Sent> sent = Reports();
  const ObservationList observations = Decoded(sent);
  for (const UnitCase& c : cases) {
    SCOPED_TRACE(c.name);
    Settings settings;
    settings.units = c.units;
    settings.metricStyle = c.metricStyle;
    const DisplayUnits u = shownUnits(settings);
    Table table;
    ASSERT_TRUE(ReadCsv(chartDataCsv(observations, settings), table));
    ASSERT_EQ(table.size(), sent.size() + 1);
    const std::vector<std::string> header = {
        "Time (UTC)", "Station", std::string("Temperature (") + c.temperature + ")",
        std::string("Dew point (") + c.temperature + ")", "Relative humidity (%)",
        std::string("Pressure (") + c.pressure + ")", "Wind direction (°)", std::string("Wind speed (") + c.speed + ")",
        std::string("Wind gust (") + c.speed + ")", std::string("Visibility (") + c.visibility + ")",
        std::string("Ceiling (") + c.height + ")", "Flight category", "Present weather", "Report"};
    EXPECT_EQ(table[0], header);
    // Oldest first, one row each, every row as wide as the header.
    for (std::size_t i = 0; i < sent.size(); ++i) {
      const std::vector<std::string>& row = table[i + 1];
      const Sent& s = sent[i];
      SCOPED_TRACE(s.raw);
      ASSERT_EQ(row.size(), header.size());
      EXPECT_EQ(row.back(), s.raw);
      EXPECT_EQ(row[1], "KTPA");
      std::smatch m;
      // Temperature and dew point from the body, the remarks' tenths where given.
      if (std::regex_search(s.raw, m, std::regex(" T([01])(\\d{3})([01])(\\d{3})"))) {
        ExpectNear(row[2], ExpectedTemperature((m[1] == "1" ? -1 : 1) * Field(m, 2) / 10, u), 0.051, "temperature");
        ExpectNear(row[3], ExpectedTemperature((m[3] == "1" ? -1 : 1) * Field(m, 4) / 10, u), 0.051, "dew point");
      } else if (std::regex_search(s.raw, m, std::regex(" (\\d\\d)/(\\d\\d) "))) {
        ExpectNear(row[2], ExpectedTemperature(Field(m, 1), u), 0.051, "temperature");
      } else {
        EXPECT_EQ(row[2], "") << "no temperature was sent";
        EXPECT_EQ(row[3], "");
      }
      ASSERT_TRUE(std::regex_search(s.raw, m, std::regex(" A(\\d{4})")));
      const double inches = Field(m, 1) / 100;
      if (u.pressure == PressureUnit::kInchOfMercury) ExpectNear(row[5], inches, 0.0051, "pressure");
      else ExpectNear(row[5], inches * 33.8639, 0.051, "pressure");
      ASSERT_TRUE(std::regex_search(s.raw, m, std::regex(" (\\d{3}|VRB)(\\d{2})(G(\\d{2}))?KT")));
      EXPECT_EQ(row[6], m[1] == "VRB" || Field(m, 2) == 0 ? std::string() : std::to_string(std::stoi(m[1])));
      ExpectNear(row[7], ExpectedSpeed(Field(m, 2), u), 0.051, "wind speed");
      if (m[4].matched) ExpectNear(row[8], ExpectedSpeed(Field(m, 4), u), 0.051, "gust");
      else EXPECT_EQ(row[8], "");
      ASSERT_TRUE(std::regex_search(s.raw, m, std::regex(" (\\d+)SM ")));
      if (u.visibility == VisibilityUnit::kStatuteMile) ExpectNear(row[9], Field(m, 1), 0.0051, "visibility");
      else ExpectNear(row[9], Field(m, 1) * 1609.344, 0.51, "visibility");
      if (std::regex_search(s.raw, m, std::regex(" (BKN|OVC|VV)(\\d{3})"))) {
        const double feet = Field(m, 2) * 100;
        ExpectNear(row[10], u.height == HeightUnit::kFoot ? feet : feet * 0.3048, 0.51, "ceiling");
      } else {
        EXPECT_EQ(row[10], "");
      }
    }
    // The weather and category in words; the comma in them quoted.
    EXPECT_EQ(table[15][11], "VFR");
    EXPECT_NE(table[15][12].find("thunderstorm"), std::string::npos) << table[15][12];
    EXPECT_EQ(table[16][11], "LIFR");
  }
}

// The file's times are UTC instants to the second, whatever zone the chart
// shows and whether it shows UTC.
TEST(ChartDataCsv, TimesAreIsoUtcWhateverTheZoneShown) {
  const ObservationList observations = Decoded(Reports());
  for (const char* zone : {"UTC", "America/New_York", "Asia/Kolkata", "Australia/Lord_Howe"}) {
    ZoneScope scope(zone);
    for (const bool timeUtc : {true, false}) {
      SCOPED_TRACE(std::string(zone) + (timeUtc ? " UTC on" : " UTC off"));
      Settings settings;
      settings.timeUtc = timeUtc;
      Table table;
      ASSERT_TRUE(ReadCsv(chartDataCsv(observations, settings), table));
      ASSERT_EQ(table.size(), 18u);
      EXPECT_EQ(table[1][0], "2020-08-01T00:53:00Z");
      EXPECT_EQ(table[14][0], "2020-08-01T13:53:00Z");
      EXPECT_EQ(table[17][0], "2020-08-09T02:53:00Z");
    }
  }
}

TEST(ChartDataCsv, QuotesOnlyWhatMustBe) {
  const struct {
    const char* field;
    const char* written;
  } cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"lf\nonly", "\"lf\nonly\""},
  };
  for (const auto& c : cases) {
    std::string line;
    appendCsvField(line, c.field);
    EXPECT_EQ(line, c.written) << c.field;
  }
  // An empty list is the header alone.
  Table table;
  ASSERT_TRUE(ReadCsv(chartDataCsv({}, Settings{}), table));
  EXPECT_EQ(table.size(), 1u);
}

bool OnlyFile(const std::filesystem::path& folder, const std::string& name) {
  int count = 0;
  bool found = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++count;
    found = found || entry.path().filename() == name;
  }
  return count == 1 && found;
}

TEST(ChartDataCsv, WritesTheWholeFileOrNothing) {
  TempFolder temp;
  const ObservationList observations = Decoded(Reports());
  const std::filesystem::path path = temp.Path() / "ktpa.csv";
  const CsvWriteResult written = writeChartDataCsv(path, observations, Settings{});
  ASSERT_TRUE(written.ok) << written.message;
  EXPECT_EQ(ReadAll(path), chartDataCsv(observations, Settings{}));
  EXPECT_TRUE(OnlyFile(temp.Path(), "ktpa.csv"));

  // No folder of that name: told, nothing made.
  const CsvWriteResult missing = writeChartDataCsv(temp.Path() / "gone" / "x.csv", observations, Settings{});
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.message.find("gone"), std::string::npos) << missing.message;
  EXPECT_TRUE(OnlyFile(temp.Path(), "ktpa.csv"));

  // A folder where the file should go: the rename fails, the temporary goes.
  std::filesystem::create_directory(temp / "taken.csv");
  const CsvWriteResult refused = writeChartDataCsv(temp / "taken.csv", observations, Settings{});
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.message.find("taken.csv"), std::string::npos) << refused.message;
  EXPECT_TRUE(std::filesystem::is_directory(temp / "taken.csv"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(temp.Path())) entries += !entry.path().empty();
  EXPECT_EQ(entries, 2) << "a temporary file was left";
}

// "The station's whole stored history": every report a real store file
// keeps, far older than the chart's hours, with a report the chart has
// that the store lacks, each once, read off the caller's thread.
TEST(ChartDataCsv, WholeHistoryComesFromTheStore) {
  TempFolder temp;
  const std::vector<Sent> sent = Reports();
  const std::int64_t now = Utc(2020, 8, 9, 3, 10);
  auto store = std::make_shared<ReportStore>(temp.Path() / "reports.sqlite", ReportStoreOptions{},
                                             [now] { return now; });
  std::vector<StoredMetar> rows;
  for (std::size_t i = 0; i + 1 < sent.size(); ++i) {
    const auto row = storedMetar(sent[i].raw, UtcDateTime::fromEpochMinutes(sent[i].at / 60));
    ASSERT_TRUE(row) << sent[i].raw;
    rows.push_back(*row);
  }
  ASSERT_EQ(store->putMetars(rows), static_cast<int>(rows.size()));
  DeferredFetcher fetcher;
  MetarSource source(fetcher, [now] { return now; });
  source.setStore(store);
  Station station;
  station.icao = "KTPA";
  // The chart shows its last three hours: two stored reports and one the store lacks.
  const ObservationList all = Decoded(sent);
  const ObservationList shown(all.begin(), all.begin() + 3);

  std::optional<ObservationList> history;
  auto ticket = requestWholeHistory(source, station, shown, [&](ObservationList got) { history = std::move(got); });
  ASSERT_NE(ticket, nullptr);
  EXPECT_FALSE(history) << "handed over before the request returned";
  ASSERT_TRUE(fetcher.deliverNext(FetchResult{}));
  ASSERT_TRUE(history);
  Table table;
  ASSERT_TRUE(ReadCsv(chartDataCsv(*history, Settings{}), table));
  ASSERT_EQ(table.size(), sent.size() + 1);
  for (std::size_t i = 0; i < sent.size(); ++i) EXPECT_EQ(table[i + 1].back(), sent[i].raw);

  // A source without a store has no history to give.
  DeferredFetcher other;
  MetarSource bare(other);
  EXPECT_EQ(requestWholeHistory(bare, station, shown, [](ObservationList) {}), nullptr);
}

}  // namespace
}  // namespace nimbrel::test
