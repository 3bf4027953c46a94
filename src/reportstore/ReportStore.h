#pragma once
// The reports kept between runs: every METAR a chart or the world download
// brought and the stations' forecasts, as sent, in one SQLite file. Decoded
// values are not kept; a reader decodes the raw text again, so a better
// decoder improves old reports too. Safe from any thread (two connections,
// each behind a lock: one writes, one reads, so a chart's read never waits
// for a download being written) and shared with another running copy
// through SQLite's write-ahead log. A store that fails never stops the
// program: it goes on without it and says so once.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct sqlite3;

namespace nimbrel {

struct UtcDateTime;

// Where a report came from.
enum class ReportOrigin : std::uint8_t { kChart = 1, kWorldFile = 2 };

struct StoredMetar {
  std::string station;
  std::int64_t observedAt = 0;  // seconds since 1970, UTC
  std::string raw;              // as sent
  ReportOrigin origin = ReportOrigin::kChart;
  bool corrected = false;       // COR: replaces a report of the same time

  bool operator==(const StoredMetar&) const = default;
};

struct StoredForecast {
  std::string station;
  std::int64_t issuedAt = 0;  // seconds since 1970, UTC
  std::string raw;

  bool operator==(const StoredForecast&) const = default;
};

struct StoreInfo {
  std::int64_t reports = 0;
  std::int64_t forecasts = 0;
  std::int64_t stations = 0;
  std::int64_t oldest = 0;  // observation times, seconds since 1970; 0 when empty
  std::int64_t newest = 0;
  std::uint64_t fileBytes = 0;  // the file with its write-ahead log
};

// The counts the store keeps as it goes: read at once at any size.
struct StoreCounts {
  std::int64_t reports = 0;
  std::int64_t stations = 0;
};

// Station, time and COR of a raw METAR, anchored on the time it was
// received or observed; none for text that is no report.
std::optional<StoredMetar> storedMetar(std::string_view raw, const UtcDateTime& anchor,
                                       ReportOrigin origin = ReportOrigin::kChart);

// $XDG_DATA_HOME/nimbrel/reports.sqlite, else ~/.local/share/nimbrel/...;
// empty without either variable.
std::filesystem::path defaultStorePath(const char* xdgDataHome, const char* home);

inline constexpr int kDefaultRetentionDays = 30;
inline constexpr std::uint64_t kDefaultSizeLimitMegabytes = 500;

// The settings as the user wrote them, read as numbers in range or the
// default: a day count out of 1..365 is a mistake, not a wish to keep one day.
int retentionDaysOrDefault(long long days);
// Megabytes to bytes, saturating: a huge limit means no limit, never a wrap
// to nothing. Zero or less gives the default.
std::uint64_t sizeLimitBytesOrDefault(long long megabytes);

struct ReportStoreOptions {
  int retentionDays = kDefaultRetentionDays;  // 1..365, else the default
  std::uint64_t sizeLimitBytes = kDefaultSizeLimitMegabytes << 20;
  // The file never grows past this (0: no ceiling); a full disk behaves so.
  std::uint64_t hardCeilingBytes = 0;
  // Only reads: nothing is created, changed or moved aside.
  bool readOnly = false;
  // Opened by the first call of any kind (open() from a worker, say), not
  // in the constructor: the program starts without waiting for the file.
  bool openOnFirstUse = false;
  // Rows removed per transaction while pruning, so chart and weather writes
  // wait for one batch at most.
  int pruneBatchRows = 4000;
  // Called between pruning's transactions, with no lock held (tests).
  std::function<void()> betweenPruneBatches;
};

// A connection's running statement is interrupted past its deadline or
// when the store stops.
struct StoreStatementWatch {
  const std::atomic<bool>* stopping = nullptr;
  std::chrono::steady_clock::time_point deadline{};
};

class ReportStore {
 public:
  static constexpr std::int64_t kMaintenanceSeconds = 24 * 3600;

  using Options = ReportStoreOptions;
  // Seconds since 1970; a test gives its own.
  using Clock = std::function<std::int64_t()>;

  // Opens the file, or creates it and its folder. A file that is no
  // database, is damaged or holds tables or triggers the store did not make
  // is moved aside as "<name>.damaged-<time>-<process>" and a new one
  // started; one that cannot be opened at all leaves the store off, and one
  // another copy holds is tried again a little later. Either way note() says so.
  explicit ReportStore(std::filesystem::path file, Options options = {}, Clock clock = {});
  ~ReportStore();
  ReportStore(const ReportStore&) = delete;
  ReportStore& operator=(const ReportStore&) = delete;

  // Opens the file now if no call has yet (see openOnFirstUse), or again
  // when the last try found it busy and a while has passed.
  void open() const;
  // Never waits for an opening under way on another thread: false until it ends.
  bool isOpen() const;
  // An opening is under way on another thread.
  bool isOpening() const { return opening.load(); }
  // Why the store is off, for as long as it is; empty while it works or
  // before it was first opened.
  std::string offReason() const;
  // At quit: running statements are interrupted and maintenance ends.
  void stop();
  const std::filesystem::path& path() const { return file; }
  // What the user should hear of the store (moved aside, a failed write),
  // once: empty when there is nothing new.
  std::string takeNote();

  // One transaction. A report seen again is kept once; a corrected one
  // replaces the report of its station and time. Returns the rows added or
  // replaced, or none when the write failed (the store is then off).
  std::optional<int> putMetars(std::span<const StoredMetar> reports);
  std::optional<int> putForecasts(std::span<const StoredForecast> forecasts);

  // A station's reports observed in [from, to], oldest first.
  std::vector<StoredMetar> metars(std::string_view station, std::int64_t from, std::int64_t to) const;
  // Each station's newest report observed at or after `since`, by station.
  std::vector<StoredMetar> newestMetars(std::int64_t since) const;
  std::optional<std::int64_t> newestTime(std::string_view station) const;
  std::optional<StoredForecast> newestForecast(std::string_view station) const;
  // A station's forecasts issued from `from` to `to`, oldest first.
  std::vector<StoredForecast> forecasts(std::string_view station, std::int64_t from, std::int64_t to) const;

  // From when the service was asked for every report of a station, so the
  // hours it still had are filled in once.
  std::optional<std::int64_t> askedSince(std::string_view station) const;
  // Records it in the same way as a download: call after the answer was stored.
  void setAskedSince(std::string_view station, std::int64_t since);

  // Counts and times by a full scan (a second on millions of reports).
  StoreInfo info() const;
  StoreCounts counts() const;
  // The file with its write-ahead log, in bytes.
  std::uint64_t fileBytes() const;

  // Removes reports older than the retention and, while the data pass the
  // size limit, the oldest ones; returns the reports removed.
  std::int64_t prune();
  // prune() on a worker of its own when the last one (of any running copy)
  // is a day old; it ends with stop() or the store.
  void maintainIfDue();
  // Waits for a prune started by maintainIfDue() (tests, tools).
  void finishMaintenance();

  Options options() const;
  void setRetentionDays(int days);
  void setSizeLimitBytes(std::uint64_t bytes);

 private:
  bool openFile();
  bool openConnections(int& failure, bool& foreign);
  // Sets the damaged file aside unless another copy already has; the
  // store's lock file keeps two copies from doing it at once.
  void setAside(const std::string& why);
  // Moves a file found damaged while running aside and starts a new one.
  void recoverIfDamaged();
  // Removes metar and taf rows older than cutoff, a batch a transaction.
  bool removeOlder(std::int64_t cutoff, std::int64_t& removed);
  // A time before which removing every report brings the data under the
  // size limit; none while under it.
  std::optional<std::int64_t> sizeCutoff();
  void closeAll();
  bool setUp(sqlite3* db, bool writer, int& failure);
  // A failed statement: a damaged file is moved aside and started again,
  // anything else turns the store off. Returns false.
  bool failed(int code, const char* what);
  std::int64_t now() const;
  std::uint64_t usedBytes(sqlite3* db) const;
  void addNote(std::string text);

  std::filesystem::path file;
  Options opts;
  Clock clock;
  using Watch = StoreStatementWatch;
  void watch(sqlite3* db, Watch& on, std::chrono::seconds budget) const;

  mutable std::mutex openLock;  // taken before writeLock and readLock
  mutable bool attempted = false;
  mutable std::int64_t retryAt = -1;  // another copy held the file: try again then
  mutable std::atomic<bool> opening{false};
  std::atomic<bool> maintaining{false};
  std::atomic<bool> stopping{false};
  std::atomic<bool> usable{false};
  std::string offWhy;  // under noteLock
  std::uint64_t openedDevice = 0, openedInode = 0;  // the file the connections are on
  mutable Watch writerWatch, readerWatch;
  std::mutex maintenanceLock;
  std::thread maintenance;
  std::atomic<bool> damaged{false};
  std::atomic<std::int64_t> checkedMaintenance{0};
  mutable std::mutex writeLock;  // the writer connection
  mutable std::mutex readLock;   // the reader connection
  mutable std::mutex noteLock;
  std::string pendingNote;
  sqlite3* writer = nullptr;
  sqlite3* reader = nullptr;
};

}  // namespace nimbrel
