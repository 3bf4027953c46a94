#include "reportstore/ReportStore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>
#include <climits>
#include <cstdio>
#include <ctime>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/ClockText.h"
#include "metar/MetarDecoder.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

// Another running copy holds the write lock for one download's
// transaction or one batch of its pruning: tens of milliseconds.
constexpr int kWriterBusyMs = 5000;
// In write-ahead mode a read waits only while the log is recovered.
constexpr int kReaderBusyMs = 1000;
// Opening (on a worker) waits a moment for another copy, which may be making
// a new store in place of a damaged one, slower on a loaded machine; after
// that it is tried again later instead.
constexpr int kOpenBusyMs = 2000;
// Then an opening that was told busy at once tries again this often, so long.
constexpr int kOpenBusyRetries = 20;
constexpr int kOpenBusyRetryMs = 100;
constexpr std::int64_t kOpenRetrySeconds = 30;
// No statement of the store runs longer: a crafted file cannot hang a chart.
constexpr std::chrono::seconds kStatementBudget{20};
// Finding the size limit's cutoff sorts every report, on its own connection.
constexpr std::chrono::seconds kMaintenanceBudget{120};

// The schema: one row per station and observation time. WITHOUT ROWID keeps
// each row once, in the order a chart reads it (station, then time).
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS metar(
  station TEXT NOT NULL,
  observed INTEGER NOT NULL,
  origin INTEGER NOT NULL,
  corrected INTEGER NOT NULL,
  raw TEXT NOT NULL,
  PRIMARY KEY(station, observed)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS taf(
  station TEXT NOT NULL,
  issued INTEGER NOT NULL,
  raw TEXT NOT NULL,
  PRIMARY KEY(station, issued)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS asked(
  station TEXT PRIMARY KEY NOT NULL,
  since INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS meta(
  key TEXT PRIMARY KEY NOT NULL,
  value INTEGER NOT NULL) WITHOUT ROWID;
-- Each station's count of reports, kept as rows come and go, so the counts
-- are read at once however large the store.
CREATE TABLE IF NOT EXISTS station_reports(
  station TEXT PRIMARY KEY NOT NULL,
  reports INTEGER NOT NULL) WITHOUT ROWID;
CREATE TRIGGER IF NOT EXISTS metar_added AFTER INSERT ON metar BEGIN
  INSERT INTO station_reports(station, reports) VALUES(new.station, 1)
    ON CONFLICT(station) DO UPDATE SET reports = reports + 1;
END;
CREATE TRIGGER IF NOT EXISTS metar_removed AFTER DELETE ON metar BEGIN
  UPDATE station_reports SET reports = reports - 1 WHERE station = old.station;
  DELETE FROM station_reports WHERE station = old.station AND reports <= 0;
END;
)sql";

// A prepared statement, finalised when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (db != nullptr) code = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return stmt != nullptr && code == SQLITE_OK; }
  int error() const { return code == SQLITE_OK ? SQLITE_MISUSE : code; }
  void bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }
  void bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt, index, value); }
  // SQLITE_ROW or SQLITE_DONE, else the failure.
  int step() { return sqlite3_step(stmt); }
  void reset() {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
  }
  std::int64_t integer(int column) const { return sqlite3_column_int64(stmt, column); }
  bool isNull(int column) const { return sqlite3_column_type(stmt, column) == SQLITE_NULL; }
  std::string text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return bytes == nullptr ? std::string() : std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
  }

 private:
  sqlite3_stmt* stmt = nullptr;
  int code = SQLITE_ERROR;
};

bool isDamage(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

int exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// Empty, or beginning with SQLite's header.
bool looksLikeANewStore(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char header[16] = {};
  in.read(header, sizeof header);
  return in.gcount() == 0 || (in.gcount() == 16 && std::memcmp(header, "SQLite format 3", 16) == 0);
}

using SchemaEntry = std::tuple<std::string, std::string, std::string>;  // type, name, sql

// What SQLite records of the store's own tables and triggers, taken from a
// database in memory made with the same schema.
const std::set<SchemaEntry>& ownSchema() {
  static const std::set<SchemaEntry> entries = [] {
    std::set<SchemaEntry> made;
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) == SQLITE_OK && exec(db, kSchema) == SQLITE_OK) {
      sqlite3_stmt* row = nullptr;
      sqlite3_prepare_v2(db, "SELECT type, name, coalesce(sql, '') FROM sqlite_master", -1, &row, nullptr);
      while (row != nullptr && sqlite3_step(row) == SQLITE_ROW) {
        auto text = [row](int c) { return std::string(reinterpret_cast<const char*>(sqlite3_column_text(row, c))); };
        made.emplace(text(0), text(1), text(2));
      }
      sqlite3_finalize(row);
    }
    sqlite3_close(db);
    return made;
  }();
  return entries;
}

// SQLITE_OK when the file holds nothing but (part of) the store's own
// schema; a file another program made, or one given a trigger that
// loops, is refused as damaged before anything in it is changed.
int checkOwnSchema(sqlite3* db, bool& foreign) {
  sqlite3_stmt* row = nullptr;
  int code = sqlite3_prepare_v2(db, "SELECT type, name, coalesce(sql, '') FROM sqlite_master", -1, &row, nullptr);
  if (code == SQLITE_OK) code = SQLITE_ROW;
  while (code == SQLITE_ROW && (code = sqlite3_step(row)) == SQLITE_ROW) {
    auto text = [row](int c) {
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(row, c));
      return bytes == nullptr ? std::string() : std::string(bytes);
    };
    const std::string name = text(1);
    // SQLite's own (statistics, automatic indexes) can not be made by others.
    if (name.rfind("sqlite_", 0) == 0) continue;
    if (ownSchema().count({text(0), name, text(2)}) == 0) {
      foreign = true;
      code = SQLITE_CORRUPT;
      break;
    }
  }
  sqlite3_finalize(row);
  return code == SQLITE_DONE ? SQLITE_OK : code;
}

int onProgress(void* context) {
  const auto* on = static_cast<const StoreStatementWatch*>(context);
  return (on->stopping->load() || std::chrono::steady_clock::now() > on->deadline) ? 1 : 0;
}

// rename() that never replaces: EEXIST when the name is taken.
int renameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  // A file system without it: a hard link fails on a taken name too.
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

bool sameFile(const struct stat& a, std::uint64_t device, std::uint64_t inode) {
  return static_cast<std::uint64_t>(a.st_dev) == device && static_cast<std::uint64_t>(a.st_ino) == inode;
}

StoredMetar readMetarRow(const Statement& row) {
  StoredMetar report;
  report.station = row.text(0);
  report.observedAt = row.integer(1);
  report.origin = row.integer(2) == static_cast<int>(ReportOrigin::kWorldFile) ? ReportOrigin::kWorldFile
                                                                               : ReportOrigin::kChart;
  report.corrected = row.integer(3) != 0;
  report.raw = row.text(4);
  return report;
}

// Every row of a query of reports; the code it ended with.
int readMetarRows(Statement& query, std::vector<StoredMetar>& reports) {
  int code;
  while ((code = query.step()) == SQLITE_ROW) reports.push_back(readMetarRow(query));
  return code;
}

}  // namespace

std::optional<StoredMetar> storedMetar(std::string_view raw, const UtcDateTime& anchor, ReportOrigin origin) {
  const MetarReport report = decodeMetar(raw, anchor);
  if (report.status == MetarStatus::Rejected || report.nil || !report.time.isValid() || report.station.empty())
    return std::nullopt;
  return StoredMetar{report.station, report.time.epochMinutes() * 60, std::string(raw), origin, report.corrected};
}

fs::path defaultStorePath(const char* xdgDataHome, const char* home) {
  fs::path base;
  if (xdgDataHome != nullptr && *xdgDataHome == '/') base = xdgDataHome;
  else if (home != nullptr && *home != '\0') base = fs::path(home) / ".local" / "share";
  else return {};
  return base / "nimbrel" / "reports.sqlite";
}

int retentionDaysOrDefault(long long days) {
  return days >= 1 && days <= 365 ? static_cast<int>(days) : kDefaultRetentionDays;
}

std::uint64_t sizeLimitBytesOrDefault(long long megabytes) {
  if (megabytes <= 0) return kDefaultSizeLimitMegabytes << 20;
  const auto value = static_cast<std::uint64_t>(megabytes);
  return value > (UINT64_MAX >> 20) ? UINT64_MAX : value << 20;
}

ReportStore::ReportStore(fs::path file, Options options, Clock clock)
    : file(std::move(file)), opts(std::move(options)), clock(std::move(clock)) {
  opts.retentionDays = retentionDaysOrDefault(opts.retentionDays);
  writerWatch.stopping = readerWatch.stopping = &stopping;
  if (!opts.openOnFirstUse) open();
}

void ReportStore::open() const {
  auto* self = const_cast<ReportStore*>(this);
  std::lock_guard guard(openLock);
  if (usable || stopping) return;
  if (attempted && (retryAt < 0 || now() < retryAt)) return;
  attempted = true;
  retryAt = -1;
  opening = true;
  std::scoped_lock both(writeLock, readLock);
  self->closeAll();
  self->usable = self->openFile();
  opening = false;
}

bool ReportStore::isOpen() const {
  {
    std::unique_lock guard(openLock, std::try_to_lock);
    // A retry is left to the workers' calls: this one may be on the window's thread.
    if (!guard.owns_lock() || attempted) return usable.load();
  }
  open();
  return usable.load();
}

std::string ReportStore::offReason() const {
  std::lock_guard lock(noteLock);
  return usable ? std::string() : offWhy;
}

void ReportStore::stop() {
  stopping = true;
  std::lock_guard lock(maintenanceLock);
  if (maintenance.joinable()) maintenance.join();
}

ReportStore::~ReportStore() {
  stop();
  std::scoped_lock both(writeLock, readLock);
  closeAll();
}

std::int64_t ReportStore::now() const {
  if (clock) return clock();
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void ReportStore::addNote(std::string text) {
  std::lock_guard lock(noteLock);
  pendingNote = pendingNote.empty() ? std::move(text) : pendingNote + " " + text;
}

std::string ReportStore::takeNote() {
  std::lock_guard lock(noteLock);
  return std::exchange(pendingNote, std::string());
}

void ReportStore::closeAll() {
  // The writer last: closing it folds the log into the file and removes it.
  sqlite3_close_v2(reader);
  sqlite3_close_v2(writer);
  writer = reader = nullptr;
}

void ReportStore::watch(sqlite3* db, Watch& on, std::chrono::seconds budget) const {
  on.deadline = std::chrono::steady_clock::now() + budget;
  if (db != nullptr) sqlite3_progress_handler(db, 10000, onProgress, &on);
}

bool ReportStore::setUp(sqlite3* db, bool isWriter, int& failure) {
  sqlite3_busy_timeout(db, kOpenBusyMs);
  sqlite3_extended_result_codes(db, 1);
  watch(db, isWriter ? writerWatch : readerWatch, kStatementBudget);
  bool foreign = false;
  // Checked before anything is changed: a file that is not the store's own
  // gets no tables, triggers or log.
  failure = checkOwnSchema(db, foreign);
  if (failure != SQLITE_OK) return false;
  const std::string ceiling =
      opts.hardCeilingBytes == 0 ? std::string()
                                 : "PRAGMA max_page_count=" + std::to_string(std::max<std::uint64_t>(opts.hardCeilingBytes / 4096, 8)) + ";";
  // Incremental vacuum lets pruning give space back; it takes effect only
  // on a new file. NORMAL sync in write-ahead mode loses at most the last
  // download on a power cut, never the file.
  const std::string setup = "PRAGMA page_size=4096; PRAGMA auto_vacuum=INCREMENTAL; PRAGMA journal_mode=WAL; "
                            "PRAGMA synchronous=NORMAL; " + ceiling;
  if (isWriter) failure = exec(db, setup.c_str());
  if (failure == SQLITE_OK && isWriter) failure = exec(db, kSchema);
  if (failure == SQLITE_OK && isWriter) {
    // A store made before the per-station counts has them filled once.
    Statement counted(db, "SELECT 1 FROM meta WHERE key = 'counted'");
    if (counted.ok() && counted.step() == SQLITE_DONE &&
        exec(db, "BEGIN IMMEDIATE; DELETE FROM station_reports; "
                 "INSERT INTO station_reports(station, reports) SELECT station, count(*) FROM metar GROUP BY station; "
                 "INSERT INTO meta(key, value) VALUES('counted', 1); COMMIT") != SQLITE_OK)
      exec(db, "ROLLBACK");
  }
  // Reading the schema finds a file that is no database.
  if (failure == SQLITE_OK) failure = exec(db, "SELECT count(*) FROM sqlite_master");
  if (failure == SQLITE_OK) sqlite3_busy_timeout(db, isWriter ? kWriterBusyMs : kReaderBusyMs);
  return failure == SQLITE_OK;
}

bool ReportStore::openConnections(int& failure, bool& foreign) {
  foreign = false;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  failure = sqlite3_open_v2(file.c_str(), &writer, flags, nullptr);
  if (failure == SQLITE_OK && setUp(writer, true, failure)) {
    failure = sqlite3_open_v2(file.c_str(), &reader, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (failure == SQLITE_OK && setUp(reader, false, failure)) return true;
  }
  if (writer != nullptr) checkOwnSchema(writer, foreign);
  return false;
}

bool ReportStore::openFile() {
  std::error_code error;
  auto off = [this](std::string why) {
    {
      std::lock_guard lock(noteLock);
      offWhy = why;
    }
    addNote(std::move(why));
    closeAll();
    return false;
  };
  // A device, a pipe or a folder at the store's path is never opened: SQLite
  // would put its journal beside whatever the link points at.
  if (const auto status = fs::status(file, error); !error && fs::exists(status) && !fs::is_regular_file(status))
    return off("The report store " + file.string() + " is not a file: reports are not kept this run.");
  if (opts.readOnly) {
    // Reads leave no trace: no log or index files beside the store, unless a
    // running copy has them already, whose newest reports are in its log.
    const bool logged = fs::exists(file.string() + "-wal", error);
    const std::string uri = "file:" + file.string() + (logged ? "?mode=ro" : "?immutable=1");
    int failure = sqlite3_open_v2(uri.c_str(), &reader, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (failure == SQLITE_OK) {
      sqlite3_extended_result_codes(reader, 1);
      sqlite3_busy_timeout(reader, kReaderBusyMs);
      watch(reader, readerWatch, kStatementBudget);
      bool foreign = false;
      failure = checkOwnSchema(reader, foreign);
      if (foreign) return off("The report store " + file.string() + " holds tables the store did not make.");
      if (failure == SQLITE_OK) return true;
    }
    return off("The report store " + file.string() + " could not be read (" +
               (reader != nullptr ? std::string(sqlite3_errmsg(reader)) : std::string(sqlite3_errstr(failure))) + ").");
  }
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  int busyRetries = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    struct stat found {};
    const bool existed = ::stat(file.c_str(), &found) == 0;
    int failure = SQLITE_OK;
    bool foreign = false;
    if (openConnections(failure, foreign)) {
      struct stat opened {};
      if (::stat(file.c_str(), &opened) == 0) {
        openedDevice = static_cast<std::uint64_t>(opened.st_dev);
        openedInode = static_cast<std::uint64_t>(opened.st_ino);
      }
      std::lock_guard lock(noteLock);
      offWhy.clear();
      return true;
    }
    // The code names the failure: a connection's message may already be
    // that of a later step.
    const std::string why = foreign ? std::string("it holds tables the store did not make")
                                    : std::string(sqlite3_errstr(failure)) + " (" + std::to_string(failure) + ")";
    closeAll();
    // A read-only connection cannot recover another copy's log itself; a
    // file "not a database" that is empty or starts as one is another copy's
    // new store in the making, not damage.
    const bool waitingForRecovery = failure == SQLITE_READONLY_RECOVERY || failure == SQLITE_READONLY_CANTINIT;
    const bool beingMade = (failure & 0xFF) == SQLITE_NOTADB && looksLikeANewStore(file);
    if (((failure & 0xFF) == SQLITE_BUSY || (failure & 0xFF) == SQLITE_LOCKED || waitingForRecovery || beingMade) &&
        busyRetries < kOpenBusyRetries) {
      // Some steps of another copy's opening (its log's recovery, its first
      // schema) answer busy at once, past any busy timeout: a moment later
      // they are done.
      ++busyRetries;
      --attempt;
      std::this_thread::sleep_for(std::chrono::milliseconds(kOpenBusyRetryMs));
      continue;
    }
    if ((failure & 0xFF) == SQLITE_BUSY || (failure & 0xFF) == SQLITE_LOCKED) {
      // Another copy is busy with it: tried again later, not given up for the run.
      retryAt = now() + kOpenRetrySeconds;
      return off("The report store is busy with another running copy: reports are kept again once it is free.");
    }
    if (!isDamage(failure) || !existed || attempt == 2)
      return off("The report store " + file.string() + " could not be opened (" + why +
                 "): reports are not kept this run.");
    openedDevice = static_cast<std::uint64_t>(found.st_dev);
    openedInode = static_cast<std::uint64_t>(found.st_ino);
    setAside(why);
  }
  return false;
}

void ReportStore::setAside(const std::string& why) {
  // Two copies finding the file damaged at once: the first sets it aside,
  // the second finds another file there and opens that one.
  const std::string lockName = file.string() + ".lock";
  const int lockFile = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFile >= 0) flock(lockFile, LOCK_EX);
  struct stat current {};
  if (::stat(file.c_str(), &current) == 0 && sameFile(current, openedDevice, openedInode)) {
    const std::string base = file.string() + ".damaged-" + utcText(now(), "%Y%m%dT%H%M%SZ") + "-" +
                             std::to_string(getpid());
    std::string aside = base;
    int code = 0;
    for (int n = 2; (code = renameNoReplace(file.string(), aside)) == EEXIST && n < 1000; ++n)
      aside = base + "-" + std::to_string(n);
    if (code == 0) {
      // The log may hold reports the file has not taken in yet: kept with it.
      for (const char* extra : {"-wal", "-shm"}) renameNoReplace(file.string() + extra, aside + extra);
      addNote("The report store was damaged (" + why + "): it was moved aside as " +
              fs::path(aside).filename().string() + " and a new one started.");
    }
  }
  if (lockFile >= 0) {
    flock(lockFile, LOCK_UN);
    ::close(lockFile);
  }
}

bool ReportStore::failed(int code, const char* what) {
  // Another copy holding the file past the time-out costs this call only.
  if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED) return false;
  // Interrupted at quit: nothing is wrong with the store.
  if ((code & 0xFF) == SQLITE_INTERRUPT && stopping) return false;
  if (isDamage(code)) {
    damaged = true;
  } else {
    const std::string why = std::string("The report store could not ") + what + " (" + sqlite3_errstr(code) +
                            "): going on without it.";
    {
      std::lock_guard lock(noteLock);
      offWhy = why;
    }
    addNote(why);
  }
  usable = false;
  return false;
}

void ReportStore::recoverIfDamaged() {
  if (!damaged.exchange(false)) return;
  std::scoped_lock both(writeLock, readLock);
  closeAll();
  setAside("found while running");
  usable = openFile();
}

std::optional<int> ReportStore::putMetars(std::span<const StoredMetar> reports) {
  open();
  recoverIfDamaged();
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return std::nullopt;
  watch(writer, writerWatch, kStatementBudget);
  int code = exec(writer, "BEGIN IMMEDIATE");
  if (code != SQLITE_OK) {
    // Another copy holding the lock past the time-out loses this download
    // for the store only; the charts have it.
    if ((code & 0xFF) == SQLITE_BUSY) return std::nullopt;
    failed(code, "be written");
    return std::nullopt;
  }
  // A report seen again changes nothing; a correction replaces the report
  // of its time unless it is the very same text.
  Statement insert(writer,
                   "INSERT INTO metar(station, observed, origin, corrected, raw) VALUES(?1, ?2, ?3, ?4, ?5) "
                   "ON CONFLICT(station, observed) DO UPDATE SET raw = excluded.raw, origin = excluded.origin, "
                   "corrected = 1 WHERE excluded.corrected AND metar.raw <> excluded.raw");
  int changed = 0;
  code = insert.ok() ? SQLITE_DONE : insert.error();
  for (const StoredMetar& report : reports) {
    if (code != SQLITE_DONE) break;
    if (report.station.empty() || report.raw.empty()) continue;
    insert.bind(1, report.station);
    insert.bind(2, report.observedAt);
    insert.bind(3, static_cast<std::int64_t>(report.origin));
    insert.bind(4, std::int64_t{report.corrected ? 1 : 0});
    insert.bind(5, report.raw);
    code = insert.step();
    if (code == SQLITE_DONE) changed += sqlite3_changes(writer);
    insert.reset();
  }
  if (code == SQLITE_DONE) code = exec(writer, "COMMIT");
  else code = code == SQLITE_OK ? SQLITE_ERROR : code;
  if (code != SQLITE_OK && code != SQLITE_DONE) {
    exec(writer, "ROLLBACK");
    failed(code, "be written");
    return std::nullopt;
  }
  return changed;
}

std::optional<int> ReportStore::putForecasts(std::span<const StoredForecast> forecasts) {
  open();
  recoverIfDamaged();
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return std::nullopt;
  watch(writer, writerWatch, kStatementBudget);
  int code = exec(writer, "BEGIN IMMEDIATE");
  if (code != SQLITE_OK) {
    if ((code & 0xFF) != SQLITE_BUSY) failed(code, "be written");
    return std::nullopt;
  }
  // An amended forecast has an issue time of its own.
  Statement insert(writer, "INSERT OR IGNORE INTO taf(station, issued, raw) VALUES(?1, ?2, ?3)");
  int changed = 0;
  code = insert.ok() ? SQLITE_DONE : insert.error();
  for (const StoredForecast& forecast : forecasts) {
    if (code != SQLITE_DONE) break;
    insert.bind(1, forecast.station);
    insert.bind(2, forecast.issuedAt);
    insert.bind(3, forecast.raw);
    code = insert.step();
    if (code == SQLITE_DONE) changed += sqlite3_changes(writer);
    insert.reset();
  }
  if (code == SQLITE_DONE) code = exec(writer, "COMMIT");
  if (code != SQLITE_OK) {
    exec(writer, "ROLLBACK");
    failed(code, "be written");
    return std::nullopt;
  }
  return changed;
}

std::vector<StoredMetar> ReportStore::metars(std::string_view station, std::int64_t from, std::int64_t to) const {
  open();
  std::vector<StoredMetar> reports;
  std::lock_guard lock(readLock);
  if (!usable) return reports;
  watch(reader, readerWatch, kStatementBudget);
  Statement query(reader,
                  "SELECT station, observed, origin, corrected, raw FROM metar "
                  "WHERE station = ?1 AND observed BETWEEN ?2 AND ?3 ORDER BY observed");
  if (!query.ok()) return reports;
  query.bind(1, station);
  query.bind(2, from);
  query.bind(3, to);
  if (const int code = readMetarRows(query, reports); code != SQLITE_DONE)
    const_cast<ReportStore*>(this)->failed(code, "be read");
  return reports;
}

std::vector<StoredMetar> ReportStore::newestMetars(std::int64_t since) const {
  open();
  std::vector<StoredMetar> reports;
  std::lock_guard lock(readLock);
  if (!usable) return reports;
  watch(reader, readerWatch, kStatementBudget);
  // SQLite takes the other columns from the row that holds the max().
  Statement query(reader,
                  "SELECT station, max(observed), origin, corrected, raw FROM metar "
                  "WHERE observed >= ?1 GROUP BY station ORDER BY station");
  if (!query.ok()) return reports;
  query.bind(1, since);
  if (const int code = readMetarRows(query, reports); code != SQLITE_DONE)
    const_cast<ReportStore*>(this)->failed(code, "be read");
  return reports;
}

std::optional<std::int64_t> ReportStore::newestTime(std::string_view station) const {
  open();
  std::lock_guard lock(readLock);
  if (!usable) return std::nullopt;
  watch(reader, readerWatch, kStatementBudget);
  Statement query(reader, "SELECT max(observed) FROM metar WHERE station = ?1");
  if (!query.ok()) return std::nullopt;
  query.bind(1, station);
  if (query.step() != SQLITE_ROW || query.isNull(0)) return std::nullopt;
  return query.integer(0);
}

std::optional<StoredForecast> ReportStore::newestForecast(std::string_view station) const {
  open();
  std::lock_guard lock(readLock);
  if (!usable) return std::nullopt;
  watch(reader, readerWatch, kStatementBudget);
  Statement query(reader, "SELECT station, issued, raw FROM taf WHERE station = ?1 ORDER BY issued DESC LIMIT 1");
  if (!query.ok()) return std::nullopt;
  query.bind(1, station);
  if (query.step() != SQLITE_ROW) return std::nullopt;
  return StoredForecast{query.text(0), query.integer(1), query.text(2)};
}

std::vector<StoredForecast> ReportStore::forecasts(std::string_view station, std::int64_t from,
                                                 std::int64_t to) const {
  open();
  std::vector<StoredForecast> found;
  std::lock_guard lock(readLock);
  if (!usable) return found;
  watch(reader, readerWatch, kStatementBudget);
  Statement query(reader,
                  "SELECT station, issued, raw FROM taf WHERE station = ?1 AND issued BETWEEN ?2 AND ?3 "
                  "ORDER BY issued");
  if (!query.ok()) return found;
  query.bind(1, station);
  query.bind(2, from);
  query.bind(3, to);
  while (query.step() == SQLITE_ROW) found.push_back(StoredForecast{query.text(0), query.integer(1), query.text(2)});
  return found;
}

std::optional<std::int64_t> ReportStore::askedSince(std::string_view station) const {
  open();
  std::lock_guard lock(readLock);
  if (!usable) return std::nullopt;
  watch(reader, readerWatch, kStatementBudget);
  Statement query(reader, "SELECT since FROM asked WHERE station = ?1");
  if (!query.ok()) return std::nullopt;
  query.bind(1, station);
  if (query.step() != SQLITE_ROW) return std::nullopt;
  return query.integer(0);
}

void ReportStore::setAskedSince(std::string_view station, std::int64_t since) {
  open();
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return;
  watch(writer, writerWatch, kStatementBudget);
  Statement update(writer, "INSERT INTO asked(station, since) VALUES(?1, ?2) "
                           "ON CONFLICT(station) DO UPDATE SET since = min(since, excluded.since)");
  if (!update.ok()) return;
  update.bind(1, station);
  update.bind(2, since);
  const int code = update.step();
  if (code != SQLITE_DONE && (code & 0xFF) != SQLITE_BUSY) failed(code, "be written");
}

std::uint64_t ReportStore::usedBytes(sqlite3* db) const {
  Statement pages(db, "SELECT (SELECT page_count FROM pragma_page_count()) - "
                      "(SELECT freelist_count FROM pragma_freelist_count()), "
                      "(SELECT page_size FROM pragma_page_size())");
  if (!pages.ok() || pages.step() != SQLITE_ROW) return 0;
  return static_cast<std::uint64_t>(std::max<std::int64_t>(pages.integer(0), 0)) *
         static_cast<std::uint64_t>(pages.integer(1));
}

StoreInfo ReportStore::info() const {
  open();
  StoreInfo info;
  info.fileBytes = fileBytes();
  std::lock_guard lock(readLock);
  if (!usable) return info;
  watch(reader, readerWatch, kStatementBudget);
  Statement counts(reader, "SELECT count(*), count(DISTINCT station), coalesce(min(observed), 0), "
                           "coalesce(max(observed), 0), (SELECT count(*) FROM taf) FROM metar");
  if (counts.ok() && counts.step() == SQLITE_ROW) {
    info.reports = counts.integer(0);
    info.stations = counts.integer(1);
    info.oldest = counts.integer(2);
    info.newest = counts.integer(3);
    info.forecasts = counts.integer(4);
  }
  return info;
}

std::uint64_t ReportStore::fileBytes() const {
  std::uint64_t bytes = 0;
  std::error_code error;
  for (const char* extra : {"", "-wal"}) {
    const auto size = fs::file_size(file.string() + extra, error);
    if (!error) bytes += size;
  }
  return bytes;
}

StoreCounts ReportStore::counts() const {
  open();
  StoreCounts counts;
  std::lock_guard lock(readLock);
  if (!usable) return counts;
  watch(reader, readerWatch, kStatementBudget);
  Statement read(reader, "SELECT coalesce(sum(reports), 0), count(*) FROM station_reports");
  if (read.ok() && read.step() == SQLITE_ROW) {
    counts.reports = read.integer(0);
    counts.stations = read.integer(1);
  }
  return counts;
}

ReportStore::Options ReportStore::options() const {
  std::lock_guard lock(writeLock);
  return opts;
}

void ReportStore::setRetentionDays(int days) {
  std::lock_guard lock(writeLock);
  // Out of range is a mistake: the days kept stay as they were.
  if (days >= 1 && days <= 365) opts.retentionDays = days;
}

void ReportStore::setSizeLimitBytes(std::uint64_t bytes) {
  std::lock_guard lock(writeLock);
  opts.sizeLimitBytes = bytes;
}

bool ReportStore::removeOlder(std::int64_t cutoff, std::int64_t& removed) {
  // The stations are read on the reader, then each one's oldest rows go by
  // its key, a batch a transaction, so a chart's write waits one batch.
  std::vector<std::string> stations;
  {
    std::lock_guard lock(readLock);
    if (!usable) return false;
    watch(reader, readerWatch, kStatementBudget);
    Statement query(reader, "SELECT station FROM station_reports UNION SELECT station FROM taf");
    while (query.ok() && query.step() == SQLITE_ROW) stations.push_back(query.text(0));
  }
  const int batch = std::max(opts.pruneBatchRows, 1);
  std::size_t next = 0;
  while (next < stations.size()) {
    if (stopping) return false;
    {
      std::lock_guard lock(writeLock);
      if (!usable || writer == nullptr) return false;
      watch(writer, writerWatch, kStatementBudget);
      int code = exec(writer, "BEGIN IMMEDIATE");
      if (code != SQLITE_OK) return failed(code, "be pruned");
      Statement metars(writer, "DELETE FROM metar WHERE station = ?1 AND observed IN "
                               "(SELECT observed FROM metar WHERE station = ?1 AND observed < ?2 ORDER BY observed LIMIT ?3)");
      Statement tafs(writer, "DELETE FROM taf WHERE station = ?1 AND issued < ?2");
      code = metars.ok() && tafs.ok() ? SQLITE_DONE : (metars.ok() ? tafs.error() : metars.error());
      int rows = 0;
      while (code == SQLITE_DONE && next < stations.size() && rows < batch) {
        const int room = batch - rows;
        metars.bind(1, stations[next]);
        metars.bind(2, cutoff);
        metars.bind(3, std::int64_t{room});
        code = metars.step();
        const int gone = code == SQLITE_DONE ? sqlite3_changes(writer) : 0;
        metars.reset();
        rows += gone;
        if (code == SQLITE_DONE && gone < room) {
          tafs.bind(1, stations[next]);
          tafs.bind(2, cutoff);
          code = tafs.step();
          tafs.reset();
          ++next;
        }
      }
      if (code == SQLITE_DONE) code = exec(writer, "COMMIT");
      if (code != SQLITE_OK) {
        exec(writer, "ROLLBACK");
        return failed(code, "be pruned");
      }
      removed += rows;
    }
    if (opts.betweenPruneBatches) opts.betweenPruneBatches();
    // Lets a write waiting for the lock in this process take it.
    std::this_thread::yield();
  }
  return true;
}

std::optional<std::int64_t> ReportStore::sizeCutoff() {
  std::uint64_t used = 0;
  {
    std::lock_guard lock(writeLock);
    if (!usable || writer == nullptr) return std::nullopt;
    watch(writer, writerWatch, kStatementBudget);
    used = usedBytes(writer);
  }
  const std::uint64_t limit = opts.sizeLimitBytes;
  if (used <= limit) return std::nullopt;
  // Sorting every report takes a while on a large store: done on a
  // connection of its own, which holds no lock another reader or writer wants.
  sqlite3* db = nullptr;
  std::optional<std::int64_t> cutoff;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
    Watch on{&stopping, {}};
    watch(db, on, kMaintenanceBudget);
    Statement count(db, "SELECT count(*) FROM metar");
    if (count.ok() && count.step() == SQLITE_ROW && count.integer(0) > 0) {
      // A share large enough to come back under the limit with a little room.
      const double share = std::min(1.0, (double(used - limit) / double(used)) + 0.02);
      Statement oldest(db, "SELECT observed FROM metar ORDER BY observed LIMIT 1 OFFSET ?1");
      if (oldest.ok()) {
        oldest.bind(1, static_cast<std::int64_t>(double(count.integer(0)) * share));
        const int code = oldest.step();
        if (code == SQLITE_ROW) cutoff = oldest.integer(0) + 1;
        else if (code == SQLITE_DONE) cutoff = now() + 1;
      }
    }
  }
  sqlite3_close_v2(db);
  return cutoff;
}

std::int64_t ReportStore::prune() {
  open();
  recoverIfDamaged();
  if (!usable) return 0;
  const std::int64_t at = now();
  int days;
  {
    std::lock_guard lock(writeLock);
    days = opts.retentionDays;
  }
  std::int64_t removed = 0;
  bool ok = removeOlder(at - std::int64_t{days} * 24 * 3600, removed);
  // Over the size limit: the oldest reports go, a few rounds at most.
  for (int round = 0; ok && round < 8; ++round) {
    const std::optional<std::int64_t> cutoff = sizeCutoff();
    if (!cutoff) break;
    ok = removeOlder(*cutoff, removed);
  }
  if (!ok || stopping) return removed;
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return removed;
  watch(writer, writerWatch, kStatementBudget);
  Statement stamp(writer, "INSERT INTO meta(key, value) VALUES('pruned', ?1) "
                          "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
  if (stamp.ok()) {
    stamp.bind(1, at);
    stamp.step();
  }
  // Gives the freed pages back to the file system, and the log's pages too.
  exec(writer, "PRAGMA incremental_vacuum");
  exec(writer, "PRAGMA wal_checkpoint(TRUNCATE)");
  return removed;
}

void ReportStore::maintainIfDue() {
  open();
  const std::int64_t at = now();
  // Asked after every download: the file is read at most once an hour.
  if (at - checkedMaintenance.load() < 3600 || !usable || stopping) return;
  checkedMaintenance = at;
  std::int64_t last = 0;
  {
    std::lock_guard lock(readLock);
    if (!usable) return;
    watch(reader, readerWatch, kStatementBudget);
    Statement query(reader, "SELECT value FROM meta WHERE key = 'pruned'");
    if (query.ok() && query.step() == SQLITE_ROW) last = query.integer(0);
  }
  if (at - last < kMaintenanceSeconds) return;
  // On a worker of its own: the download that asked is not held up.
  std::lock_guard lock(maintenanceLock);
  if (maintaining || stopping) return;
  if (maintenance.joinable()) maintenance.join();
  maintaining = true;
  maintenance = std::thread([this] {
    prune();
    maintaining = false;
  });
}

void ReportStore::finishMaintenance() {
  std::lock_guard lock(maintenanceLock);
  if (maintenance.joinable()) maintenance.join();
}

}  // namespace nimbrel
