// The whole world's METAR cache: gzip within a ceiling, CSV by column names,
// our decoder, the newest report of each station matched to the catalogue.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "observations/MetarCache.h"
#include "support/Gzip.h"
#include "support/ReadFile.h"

namespace nimbrel {
namespace {

Station CatalogueStation(const std::string& icao, double longitude = 8.5, double latitude = 47.5) {
  Station s;
  s.icao = icao;
  s.name = "STATION " + icao;
  s.mapLongitude = 180.0 + longitude;
  s.mapColatitude = 90.0 - latitude;
  s.hasPosition = true;
  return s;
}

using test::Gzipped;

const MetarCacheOptions kOptions{kDefaultInflateCeiling, UtcDateTime{2026, 12, 7, 15, 0}};

std::int64_t Minutes(int day, int hour, int minute) { return UtcDateTime{2026, 12, day, hour, minute}.epochMinutes(); }

// What a reading kept, per station, as "ICAO raw report".
std::vector<std::string> Kept(const WeatherSnapshot& snapshot, const StationList& catalogue) {
  std::vector<std::string> kept;
  for (const StationWeather& w : snapshot.stations) kept.push_back(catalogue[w.station].icao + " " + w.rawReport);
  return kept;
}

TEST(MetarCache, TheRealExcerptWithItsCommentLinesAndTypeWords) {
  const StationList catalogue = {CatalogueStation("CYBW", -114.38, 51.1), CatalogueStation("LIRF", 12.24, 41.8)};
  const WeatherSnapshot snapshot =
      readMetarCache(test::ReadFixture("metar/awc_cache_metars_csv_snippet_2026.txt"), catalogue, kOptions);
  EXPECT_EQ(snapshot.problem, "");
  EXPECT_EQ(snapshot.reportCount, 2);
  EXPECT_EQ(snapshot.skippedCount, 0);
  ASSERT_EQ(snapshot.stations.size(), 2u);
  const StationWeather& calgary = snapshot.stations[0];
  EXPECT_EQ(calgary.station, 0u);
  EXPECT_EQ(calgary.rawReport, "CYBW 160735Z AUTO 29003KT 3/8SM FG VV003 05/05 A3020");
  EXPECT_EQ(calgary.category, FlightCategory::LIFR);
  EXPECT_EQ(calgary.ceilingFt, 300);
  EXPECT_EQ(calgary.observedMinutes, (UtcDateTime{2026, 9, 16, 7, 35}.epochMinutes()));
  const StationWeather& rome = snapshot.stations[1];
  EXPECT_EQ(rome.category, FlightCategory::VFR);
  EXPECT_EQ(rome.temperatureC, 23.0);
  EXPECT_EQ(rome.windDirectionDeg, 50);
  EXPECT_EQ(snapshot.newestMinutes, calgary.observedMinutes);
}

struct CsvCase {
  const char* name;
  std::string csv;
  std::vector<std::string> kept;  // "ICAO raw report", in catalogue order
  int reportCount;
  int skipped;
  int unknownStations;
  std::string problem;
};

TEST(MetarCache, CsvCases) {
  const StationList catalogue = {CatalogueStation("EGLL"), CatalogueStation("KJFK"), CatalogueStation("LSZH")};
  const std::string header = "raw_text,station_id,observation_time\n";
  const CsvCase cases[] = {
      {"quoted fields with commas and doubled quotes before the report",
       "station_id,site,raw_text,observation_time\n"
       "LSZH,\"Zurich, \"\"Kloten\"\"\",LSZH 071420Z 24008KT 9999 FEW030 08/03 Q1021,2026-12-07T14:20:00Z\n",
       {"LSZH LSZH 071420Z 24008KT 9999 FEW030 08/03 Q1021"}, 1, 0, 0, ""},
      {"a quoted report with METAR in front, CR LF lines, the service's lines before the header",
       "No errors\r\nNo warnings\r\n3 ms\r\ndata source=metars\r\n1 results\r\n" + header.substr(0, header.size() - 1) +
           "\r\n\"METAR EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021\",EGLL,2026-12-07T14:20:00.000Z\r\n",
       {"EGLL EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021"}, 1, 0, 0, ""},
      {"several reports of one station: the newest kept whatever the order",
       header + "KJFK 071351Z 00000KT 10SM CLR 01/M05 A3010,KJFK,2026-12-07T13:51:00Z\n"
                "KJFK 071451Z 00000KT 2SM BR OVC008 02/M04 A3010,KJFK,2026-12-07T14:51:00Z\n"
                "KJFK 071251Z 00000KT 10SM CLR 00/M05 A3010,KJFK,2026-12-07T12:51:00Z\n",
       {"KJFK KJFK 071451Z 00000KT 2SM BR OVC008 02/M04 A3010"}, 3, 0, 0, ""},
      {"an unknown column ignored, station_id absent: the report names its station",
       "mystery,raw_text,flight_category\n\"a,b\",EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021,VFR\n",
       {"EGLL EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021"}, 1, 0, 0, ""},
      {"no raw_text column: says why and reads nothing",
       "station_id,observation_time\nEGLL,2026-12-07T14:20:00Z\n", {}, 0, 0, 0, "the report list has no raw_text column"},
      {"no header at all", "No errors\nsomething else\n", {}, 0, 0, 0, "the report list has no column header"},
      {"undecodable, empty, NIL and cut-short rows are skipped; blank lines are not rows",
       header + "GARBAGE HERE,EGLL,2026-12-07T14:20:00Z\n,KJFK,2026-12-07T14:20:00Z\n\n"
                "LSZH 071420Z NIL,LSZH,2026-12-07T14:20:00Z\nKJFK\n"
                "LSZH 071420Z 24008KT 9999 FEW030 08/03 Q1021,LSZH,2026-12-07T14:20:00Z",
       {"LSZH LSZH 071420Z 24008KT 9999 FEW030 08/03 Q1021"}, 5, 4, 0, ""},
      {"stations outside the catalogue are counted, not shown",
       header + "ZZZZ 071420Z 24008KT 9999 FEW030 08/03 Q1021,ZZZZ,2026-12-07T14:20:00Z\n"
                "EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021,EGLL,2026-12-07T14:20:00Z\n",
       {"EGLL EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021"}, 2, 0, 1, ""},
      {"an empty download", "", {}, 0, 0, 0, "the report list is empty"},
  };
  for (const CsvCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool gzip : {false, true}) {
      const WeatherSnapshot snapshot = readMetarCache(gzip ? Gzipped(c.csv) : c.csv, catalogue, kOptions);
      EXPECT_EQ(Kept(snapshot, catalogue), c.kept) << "gzip " << gzip;
      EXPECT_EQ(snapshot.reportCount, c.reportCount);
      EXPECT_EQ(snapshot.skippedCount, c.skipped);
      EXPECT_EQ(snapshot.unknownStationCount, c.unknownStations);
      EXPECT_EQ(snapshot.problem, c.problem);
    }
  }
}

TEST(MetarCache, ReportsAreDatedByTheirRowOrTheReceivingTime) {
  // A report of the 30th read on the 1st belongs to the month before.
  const StationList catalogue = {CatalogueStation("EGLL"), CatalogueStation("LSZH")};
  const std::string csv =
      "raw_text,station_id,observation_time\n"
      "EGLL 302350Z 24008KT 9999 FEW030 08/03 Q1021,EGLL,2026-11-30T23:50:00Z\n"
      "LSZH 010010Z 24008KT 9999 FEW030 08/03 Q1021,LSZH,\n";
  const WeatherSnapshot snapshot =
      readMetarCache(csv, catalogue, MetarCacheOptions{kDefaultInflateCeiling, UtcDateTime{2026, 12, 1, 0, 30}});
  ASSERT_EQ(snapshot.stations.size(), 2u);
  EXPECT_EQ(snapshot.stations[0].observedMinutes, (UtcDateTime{2026, 11, 30, 23, 50}.epochMinutes()));
  EXPECT_EQ(snapshot.stations[1].observedMinutes, (UtcDateTime{2026, 12, 1, 0, 10}.epochMinutes()));
  EXPECT_EQ(snapshot.newestMinutes, snapshot.stations[1].observedMinutes);
}

// A line of two reports run together, the first cut short: the one read is
// dated by the line, and dropped when that puts it more than a day from the
// line's observation time, its own first header or the download.
TEST(MetarCache, RunTogetherLinesAreDatedByTheLineOrDropped) {
  struct Case {
    const char* name;
    std::string line;         // raw_text,station_id,observation_time
    UtcDateTime downloadedAt;
    std::string expected;     // the stored report's station and time, or empty: dropped
  };
  const std::string body = " 18002KT 9999 SCT020TCU BKN070 21/20";
  const Case cases[] = {
      {"the second report of a week later is dropped",
       "MHAM 072247Z MHTR 141300Z" + body + ",MHTR,2026-12-07T22:47:00Z", {2026, 12, 7, 23, 0}, ""},
      {"the same without an observation time, by the download's",
       "MHAM 072247Z MHTR 141300Z" + body + ",MHTR,", {2026, 12, 7, 23, 0}, ""},
      {"the same with METAR and COR before the first station",
       "METAR COR MHAM 072247Z MHTR 141300Z" + body + ",,2026-12-07T22:47:00Z", {2026, 12, 7, 23, 0}, ""},
      {"the row dated by the second report: the line's first header still tells",
       "MHAM 072247Z MHTR 141300Z" + body + ",MHTR,2026-12-14T13:00:00Z", {2026, 12, 14, 13, 5}, ""},
      {"a day and a quarter of an hour later is dropped",
       "MHAM 072247Z MHTR 082302Z" + body + ",MHTR,2026-12-07T22:47:00Z", {2026, 12, 8, 23, 5}, ""},
      {"the real line of two headers of one time",
       "MHAM 141300Z MHTR 141300Z" + body + ",MHTR,2026-12-14T13:00:00Z", {2026, 12, 14, 13, 10}, "MHTR 2026-12-14T13:00Z"},
      {"a line of 31 Dec 23:55 read on 1 Jan: the next report is of the new year",
       "MHAM 312355Z MHTR 010005Z" + body + ",MHTR,2026-12-31T23:55:00Z", {2027, 1, 1, 0, 10}, "MHTR 2027-01-01T00:05Z"},
      {"the same without an observation time",
       "MHAM 312355Z MHTR 010005Z" + body + ",MHTR,", {2027, 1, 1, 0, 10}, "MHTR 2027-01-01T00:05Z"},
      {"a report of 31 Dec 23:55 alone, read on 1 Jan, is of the old year",
       "MHTR 312355Z" + body + ",MHTR,", {2027, 1, 1, 0, 10}, "MHTR 2026-12-31T23:55Z"},
      {"a line of 30 Nov read on 1 Dec, its second report of the 1st",
       "MHAM 302350Z MHTR 010010Z" + body + ",MHTR,2026-11-30T23:50:00Z", {2026, 12, 1, 0, 20}, "MHTR 2026-12-01T00:10Z"},
      {"a report two days older than the download without an observation time",
       "MHTR 052300Z" + body + ",MHTR,", {2026, 12, 7, 23, 5}, ""},
  };
  const StationList catalogue = {CatalogueStation("MHAM"), CatalogueStation("MHTR")};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<StoredMetar> reports;
    MetarCacheOptions options{kDefaultInflateCeiling, c.downloadedAt};
    options.reports = &reports;
    const WeatherSnapshot snapshot =
        readMetarCache("raw_text,station_id,observation_time\n" + c.line + "\n", catalogue, options);
    std::string stored;
    for (const StoredMetar& r : reports)
      stored += r.station + " " + UtcDateTime::fromEpochMinutes(r.observedAt / 60).toString();
    EXPECT_EQ(stored, c.expected);
    // The map shows what the store keeps, nothing else.
    EXPECT_EQ(snapshot.stations.size(), c.expected.empty() ? 0u : 1u);
    EXPECT_EQ(snapshot.skippedCount, c.expected.empty() ? 1 : 0);
    if (!c.expected.empty() && !snapshot.stations.empty()) {
      EXPECT_EQ(snapshot.stations[0].observedMinutes, reports.at(0).observedAt / 60);
    }
  }
}

// Every decoded report of a download goes to the store, of any station and
// each time; the stored ones read back make the offline map's weather.
TEST(MetarCache, EveryReportIsHandedToTheStoreAndReadBackOffline) {
  const StationList catalogue = {CatalogueStation("EGLL"), CatalogueStation("LSZH")};
  const std::string csv =
      "raw_text,station_id,observation_time\n"
      "EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021,EGLL,2026-12-07T14:20:00Z\n"
      "METAR COR EGLL 071450Z 24008KT 9999 FEW030 09/03 Q1021,EGLL,2026-12-07T14:50:00Z\n"
      "ZZZZ 071450Z 24008KT 9999 FEW030 08/03 Q1021,ZZZZ,2026-12-07T14:50:00Z\n"
      "not a report,LSZH,2026-12-07T14:50:00Z\n";
  std::vector<StoredMetar> reports;
  MetarCacheOptions options = kOptions;
  options.reports = &reports;
  const WeatherSnapshot live = readMetarCache(csv, catalogue, options);
  const std::int64_t at1420 = Minutes(7, 14, 20) * 60, at1450 = Minutes(7, 14, 50) * 60;
  const std::vector<StoredMetar> expected = {
      {"EGLL", at1420, "EGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021", ReportOrigin::kWorldFile, false},
      {"EGLL", at1450, "METAR COR EGLL 071450Z 24008KT 9999 FEW030 09/03 Q1021", ReportOrigin::kWorldFile, true},
      {"ZZZZ", at1450, "ZZZZ 071450Z 24008KT 9999 FEW030 08/03 Q1021", ReportOrigin::kWorldFile, false}};
  EXPECT_EQ(reports, expected);

  const WeatherSnapshot offline = storedWeather(reports, catalogue);
  EXPECT_TRUE(offline.offline);
  EXPECT_FALSE(live.offline);
  EXPECT_EQ(Kept(offline, catalogue), Kept(live, catalogue));
  EXPECT_EQ(offline.newestMinutes, live.newestMinutes);
}

// A catalogue of n stations and a cache of one report each, in that order.
struct ManyStations {
  StationList catalogue;
  std::string csv;
  std::vector<std::string> reports;
};

ManyStations Many(int n) {
  ManyStations many;
  many.csv = "raw_text,station_id,observation_time\n";
  for (int i = 0; i < n; ++i) {
    char icao[16];
    std::snprintf(icao, sizeof icao, "K%03d", i);
    many.catalogue.push_back(CatalogueStation(icao));
    const std::string report =
        std::string(icao) + " 07" + (i % 2 ? "1450" : "1420") + "Z 24008KT 9999 FEW030 " + std::to_string(i % 30) +
        "/03 Q1021";
    many.reports.push_back(report);
    many.csv += report + "," + icao + ",2026-12-07T14:" + (i % 2 ? "50" : "20") + ":00Z\n";
  }
  return many;
}

// The kept reports are the first k of the cache, each whole.
void ExpectAPrefix(const WeatherSnapshot& snapshot, const ManyStations& many) {
  for (std::size_t i = 0; i < snapshot.stations.size(); ++i) {
    EXPECT_EQ(snapshot.stations[i].station, i);
    EXPECT_EQ(snapshot.stations[i].rawReport, many.reports[i]);
  }
  EXPECT_EQ(snapshot.skippedCount, 0);
}

TEST(MetarCache, CutDamagedAndOversizedDownloadsKeepTheWholeLinesBefore) {
  const ManyStations many = Many(400);
  const std::string gz = Gzipped(many.csv);
  std::string damaged = gz;
  for (std::size_t i = gz.size() / 2; i < gz.size() / 2 + 40; ++i) damaged[i] = static_cast<char>(~damaged[i]);
  const std::size_t third = many.csv.size() / 3;
  struct Case {
    const char* name;
    std::string download;
    std::size_t ceiling;
    std::string problem;
  };
  const Case cases[] = {
      {"gzip cut in the middle", gz.substr(0, gz.size() / 2), kDefaultInflateCeiling, "the download was cut short"},
      {"gzip beyond the ceiling", gz, third,
       "the report list unpacks to more than " + std::to_string(third) + " bytes; only its start was read"},
      {"plain text beyond the ceiling", many.csv, third,
       "the download is larger than " + std::to_string(third) + " bytes; only its start was read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const WeatherSnapshot snapshot =
        readMetarCache(c.download, many.catalogue, MetarCacheOptions{c.ceiling, kOptions.receivedAt});
    EXPECT_EQ(snapshot.problem, c.problem);
    EXPECT_GT(snapshot.stations.size(), 10u);
    EXPECT_LT(snapshot.stations.size(), many.reports.size());
    EXPECT_EQ(snapshot.reportCount, static_cast<int>(snapshot.stations.size()));
    ExpectAPrefix(snapshot, many);
  }
  // Without its trailer every line is there, but the reader says so.
  const WeatherSnapshot noTrailer = readMetarCache(gz.substr(0, gz.size() - 4), many.catalogue, kOptions);
  EXPECT_EQ(noTrailer.problem, "the download was cut short");
  EXPECT_EQ(noTrailer.stations.size(), many.reports.size());
  // Damage is found only some way after it, so only what came well before is sure.
  const WeatherSnapshot afterDamage = readMetarCache(damaged, many.catalogue, kOptions);
  EXPECT_EQ(afterDamage.problem, "the download is damaged");
  ASSERT_GT(afterDamage.stations.size(), 50u);
  for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(afterDamage.stations[i].rawReport, many.reports[i]);
  // The cut that ends exactly on a line end loses nothing of that line.
  const std::size_t lineEnd = many.csv.find('\n', many.csv.size() / 2) + 1;
  const WeatherSnapshot atLineEnd =
      readMetarCache(many.csv, many.catalogue, MetarCacheOptions{lineEnd, kOptions.receivedAt});
  EXPECT_EQ(atLineEnd.stations.size(),
            static_cast<std::size_t>(std::count(many.csv.begin(), many.csv.begin() + lineEnd, '\n') - 1));
}

TEST(MetarCache, AHundredMegabytesStopAtTheDefaultCeiling) {
  const StationList catalogue = {CatalogueStation("EGLL")};
  std::string csv = "raw_text\nEGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021\nEGLL 071450Z";
  csv.append(std::size_t{100} << 20, ' ');
  const WeatherSnapshot snapshot = readMetarCache(Gzipped(csv), catalogue, kOptions);
  EXPECT_EQ(snapshot.problem, "the report list unpacks to more than 64 MB; only its start was read");
  ASSERT_EQ(snapshot.stations.size(), 1u);
  EXPECT_EQ(snapshot.stations[0].observedMinutes, Minutes(7, 14, 20));
  EXPECT_EQ(snapshot.reportCount, 1);
}

TEST(MetarCache, GzipMembersAreReadOneAfterTheOther) {
  const ManyStations many = Many(300);
  const std::size_t half = many.csv.find('\n', many.csv.size() / 2) + 1;
  const std::string download = Gzipped(many.csv.substr(0, half)) + Gzipped(many.csv.substr(half));
  const WeatherSnapshot snapshot = readMetarCache(download, many.catalogue, kOptions);
  EXPECT_EQ(snapshot.problem, "");
  EXPECT_EQ(snapshot.stations.size(), 300u);
  ExpectAPrefix(snapshot, many);
  EXPECT_EQ(snapshot.newestMinutes, Minutes(7, 14, 50));

  // A few empty members between them change nothing; a download of nothing
  // else is refused as what it is, without unpacking all of them.
  const std::string empty = Gzipped("");
  const WeatherSnapshot withEmpty =
      readMetarCache(Gzipped(many.csv.substr(0, half)) + empty + empty + empty + Gzipped(many.csv.substr(half)),
                     many.catalogue, kOptions);
  EXPECT_EQ(withEmpty.problem, "");
  EXPECT_EQ(withEmpty.stations.size(), 300u);
  std::string onlyEmpty;
  for (int i = 0; i < 200000; ++i) onlyEmpty += empty;
  const Inflated refused = inflateDownload(onlyEmpty);
  EXPECT_EQ(refused.problem, "the download is made of empty gzip members");
  EXPECT_FALSE(refused.complete);
  EXPECT_NE(readMetarCache(onlyEmpty, many.catalogue, kOptions).problem.find("empty gzip members"), std::string::npos);
}

TEST(MetarCache, AStationListedTwiceTakesItsEntryWithAPosition) {
  Station withoutPosition = CatalogueStation("EGLL");
  withoutPosition.hasPosition = false;
  const StationList catalogue = {withoutPosition, CatalogueStation("EGLL")};
  const WeatherSnapshot snapshot =
      readMetarCache("raw_text\nEGLL 071420Z 24008KT 9999 FEW030 08/03 Q1021\n", catalogue, kOptions);
  ASSERT_EQ(snapshot.stations.size(), 1u);
  EXPECT_EQ(snapshot.stations[0].station, 1u);
  EXPECT_EQ(snapshot.forStation(1), &snapshot.stations[0]);
  EXPECT_EQ(snapshot.forStation(0), nullptr);
}

TEST(MetarCache, TheDownloadAddress) {
  EXPECT_EQ(metarCacheUrl("https://aviationweather.gov"), "https://aviationweather.gov/data/cache/metars.cache.csv.gz");
  EXPECT_EQ(metarCacheUrl("http://127.0.0.1:8080/"), "http://127.0.0.1:8080/data/cache/metars.cache.csv.gz");
}

}  // namespace
}  // namespace nimbrel
