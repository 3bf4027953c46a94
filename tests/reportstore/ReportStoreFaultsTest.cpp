// The store under faults: two copies, bad settings, crafted files, a prune
// while charts read and write.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "reportstore/ReportStore.h"
#include "support/TempFolder.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

constexpr std::int64_t kDay = 24 * 3600;
constexpr std::int64_t kNow = 1289750400;  // 2010-11-14T16:00Z

StoredMetar metar(const std::string& station, std::int64_t at, const std::string& raw) {
  return StoredMetar{station, at, raw, ReportOrigin::kChart, false};
}

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> setAside(const TempFolder& folder) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(folder.Path()))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos &&
        entry.path().extension() != ".sqlite-wal")
      found.push_back(entry.path());
  return found;
}

void execOn(const fs::path& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

TEST(ReportStoreSettings, NumbersOutOfRangeGiveTheDefault) {
  const struct {
    long long days;
    int kept;
  } days[] = {{0, 30}, {-5, 30}, {1, 1}, {365, 365}, {366, 30}, {LLONG_MIN, 30}};
  for (const auto& c : days) EXPECT_EQ(retentionDaysOrDefault(c.days), c.kept) << c.days;

  const std::uint64_t mb = 1u << 20;
  const struct {
    long long megabytes;
    std::uint64_t bytes;
  } limits[] = {{0, 500 * mb},
                {-1, 500 * mb},
                {1, mb},
                {(1LL << 44) - 1, ((std::uint64_t{1} << 44) - 1) * mb},
                // These wrapped to nothing and to one megabyte.
                {1LL << 44, UINT64_MAX},
                {(1LL << 44) + 1, UINT64_MAX},
                {LLONG_MAX, UINT64_MAX}};
  for (const auto& c : limits) EXPECT_EQ(sizeLimitBytesOrDefault(c.megabytes), c.bytes) << c.megabytes;
}

// A store given a day count of 0 and a limit of 2^44 MB keeps its reports.
TEST(ReportStoreSettings, BadSettingsRemoveNothingRecent) {
  TempFolder folder;
  ReportStoreOptions options;
  options.retentionDays = 0;
  options.sizeLimitBytes = sizeLimitBytesOrDefault(1LL << 44);
  ReportStore store(folder / "reports.sqlite", options, [] { return kNow; });
  std::vector<StoredMetar> reports;
  for (int h = 0; h < 10 * 24; ++h) reports.push_back(metar("KJFK", kNow - h * 3600, "KJFK " + std::to_string(h)));
  ASSERT_EQ(store.putMetars(reports), 240);
  EXPECT_EQ(store.options().retentionDays, 30);
  store.setRetentionDays(-5);
  EXPECT_EQ(store.prune(), 0);
  EXPECT_EQ(store.info().reports, 240);
}

// Two running copies find the store damaged at the same moment: one sets
// it aside, the other opens the new one; nothing is overwritten or lost.
TEST(ReportStoreFaults, TwoProcessesFindingTheStoreDamagedKeepEverything) {
  for (int round = 0; round < 6; ++round) {
    TempFolder folder;
    const std::string damaged(16384, 'z');
    const fs::path path = folder.Write("reports.sqlite", damaged);
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
      children[c] = fork();
      ASSERT_GE(children[c], 0);
      if (children[c] == 0) {
        char byte;
        close(go[1]);
        if (read(go[0], &byte, 1) != 1) _exit(3);
        ReportStore store(path, {}, [] { return kNow; });
        const bool kept = store.putMetars(std::vector<StoredMetar>{metar(c == 0 ? "EGLL" : "LFPG", kNow, "A")}) == 1;
        if (!kept) std::fprintf(stderr, "copy %d: %s\n", c, store.offReason().c_str());
        _exit(kept ? 0 : 1);
      }
    }
    // Both start at once.
    close(go[0]);
    ASSERT_EQ(write(go[1], "gg", 2), 2);
    close(go[1]);
    for (pid_t child : children) {
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
    }
    const std::vector<fs::path> aside = setAside(folder);
    ASSERT_EQ(aside.size(), 1u) << "round " << round;
    EXPECT_EQ(bytesOf(aside[0]), damaged);
    ReportStore store(path, {}, [] { return kNow; });
    EXPECT_EQ(store.info().reports, 2) << "round " << round << ": " << store.takeNote();
  }
}

// Files the store did not make are refused before anything in them changes,
// set aside whole, and a new store started at once.
TEST(ReportStoreFaults, FilesWithTablesOrTriggersItDidNotMakeAreSetAside) {
  const struct {
    const char* name;
    const char* sql;
  } cases[] = {
      {"a trigger that never ends",
       "CREATE TRIGGER again AFTER INSERT ON metar BEGIN "
       "INSERT INTO metar VALUES(new.station, new.observed + 1, 1, 0, new.raw); END;"},
      {"our trigger changed", "DROP TRIGGER metar_added; CREATE TRIGGER metar_added AFTER INSERT ON metar BEGIN "
                              "DELETE FROM asked; END;"},
      {"a table of its own", "CREATE TABLE accounts(id INTEGER PRIMARY KEY, secret TEXT)"},
      {"an index", "CREATE INDEX by_time ON metar(observed)"},
      {"a view", "CREATE VIEW all_metar AS SELECT * FROM metar"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const fs::path path = folder / "reports.sqlite";
    {
      ReportStore made(path);
      ASSERT_EQ(made.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "old")}), 1);
    }
    execOn(path, "PRAGMA journal_mode=DELETE");
    execOn(path, c.sql);
    const std::string crafted = bytesOf(path);
    ReportStore store(path, {}, [] { return kNow; });
    const std::string note = store.takeNote();
    EXPECT_NE(note.find("did not make"), std::string::npos) << c.name << ": " << note;
    ASSERT_EQ(store.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "new")}), 1) << c.name;
    EXPECT_EQ(store.info().reports, 1) << c.name;
    const std::vector<fs::path> aside = setAside(folder);
    ASSERT_EQ(aside.size(), 1u) << c.name;
    EXPECT_EQ(bytesOf(aside[0]), crafted) << c.name;
  }
  // Another program's database is not the store's either, and is left as it was.
  TempFolder folder;
  const fs::path path = folder / "reports.sqlite";
  execOn(path, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('mine')");
  const std::string theirs = bytesOf(path);
  ReportStore store(path);
  EXPECT_TRUE(store.isOpen());
  ASSERT_EQ(setAside(folder).size(), 1u);
  EXPECT_EQ(bytesOf(setAside(folder)[0]), theirs);
}

// A store made before the per-station counts has them filled on opening.
TEST(ReportStoreFaults, CountsOfAnOlderStoreAreFilledOnce) {
  TempFolder folder;
  const fs::path path = folder / "reports.sqlite";
  {
    ReportStore made(path);
    std::vector<StoredMetar> reports;
    for (int i = 0; i < 5; ++i) reports.push_back(metar(i < 3 ? "KJFK" : "EGLL", kNow - i * 3600, "r"));
    ASSERT_EQ(made.putMetars(reports), 5);
  }
  execOn(path, "DROP TRIGGER metar_added; DROP TRIGGER metar_removed; DROP TABLE station_reports; "
               "DELETE FROM meta WHERE key = 'counted'");
  ReportStore store(path);
  EXPECT_EQ(store.counts().reports, 5);
  EXPECT_EQ(store.counts().stations, 2);
  EXPECT_TRUE(setAside(folder).empty());
}

// Pruning a large store while charts read and write: their calls complete
// between two of its batches instead of waiting for the whole prune.
TEST(ReportStoreFaults, ChartsReadAndWriteWhileAPruneRuns) {
  TempFolder folder;
  ReportStoreOptions options;
  options.pruneBatchRows = 500;
  std::promise<void> firstBatch, chartDone;
  std::shared_future<void> chartFinished = chartDone.get_future().share();
  int batches = 0;
  options.betweenPruneBatches = [&] {
    if (++batches != 1) return;
    firstBatch.set_value();
    // The prune goes on only once the chart got its reports.
    chartFinished.wait();
  };
  ReportStore store(folder / "reports.sqlite", options, [] { return kNow; });
  std::vector<StoredMetar> reports;
  for (int s = 0; s < 40; ++s)
    for (int h = 0; h < 60 * 24; h += 3) reports.push_back(metar("K" + std::to_string(1000 + s), kNow - h * 3600, "x"));
  ASSERT_EQ(store.putMetars(reports), static_cast<int>(reports.size()));

  std::thread prune([&store] { store.prune(); });
  firstBatch.get_future().wait();
  EXPECT_EQ(store.putMetars(std::vector<StoredMetar>{metar("EGLL", kNow, "chart")}), 1);
  EXPECT_EQ(store.metars("EGLL", 0, kNow).size(), 1u);
  EXPECT_EQ(store.metars("K1000", kNow - kDay, kNow).size(), 9u);
  chartDone.set_value();
  prune.join();
  EXPECT_GT(batches, 10);
  EXPECT_EQ(store.info().oldest, kNow - 30 * kDay);
  EXPECT_EQ(store.counts().reports, store.info().reports);
}

// Commands that only read leave no log or index files, and what is at the
// store's path that is no file is never opened.
TEST(ReportStoreFaults, ReadingLeavesNoTraceAndNonFilesAreNotOpened) {
  TempFolder folder;
  const fs::path path = folder / "reports.sqlite";
  {
    ReportStore made(path);
    ASSERT_EQ(made.putMetars(std::vector<StoredMetar>{metar("KJFK", kNow, "A")}), 1);
  }
  ASSERT_FALSE(fs::exists(folder / "reports.sqlite-wal"));
  ReportStoreOptions readOnly;
  readOnly.readOnly = true;
  {
    ReportStore store(path, readOnly);
    EXPECT_EQ(store.metars("KJFK", 0, kNow).size(), 1u);
    EXPECT_EQ(store.info().reports, 1);
  }
  EXPECT_FALSE(fs::exists(folder / "reports.sqlite-wal"));
  EXPECT_FALSE(fs::exists(folder / "reports.sqlite-shm"));

  fs::create_symlink("/dev/zero", folder / "device.sqlite");
  ASSERT_EQ(mkfifo((folder / "pipe.sqlite").c_str(), 0600), 0);
  for (const char* name : {"device.sqlite", "pipe.sqlite"}) {
    for (bool onlyRead : {false, true}) {
      ReportStoreOptions options;
      options.readOnly = onlyRead;
      ReportStore store(folder / name, options);
      EXPECT_FALSE(store.isOpen()) << name;
      EXPECT_NE(store.offReason().find("not a file"), std::string::npos) << name;
    }
  }
  EXPECT_TRUE(setAside(folder).empty());
}

}  // namespace
}  // namespace nimbrel
