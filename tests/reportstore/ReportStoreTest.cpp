#include "reportstore/ReportStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <thread>

#include "metar/UtcDateTime.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
// 2010-11-14T16:00Z
constexpr std::int64_t kNow = 1289750400;

StoredMetar metar(const char* station, std::int64_t at, const char* raw, bool corrected = false) {
  return StoredMetar{station, at, raw, ReportOrigin::kChart, corrected};
}

std::vector<std::string> raws(const std::vector<StoredMetar>& reports) {
  std::vector<std::string> texts;
  for (const StoredMetar& r : reports) texts.push_back(r.raw);
  return texts;
}

TEST(StoredMetar, ReadsStationTimeAndCorrection) {
  const UtcDateTime anchor{2010, 11, 14, 16, 0};
  struct Case {
    const char* raw;
    bool stored;
    const char* station;
    std::int64_t at;
    bool corrected;
  };
  const Case cases[] = {
      {"KJFK 141551Z 31014G22KT 10SM FEW050 09/M06 A3012", true, "KJFK", kNow - 9 * 60, false},
      {"METAR COR EGLL 141550Z 24010KT 9999 SCT020 11/08 Q1008", true, "EGLL", kNow - 10 * 60, true},
      {"EGLL 141550Z COR 24010KT 9999 SCT020 11/08 Q1008", true, "EGLL", kNow - 10 * 60, true},
      // The day after the anchor's is last month's.
      {"LFPG 302330Z 24010KT CAVOK 11/08 Q1008", true, "LFPG", kNow - 14 * kDay - 16 * kHour - 30 * 60, false},
      {"KJFK 141551Z NIL", false, "", 0, false},
      {"no report at all", false, "", 0, false},
      {"", false, "", 0, false},
  };
  for (const Case& c : cases) {
    const std::optional<StoredMetar> report = storedMetar(c.raw, anchor);
    ASSERT_EQ(report.has_value(), c.stored) << c.raw;
    if (!report) continue;
    EXPECT_EQ(report->station, c.station) << c.raw;
    EXPECT_EQ(report->observedAt, c.at) << c.raw;
    EXPECT_EQ(report->corrected, c.corrected) << c.raw;
    EXPECT_EQ(report->raw, c.raw);
  }
}

TEST(ReportStore, PathFollowsTheDataHome) {
  EXPECT_EQ(defaultStorePath("/data", "/home/u"), fs::path("/data/nimbrel/reports.sqlite"));
  EXPECT_EQ(defaultStorePath(nullptr, "/home/u"), fs::path("/home/u/.local/share/nimbrel/reports.sqlite"));
  // A relative XDG_DATA_HOME is to be ignored.
  EXPECT_EQ(defaultStorePath("rel", "/home/u"), fs::path("/home/u/.local/share/nimbrel/reports.sqlite"));
  EXPECT_EQ(defaultStorePath(nullptr, nullptr), fs::path());
}

// Downloads one after the other, and what a chart then reads: a report
// seen again is kept once, a correction replaces the report of its time, a
// late plain copy does not undo the correction.
TEST(ReportStore, KeepsEachReportOnceAndCorrectionsReplace) {
  struct Case {
    const char* name;
    std::vector<std::vector<StoredMetar>> downloads;
    std::vector<int> changed;
    std::vector<std::string> read;
  };
  const Case cases[] = {
      {"new reports, read oldest first",
       {{metar("KJFK", kNow - kHour, "B"), metar("KJFK", kNow - 2 * kHour, "A")}},
       {2},
       {"A", "B"}},
      {"the same report twice",
       {{metar("KJFK", kNow - kHour, "A")}, {metar("KJFK", kNow - kHour, "A"), metar("KJFK", kNow, "C")}},
       {1, 1},
       {"A", "C"}},
      {"a correction replaces",
       {{metar("KJFK", kNow, "A")}, {metar("KJFK", kNow, "A COR", true)}},
       {1, 1},
       {"A COR"}},
      {"a plain copy after the correction changes nothing",
       {{metar("KJFK", kNow, "A COR", true)}, {metar("KJFK", kNow, "A")}},
       {1, 0},
       {"A COR"}},
      {"another station and another time range stay out",
       {{metar("KJFK", kNow, "A"), metar("EGLL", kNow, "X"), metar("KJFK", kNow - 2 * kDay, "old")}},
       {3},
       {"A"}},
      {"rows without a station or text are passed over",
       {{metar("", kNow, "A"), metar("KJFK", kNow, "")}},
       {0},
       {}},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    ReportStore store(folder / "reports.sqlite");
    ASSERT_TRUE(store.isOpen()) << store.takeNote();
    for (std::size_t i = 0; i < c.downloads.size(); ++i)
      EXPECT_EQ(store.putMetars(c.downloads[i]), std::optional<int>(c.changed[i])) << c.name << " #" << i;
    EXPECT_EQ(raws(store.metars("KJFK", kNow - kDay, kNow)), c.read) << c.name;
    // Counts kept as rows come agree with counting them.
    EXPECT_EQ(store.counts().reports, store.info().reports) << c.name;
    EXPECT_EQ(store.counts().stations, store.info().stations) << c.name;
  }
}

TEST(ReportStore, NewestOfEachStationFormsAndInfo) {
  TempFolder folder;
  const fs::path path = folder / "deep" / "folder" / "reports.sqlite";
  {
    ReportStore store(path);
    const std::vector<StoredMetar> reports = {
        metar("KJFK", kNow - 2 * kHour, "J1"), metar("KJFK", kNow - kHour, "J2"),
        metar("EGLL", kNow - 3 * kHour, "L1"), metar("LFPG", kNow - 30 * kHour, "P1")};
    ASSERT_EQ(store.putMetars(reports), 4);
    ASSERT_EQ(store.putForecasts(std::vector<StoredForecast>{{"KJFK", kNow - kHour, "TAF1"},
                                                            {"KJFK", kNow - 7 * kHour, "TAF0"}}),
              2);
    store.setAskedSince("KJFK", kNow - 5 * kHour);
    store.setAskedSince("KJFK", kNow - 2 * kHour);  // the earlier stays
  }
  // Everything is there for the next run.
  ReportStore store(path);
  EXPECT_EQ(raws(store.newestMetars(kNow - kDay)), (std::vector<std::string>{"L1", "J2"}));
  EXPECT_EQ(store.newestTime("KJFK"), kNow - kHour);
  EXPECT_EQ(store.newestTime("ZZZZ"), std::nullopt);
  EXPECT_EQ(store.newestForecast("KJFK")->raw, "TAF1");
  EXPECT_EQ(store.askedSince("KJFK"), kNow - 5 * kHour);
  EXPECT_EQ(store.askedSince("EGLL"), std::nullopt);
  const StoreInfo info = store.info();
  EXPECT_EQ(info.reports, 4);
  EXPECT_EQ(info.stations, 3);
  EXPECT_EQ(info.forecasts, 2);
  EXPECT_EQ(info.oldest, kNow - 30 * kHour);
  EXPECT_EQ(info.newest, kNow - kHour);
  EXPECT_GT(info.fileBytes, 0u);
  EXPECT_EQ(store.takeNote(), "");
}

TEST(ReportStore, RetentionAndSizeLimitRemoveTheOldest) {
  TempFolder folder;
  std::int64_t clock = kNow;
  ReportStore::Options options;
  options.retentionDays = 30;
  ReportStore store(folder / "reports.sqlite", options, [&clock] { return clock; });
  // One report an hour for 40 days, of a few stations, with long texts so
  // the size limit has something to bite.
  std::vector<StoredMetar> reports;
  const std::string padding(200, 'x');
  for (std::int64_t h = 0; h < 40 * 24; ++h)
    for (const char* station : {"KJFK", "EGLL", "LFPG"})
      reports.push_back(StoredMetar{station, kNow - h * kHour, station + padding, ReportOrigin::kWorldFile, false});
  ASSERT_EQ(store.putMetars(reports), static_cast<int>(reports.size()));

  EXPECT_EQ(store.prune(), 3 * (40 * 24 - (30 * 24 + 1)));
  EXPECT_EQ(store.info().oldest, kNow - 30 * kDay);

  // A day later maintenance runs again by itself; not before.
  clock += kDay - 1;
  store.maintainIfDue();
  store.finishMaintenance();
  EXPECT_EQ(store.info().oldest, kNow - 30 * kDay);
  clock += 2 * kHour;
  store.maintainIfDue();
  store.finishMaintenance();
  EXPECT_GT(store.info().oldest, kNow - 30 * kDay);

  // A size limit under the data's size: the oldest go first, the newest stay.
  const StoreInfo before = store.info();
  store.setSizeLimitBytes(64 * 1024);
  store.prune();
  const StoreInfo after = store.info();
  EXPECT_LT(after.reports, before.reports / 2);
  EXPECT_GT(after.reports, 0);
  EXPECT_GT(after.oldest, before.oldest);
  EXPECT_EQ(after.newest, before.newest);
  EXPECT_LE(after.fileBytes, before.fileBytes);
  // The kept counts follow every removal.
  EXPECT_EQ(store.counts().reports, after.reports);
  EXPECT_EQ(store.counts().stations, after.stations);
}

TEST(ReportStore, DamagedFileIsMovedAsideAndANewOneStarted) {
  TempFolder folder;
  const fs::path path = folder.Write("reports.sqlite", std::string(8192, 'z'));
  ReportStore store(path, {}, [] { return kNow; });
  ASSERT_TRUE(store.isOpen());
  const std::string note = store.takeNote();
  EXPECT_NE(note.find("damaged"), std::string::npos) << note;
  // The time and this process make the name: no other copy takes it.
  const std::string aside = "reports.sqlite.damaged-20101114T160000Z-" + std::to_string(getpid());
  EXPECT_NE(note.find(aside), std::string::npos) << note;
  EXPECT_EQ(fs::file_size(folder / aside), 8192u);
  EXPECT_EQ(store.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "A")}), 1);
  EXPECT_EQ(store.metars("KJFK", 0, kNow).size(), 1u);
  EXPECT_EQ(store.takeNote(), "");
}

// Opened on first use: nothing touches the file until a worker opens it or
// a call comes first, whichever it is; both at once open it once.
TEST(ReportStore, OpenedOnFirstUseByWhicheverCallComesFirst) {
  TempFolder folder;
  const fs::path path = folder / "reports.sqlite";
  ReportStoreOptions options;
  options.openOnFirstUse = true;
  ReportStore store(path, options, [] { return kNow; });
  EXPECT_FALSE(fs::exists(path));
  std::thread opener([&store] { store.open(); });
  EXPECT_EQ(store.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "A")}), 1);
  opener.join();
  EXPECT_TRUE(store.isOpen());
  EXPECT_EQ(raws(store.metars("KJFK", 0, kNow)), std::vector<std::string>{"A"});
}

// A store that cannot be opened or written goes off with a note; the
// calls that follow neither fail loudly nor crash.
TEST(ReportStore, FailuresTurnTheStoreOffWithANote) {
  TempFolder folder;
  {
    const fs::path file = folder.Write("a-file", "x");
    ReportStore store(file / "reports.sqlite");
    EXPECT_FALSE(store.isOpen());
    EXPECT_NE(store.takeNote().find("could not be opened"), std::string::npos);
    EXPECT_EQ(store.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "A")}), std::nullopt);
    EXPECT_TRUE(store.metars("KJFK", 0, kNow).empty());
    EXPECT_EQ(store.info().reports, 0);
  }
  {
    // A full disk: the file may not grow past a few pages.
    ReportStore::Options options;
    options.hardCeilingBytes = 64 * 1024;
    ReportStore store(folder / "full.sqlite", options);
    ASSERT_TRUE(store.isOpen());
    std::vector<StoredMetar> reports;
    for (int i = 0; i < 2000; ++i) reports.push_back(metar("KJFK", kNow - i * 60, "KJFK a fairly long report text"));
    EXPECT_EQ(store.putMetars(reports), std::nullopt);
    EXPECT_FALSE(store.isOpen());
    EXPECT_NE(store.takeNote().find("going on without it"), std::string::npos);
    EXPECT_EQ(store.putMetars(reports), std::nullopt);
    EXPECT_EQ(store.takeNote(), "");
  }
}

// Two running copies write the same and different reports at once.
TEST(ReportStore, TwoWritersShareTheFile) {
  TempFolder folder;
  const fs::path path = folder / "reports.sqlite";
  ReportStore first(path);
  ReportStore second(path);
  ASSERT_TRUE(first.isOpen() && second.isOpen());
  constexpr int kDownloads = 40;
  auto write = [](ReportStore& store, const char* own) {
    for (int d = 0; d < kDownloads; ++d) {
      std::vector<StoredMetar> reports;
      for (int i = 0; i < 50; ++i) {
        reports.push_back(metar("KJFK", kNow - (d * 50 + i) * 60, "shared"));
        reports.push_back(metar(own, kNow - (d * 50 + i) * 60, own));
      }
      ASSERT_TRUE(store.putMetars(reports).has_value()) << store.takeNote();
    }
  };
  std::thread a(write, std::ref(first), "EGLL");
  std::thread b(write, std::ref(second), "LFPG");
  a.join();
  b.join();
  const StoreInfo info = first.info();
  EXPECT_EQ(info.reports, 3 * kDownloads * 50);
  EXPECT_EQ(info.stations, 3);
  EXPECT_EQ(second.metars("LFPG", 0, kNow).size(), static_cast<std::size_t>(kDownloads * 50));
}

}  // namespace
}  // namespace nimbrel
