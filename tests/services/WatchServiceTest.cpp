// The watched stations kept current from the world download of a real
// server on 127.0.0.1: rows, alerts once per change, the quiet switch,
// the settings' units, and the TAF requests' pace.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <mutex>

#include "catalog/StationListReader.h"
#include "reportstore/ReportStore.h"
#include "services/ReportSources.h"
#include "services/Session.h"
#include "services/UserSettings.h"
#include "services/WatchService.h"
#include "services/WeatherFeed.h"
#include "support/LocalHttpServer.h"
#include "support/StationListLines.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

std::int64_t At(const char* iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toSecsSinceEpoch(); }

// A service whose world file and TAF answers the test changes as it goes.
class WatchedService {
 public:
  WatchedService() {
    server.Server().Get("/data/cache/metars.cache.csv.gz", [this](const httplib::Request&, httplib::Response& r) {
      std::lock_guard lock(mutex);
      r.set_content("raw_text,station_id,observation_time\n" + cache, "text/csv");
    });
    server.Server().Get("/api/data/taf", [this](const httplib::Request& q, httplib::Response& r) {
      ++tafRequests;
      std::lock_guard lock(mutex);
      const auto found = tafs.find(q.get_param_value("ids"));
      r.set_content(found == tafs.end() ? "[]" : found->second, "application/json");
    });
  }
  void SetCache(std::string rows) {
    std::lock_guard lock(mutex);
    cache = std::move(rows);
  }
  void SetTaf(const std::string& icao, const std::string& raw, const std::string& issued) {
    std::lock_guard lock(mutex);
    tafs[icao] = R"([{"rawTAF":")" + raw + R"(","issueTime":")" + issued + R"("}])";
  }

  LocalHttpServer server;
  std::atomic<int> tafRequests{0};

 private:
  std::mutex mutex;
  std::string cache;
  std::map<std::string, std::string> tafs;
};

class WatchServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test starts from an empty watch in the settings file.
    storeWatchList({});
    storeMinima({});
    storeWatchQuiet(false);
    ASSERT_TRUE(service.server.start());
    std::string list;
    for (const auto& [icao, name] : {std::pair{"EGLL", "LONDON/HEATHROW"}, {"KJFK", "NEW YORK/KENNEDY"},
                                     {"LFPG", "PARIS/CHARLES DE G"}}) {
      LineFields fields;
      fields.icao = icao;
      fields.name = name;
      list += StationLine(fields) + "\n";
    }
    auto stations = std::make_shared<StationList>();
    parseStationList(list, *stations);
    session.stations().setCatalogue(stations);
    session.setMetarUrl(service.server.Url(""));
    session.weatherFeed().setClock([this] { return now * 1000; });
    // The store opens on a worker: its readings are part of what is tested.
    ASSERT_TRUE(QTest::qWaitFor([this] {
      const auto store = session.sources().store();
      return store && !store->isOpening();
    }, 5000));
  }

  // A new download of the world file, `minutes` after the last.
  void Download(int minutes, WatchService& watch, QSignalSpy& rows) {
    now += minutes * 60;
    const int before = rows.count();
    session.weatherFeed().refresh();
    // The rows follow the download, then the stored reports read after it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rows.count() > before && !session.weatherFeed().isLoading() && !watch.isReadingStore(); }, 5000));
  }

  ZoneScope zone{"UTC"};
  WatchedService service;
  Session session;
  std::int64_t now = At("2026-12-07T18:00:00Z");
};

const WatchRow* RowOf(const WatchService& watch, const std::string& icao) {
  for (const WatchRow& row : watch.rows())
    if (row.icao == icao) return &row;
  return nullptr;
}

TEST_F(WatchServiceTest, RowsFollowTheWorldDownloadAndEachChangeAlertsOnce) {
  service.SetCache(
      "EGLL 071750Z 24010KT 9999 FEW030 08/04 Q1012,EGLL,2026-12-07T17:50:00Z\n"
      "KJFK 071751Z 31012KT 10SM FEW250 05/M03 A3012,KJFK,2026-12-07T17:51:00Z\n");
  WatchService watch(session, [this] { return now; });
  MinimaSet minima;
  minima.global.ceilingFt = 1000;
  watch.setMinima(minima);
  QSignalSpy rows(&watch, &WatchService::rowsChanged);
  QSignalSpy alerts(&watch, &WatchService::alerted);
  EXPECT_FALSE(watch.add("XX1"));
  ASSERT_TRUE(watch.add("egll"));
  ASSERT_TRUE(watch.add("KJFK"));
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"EGLL", "KJFK"}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return RowOf(watch, "EGLL") && RowOf(watch, "EGLL")->ageMinutes >= 0; }, 5000));
  EXPECT_EQ(RowOf(watch, "EGLL")->name, "LONDON_HEATHROW");
  EXPECT_EQ(RowOf(watch, "EGLL")->category, FlightCategory::VFR);
  EXPECT_EQ(RowOf(watch, "EGLL")->ageMinutes, 10);
  EXPECT_EQ(watch.worstCategory(), FlightCategory::VFR);
  EXPECT_EQ(alerts.count(), 0) << "the first report seen is where a station starts from";

  // EGLL drops to IFR and below the ceiling minimum: one alert says both.
  service.SetCache(
      "EGLL 071820Z 24010KT 3000 BR OVC006 08/07 Q1012,EGLL,2026-12-07T18:20:00Z\n"
      "KJFK 071751Z 31012KT 10SM FEW250 05/M03 A3012,KJFK,2026-12-07T17:51:00Z\n");
  Download(25, watch, rows);
  ASSERT_TRUE(QTest::qWaitFor([&] { return RowOf(watch, "EGLL")->category == FlightCategory::IFR; }, 5000));
  ASSERT_EQ(alerts.count(), 1);
  const auto alert = alerts.at(0).at(0).value<WatchAlert>();
  EXPECT_EQ(alert.station, "EGLL");
  EXPECT_TRUE(alert.categoryChanged && alert.minimaChanged);
  EXPECT_NE(alert.what.find("VFR to IFR"), std::string::npos) << alert.what;
  EXPECT_NE(alert.report.find("OVC006"), std::string::npos);
  const WatchRow& egll = *RowOf(watch, "EGLL");
  EXPECT_EQ(egll.trend, WatchTrend::kWorse) << "the report before comes from the store";
  EXPECT_EQ(egll.belowMinima.size(), 1u);
  EXPECT_EQ(watch.worstCategory(), FlightCategory::IFR);

  // The same file again: nothing new to tell.
  Download(15, watch, rows);
  EXPECT_EQ(alerts.count(), 1);

  // Quiet: the rows follow, nothing is told.
  watch.setQuiet(true);
  EXPECT_TRUE(readStoredWatchQuiet());
  service.SetCache("EGLL 071850Z 24010KT 9999 FEW030 08/04 Q1012,EGLL,2026-12-07T18:50:00Z\n");
  Download(15, watch, rows);
  ASSERT_TRUE(QTest::qWaitFor([&] { return RowOf(watch, "EGLL")->category == FlightCategory::VFR; }, 5000));
  EXPECT_EQ(alerts.count(), 1);
  // KJFK left the file: its stored report stands.
  EXPECT_EQ(RowOf(watch, "KJFK")->category, FlightCategory::VFR);

  // The user's units and Time UTC reach the rows without a download.
  Settings changed = session.settings();
  changed.units.temperature = TemperatureUnit::kFahrenheit;
  const int before = rows.count();
  session.applySettings(changed);
  ASSERT_GT(rows.count(), before);
  EXPECT_NE(RowOf(watch, "EGLL")->temperature.find("\xB0""F"), std::string::npos) << RowOf(watch, "EGLL")->temperature;

  watch.remove("KJFK");
  EXPECT_EQ(watch.rows().size(), 1u);
  EXPECT_EQ(readStoredWatchList(), (std::vector<std::string>{"EGLL"}));
}

// The TAF: asked once a station at the service's pace, its next change in
// the row, an amendment told once.
TEST_F(WatchServiceTest, ForecastsAreAskedAtTheServicesPaceAndAnAmendmentAlerts) {
  std::string cache;
  std::string list;
  std::vector<std::string> codes;
  for (int i = 0; i < WatchService::kTafPerMinute + 3; ++i) codes.push_back("EG" + std::string(1, char('A' + i)) + "X");
  for (const std::string& code : codes) {
    LineFields fields;
    fields.icao = code;
    list += StationLine(fields) + "\n";
    cache += code + " 071750Z 24010KT 9999 FEW030 08/04 Q1012," + code + ",2026-12-07T17:50:00Z\n";
  }
  auto stations = std::make_shared<StationList>();
  parseStationList(list, *stations);
  session.stations().setCatalogue(stations);
  service.SetCache(cache);
  service.SetTaf(codes[0], "TAF EGAX 071700Z 0718/0824 24010KT 9999 FEW030 BECMG 0720/0722 4000 BR BKN008",
                 "2026-12-07T17:00:00.000Z");
  storeWatchList(codes);
  WatchService watch(session, [this] { return now; });
  QSignalSpy rows(&watch, &WatchService::rowsChanged);
  QSignalSpy alerts(&watch, &WatchService::alerted);
  ASSERT_EQ(watch.stations().size(), codes.size());
  ASSERT_TRUE(QTest::qWaitFor([&] { return service.tafRequests.load() == WatchService::kTafPerMinute; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !RowOf(watch, "EGAX")->nextChange.empty(); }, 5000));
  EXPECT_EQ(service.tafRequests.load(), WatchService::kTafPerMinute);
  EXPECT_NE(RowOf(watch, "EGAX")->nextChange.find("BECMG 20:00"), std::string::npos) << RowOf(watch, "EGAX")->nextChange;

  // A minute on: the rest, and none asked twice.
  Download(1, watch, rows);
  ASSERT_TRUE(QTest::qWaitFor([&] { return service.tafRequests.load() == int(codes.size()); }, 5000)) << service.tafRequests.load() << " downloads " << session.weatherFeed().downloadCount();
  Download(2, watch, rows);
  EXPECT_EQ(service.tafRequests.load(), int(codes.size()));
  EXPECT_EQ(alerts.count(), 0);

  // Half an hour on, EGAX's TAF was amended: one alert, and it went to the store.
  service.SetTaf(codes[0], "TAF AMD EGAX 071815Z 0718/0824 24010KT 2000 BR OVC004", "2026-12-07T18:15:00.000Z");
  Download(WatchService::kTafEverySeconds / 60, watch, rows);
  ASSERT_TRUE(QTest::qWaitFor([&] { return alerts.count() == 1; }, 5000)) << service.tafRequests.load() << " " << RowOf(watch, "EGAX")->nextChange;
  const auto alert = alerts.at(0).at(0).value<WatchAlert>();
  EXPECT_EQ(alert.station, "EGAX");
  EXPECT_TRUE(alert.tafAmended);
  EXPECT_TRUE(QTest::qWaitFor([&] {
    const auto stored = session.sources().store()->newestForecast("EGAX");
    return stored && stored->raw.find("AMD") != std::string::npos;
  }, 5000));
}

}  // namespace
}  // namespace nimbrel::test
