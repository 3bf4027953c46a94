#include "reportstore/ReportStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <utility>

#include "base/ClockText.h"
#include "metar/MetarDecoder.h"
#include "metar/UtcDateTime.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

// Another running copy may hold the write lock for one download's
// transaction (tens of milliseconds) or a day's pruning (a second or two).
constexpr int kWriterBusyMs = 5000;
// In write-ahead mode a read waits only while the log is recovered.
constexpr int kReaderBusyMs = 1000;

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

ReportStore::ReportStore(fs::path file, Options options, Clock clock)
    : file(std::move(file)), opts(options), clock(std::move(clock)) {
  opts.retentionDays = std::clamp(opts.retentionDays, 1, 365);
  if (!opts.openOnFirstUse) open();
}

void ReportStore::open() const {
  std::call_once(opened, [this] {
    auto* self = const_cast<ReportStore*>(this);
    std::scoped_lock both(writeLock, readLock);
    self->usable = self->openFile();
  });
}

ReportStore::~ReportStore() {
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
  sqlite3_close_v2(writer);
  sqlite3_close_v2(reader);
  writer = reader = nullptr;
}

bool ReportStore::setUp(sqlite3* db, bool isWriter, int& failure) {
  sqlite3_busy_timeout(db, isWriter ? kWriterBusyMs : kReaderBusyMs);
  sqlite3_extended_result_codes(db, 1);
  const std::string ceiling =
      opts.hardCeilingBytes == 0 ? std::string()
                                 : "PRAGMA max_page_count=" + std::to_string(std::max<std::uint64_t>(opts.hardCeilingBytes / 4096, 8)) + ";";
  // Incremental vacuum lets pruning give space back; it takes effect only
  // on a new file. NORMAL sync in write-ahead mode loses at most the last
  // download on a power cut, never the file.
  const std::string setup = "PRAGMA page_size=4096; PRAGMA auto_vacuum=INCREMENTAL; PRAGMA journal_mode=WAL; "
                            "PRAGMA synchronous=NORMAL; " + ceiling;
  failure = SQLITE_OK;
  if (isWriter) failure = exec(db, setup.c_str());
  if (failure == SQLITE_OK && isWriter) failure = exec(db, kSchema);
  // Reading the schema finds a file that is no database.
  if (failure == SQLITE_OK) failure = exec(db, "SELECT count(*) FROM sqlite_master");
  return failure == SQLITE_OK;
}

bool ReportStore::openFile() {
  std::error_code error;
  if (opts.readOnly) {
    int failure = sqlite3_open_v2(file.c_str(), &reader, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (failure == SQLITE_OK && setUp(reader, false, failure)) return true;
    addNote("The report store " + file.string() + " could not be read (" +
            (reader != nullptr ? std::string(sqlite3_errmsg(reader)) : std::string(sqlite3_errstr(failure))) + ").");
    closeAll();
    return false;
  }
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  for (int attempt = 0; attempt < 2; ++attempt) {
    int failure = SQLITE_OK;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    failure = sqlite3_open_v2(file.c_str(), &writer, flags, nullptr);
    if (failure == SQLITE_OK && setUp(writer, true, failure)) {
      failure = sqlite3_open_v2(file.c_str(), &reader, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
      if (failure == SQLITE_OK && setUp(reader, false, failure)) return true;
    }
    const std::string why = writer != nullptr ? sqlite3_errmsg(writer) : sqlite3_errstr(failure);
    closeAll();
    if (!isDamage(failure) || attempt > 0) {
      addNote("The report store " + file.string() + " could not be opened (" + why +
              "): reports are not kept this run.");
      return false;
    }
    // Keep the damaged file for whoever wants to look at it.
    const fs::path aside = file.string() + ".damaged-" + utcText(now(), "%Y%m%dT%H%M%SZ");
    fs::rename(file, aside, error);
    for (const char* extra : {"-wal", "-shm"}) fs::remove(file.string() + extra, error);
    addNote("The report store was damaged: it was moved aside as " + aside.filename().string() +
            " and a new one started.");
  }
  return false;
}

bool ReportStore::failed(int code, const char* what) {
  // Another copy holding the file past the time-out costs this call only.
  if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED) return false;
  if (isDamage(code)) {
    damaged = true;
  } else {
    addNote(std::string("The report store could not ") + what + " (" + sqlite3_errstr(code) +
            "): going on without it.");
  }
  usable = false;
  return false;
}

void ReportStore::recoverIfDamaged() {
  if (!damaged.exchange(false)) return;
  std::scoped_lock both(writeLock, readLock);
  closeAll();
  const fs::path aside = file.string() + ".damaged-" + utcText(now(), "%Y%m%dT%H%M%SZ");
  std::error_code error;
  fs::rename(file, aside, error);
  for (const char* extra : {"-wal", "-shm"}) fs::remove(file.string() + extra, error);
  addNote("The report store was damaged: it was moved aside as " + aside.filename().string() +
          " and a new one started.");
  usable = openFile();
}

std::optional<int> ReportStore::putMetars(std::span<const StoredMetar> reports) {
  open();
  recoverIfDamaged();
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return std::nullopt;
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
  Statement query(reader, "SELECT station, issued, raw FROM taf WHERE station = ?1 ORDER BY issued DESC LIMIT 1");
  if (!query.ok()) return std::nullopt;
  query.bind(1, station);
  if (query.step() != SQLITE_ROW) return std::nullopt;
  return StoredForecast{query.text(0), query.integer(1), query.text(2)};
}

std::optional<std::int64_t> ReportStore::askedSince(std::string_view station) const {
  open();
  std::lock_guard lock(readLock);
  if (!usable) return std::nullopt;
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
  std::error_code error;
  for (const char* extra : {"", "-wal"}) {
    const auto size = fs::file_size(file.string() + extra, error);
    if (!error) info.fileBytes += size;
  }
  std::lock_guard lock(readLock);
  if (!usable) return info;
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

StoreCounts ReportStore::counts() const {
  open();
  StoreCounts counts;
  std::lock_guard lock(readLock);
  if (!usable) return counts;
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
  opts.retentionDays = std::clamp(days, 1, 365);
}

void ReportStore::setSizeLimitBytes(std::uint64_t bytes) {
  std::lock_guard lock(writeLock);
  opts.sizeLimitBytes = bytes;
}

std::int64_t ReportStore::prune() {
  open();
  recoverIfDamaged();
  std::lock_guard lock(writeLock);
  if (!usable || writer == nullptr) return 0;
  const std::int64_t at = now();
  std::int64_t removed = 0;
  auto removeBefore = [&](std::int64_t cutoff) {
    Statement metars(writer, "DELETE FROM metar WHERE observed < ?1");
    Statement tafs(writer, "DELETE FROM taf WHERE issued < ?1");
    if (!metars.ok() || !tafs.ok()) return failed(metars.ok() ? tafs.error() : metars.error(), "be pruned");
    metars.bind(1, cutoff);
    tafs.bind(1, cutoff);
    int code = metars.step();
    if (code == SQLITE_DONE) removed += sqlite3_changes(writer);
    if (code == SQLITE_DONE) code = tafs.step();
    if (code != SQLITE_DONE) return failed(code, "be pruned");
    return true;
  };
  if (exec(writer, "BEGIN IMMEDIATE") != SQLITE_OK) return 0;
  bool ok = removeBefore(at - std::int64_t{opts.retentionDays} * 24 * 3600);
  // Over the size limit: remove the oldest reports, a share large enough
  // to come back under it with a little room, a few times at most.
  for (int round = 0; ok && round < 8; ++round) {
    const std::uint64_t used = usedBytes(writer);
    if (used <= opts.sizeLimitBytes) break;
    Statement count(writer, "SELECT count(*) FROM metar");
    if (!count.ok() || count.step() != SQLITE_ROW || count.integer(0) == 0) break;
    const double share = std::min(1.0, (double(used - opts.sizeLimitBytes) / double(used)) + 0.02);
    const auto skip = static_cast<std::int64_t>(double(count.integer(0)) * share);
    Statement cutoff(writer, "SELECT observed FROM metar ORDER BY observed LIMIT 1 OFFSET ?1");
    if (!cutoff.ok()) break;
    cutoff.bind(1, skip);
    const std::int64_t before = cutoff.step() == SQLITE_ROW ? cutoff.integer(0) + 1 : at + 1;
    ok = removeBefore(before);
  }
  if (ok) {
    Statement stamp(writer, "INSERT INTO meta(key, value) VALUES('pruned', ?1) "
                            "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    if (stamp.ok()) {
      stamp.bind(1, at);
      stamp.step();
    }
  }
  if (!ok || exec(writer, "COMMIT") != SQLITE_OK) {
    exec(writer, "ROLLBACK");
    return 0;
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
  if (at - checkedMaintenance.load() < 3600 || !usable) return;
  checkedMaintenance = at;
  std::int64_t last = 0;
  {
    std::lock_guard lock(readLock);
    Statement query(reader, "SELECT value FROM meta WHERE key = 'pruned'");
    if (query.ok() && query.step() == SQLITE_ROW) last = query.integer(0);
  }
  if (at - last >= kMaintenanceSeconds) prune();
}

}  // namespace nimbrel
