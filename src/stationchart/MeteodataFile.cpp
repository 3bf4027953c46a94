#include "stationchart/MeteodataFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <system_error>
#include <tuple>
#include <vector>

#include "base/ClockText.h"
#include "base/Text.h"
#include "base/UserPort.h"

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRuleLine = "---------------------------------------------------------------------------";
constexpr std::string_view kTitleLine = "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed";

// Physical limits of what a surface station can report; a value outside
// them is a misread page, written as missing rather than as a number:
// temperature -100..+70 degrees C, pressure 800..1100 millibars, wind
// direction 0..360 degrees, wind speed 0..150 m/s.
constexpr double kLowestTemperature = -100.0, kHighestTemperature = 70.0;
constexpr double kLowestPressure = 800.0, kHighestPressure = 1100.0;
constexpr double kHighestWindDirection = 360.0;
constexpr double kHighestWindSpeed = 150.0;

// "%0<width>d": the sign counts in the width, as printf counts it.
void appendPadded(std::string& out, long long value, int width) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value < 0 ? -value : value);
  const int length = static_cast<int>(end - digits);
  if (value < 0) {
    out += '-';
    --width;
  }
  if (length < width) out.append(static_cast<std::size_t>(width - length), '0');
  out.append(digits, end);
}

// "%.2f" in the C locale, nothing written when the value is out of
// [low, high] or not a number at all.
void appendValue(std::string& out, double value, double low, double high) {
  if (!std::isfinite(value) || value < low || value > high) return;
  std::string number(32, '\0');
  while (true) {
    const auto [end, error] =
        std::to_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed, 2);
    if (error == std::errc()) {
      out.append(number.data(), end);
      return;
    }
    number.resize(number.size() * 2);
  }
}

// A row's observation date and time, (year, month, day, hour, minute).
using RowTime = std::tuple<long long, long long, long long, long long, long long>;

// Reads digits (and a leading "-" where allowed) up to `stop`.
bool readField(std::string_view line, std::size_t& at, char stop, bool signedField, long long& value) {
  const char* first = line.data() + at;
  const char* last = line.data() + line.size();
  if (!signedField && first < last && *first == '-') return false;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end == first) return false;
  at = static_cast<std::size_t>(end - line.data());
  if (stop == '\0') return at == line.size() || line[at] == '\t';
  if (at >= line.size() || line[at] != stop) return false;
  ++at;
  return true;
}

// "MM/DD/YYYY\tHH:MM" at the start of a row.
std::optional<RowTime> readRowTime(std::string_view line) {
  long long month = 0, day = 0, year = 0, hour = 0, minute = 0;
  std::size_t at = 0;
  if (!readField(line, at, '/', false, month) || !readField(line, at, '/', false, day) ||
      !readField(line, at, '\t', true, year) || !readField(line, at, ':', false, hour) ||
      !readField(line, at, '\0', false, minute))
    return std::nullopt;
  return RowTime{year, month, day, hour, minute};
}

void appendHeader(std::string& text) {
  for (const std::string_view line : {kRuleLine, kTitleLine, kRuleLine}) {
    text += line;
    text += "\r\n";
  }
}

enum class ExistingFile { kNone, kRead, kUnreadable, kTooLarge };

// The whole of the file at `path` when it is a regular file. A symbolic
// link there counts as no file: it is replaced, and its target, someone
// else's file, is never read into ours.
ExistingFile readExistingFile(const fs::path& path, std::string& text) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ELOOP ? ExistingFile::kNone : ExistingFile::kUnreadable;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return ExistingFile::kUnreadable;
  }
  // Merged in memory while the window closes: a file far beyond a day of
  // one station's rows is left alone rather than freezing the program.
  if (static_cast<std::uint64_t>(info.st_size) > kLargestMergedFile) {
    ::close(fd);
    return ExistingFile::kTooLarge;
  }
  std::size_t size = 0;
  while (true) {
    text.resize(size + 64 * 1024);
    const ssize_t got = ::read(fd, text.data() + size, text.size() - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return ExistingFile::kUnreadable;
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  text.resize(size);
  ::close(fd);
  return ExistingFile::kRead;
}

// An exclusive lock on a file beside the export, held while it is read,
// merged and replaced, so two running copies never lose each other's rows.
// Waits a few seconds at most: a copy that holds it longer is stuck.
class ExportLock {
 public:
  explicit ExportLock(const fs::path& lockPath) {
    fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return;
    for (int waited = 0; waited < kLockWaitMs; waited += 10) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        held = true;
        return;
      }
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      ::usleep(10000);
    }
  }
  ~ExportLock() {
    if (fd >= 0) ::close(fd);  // closing lets go of the lock
  }
  ExportLock(const ExportLock&) = delete;
  ExportLock& operator=(const ExportLock&) = delete;
  bool isHeld() const { return held; }

 private:
  static constexpr int kLockWaitMs = 5000;
  int fd = -1;
  bool held = false;
};

}  // namespace

std::string meteodataFileName(const std::string& stationName, std::time_t now) {
  std::string station = stationName;
  for (char& c : station) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '/' || c == '(' || c == ')' || c == '-') c = '_';
  }
  const ShownTime date = shownTime(now, false);
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "%02d_%02d_%04d_", date.month, date.day, date.year);
  return prefix + station + ".txt";
}

std::string formatMeteodataRow(const Observation& o) {
  // The file has always kept the reports' UTC day and time.
  const ShownTime t = shownTime(o.observedAt, true);
  std::string row;
  row.reserve(64);
  appendPadded(row, t.month, 2);
  row += '/';
  appendPadded(row, t.day, 2);
  row += '/';
  appendPadded(row, static_cast<long long>(t.year), 4);
  row += '\t';
  appendPadded(row, t.hour, 2);
  row += ':';
  appendPadded(row, t.minute, 2);
  row += '\t';
  appendValue(row, o.temperature, kLowestTemperature, kHighestTemperature);
  row += '\t';
  appendValue(row, o.pressure, kLowestPressure, kHighestPressure);
  row += "\t\t";
  appendValue(row, o.windDirection, 0.0, kHighestWindDirection);
  row += "\t\t";
  appendValue(row, o.windSpeed, 0.0, kHighestWindSpeed);
  row += "\r\n";
  return row;
}

std::string formatMeteodata(const ObservationList& observations) {
  std::string text;
  text.reserve(observations.size() * 64 + 256);
  appendHeader(text);
  for (auto it = observations.rbegin(); it != observations.rend(); ++it) text += formatMeteodataRow(*it);
  return text;
}

std::string mergeMeteodata(std::string_view existing, const ObservationList& observations) {
  // A later row of the same time replaces an earlier one: the file's rows
  // go in first, then the new observations oldest first, so the newest
  // report of a minute is the one kept.
  std::map<RowTime, std::string> rows;
  std::vector<std::string_view> unreadable;
  std::size_t start = 0;
  while (start < existing.size()) {
    std::size_t end = existing.find('\n', start);
    if (end == std::string_view::npos) end = existing.size();
    std::string_view line = existing.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line == kRuleLine || line == kTitleLine) continue;
    if (const auto time = readRowTime(line)) {
      rows[*time] = std::string(line) + "\r\n";
    } else {
      unreadable.push_back(line);
    }
  }
  for (auto it = observations.rbegin(); it != observations.rend(); ++it) {
    std::string row = formatMeteodataRow(*it);
    if (const auto time = readRowTime(std::string_view(row).substr(0, row.size() - 2))) rows[*time] = std::move(row);
  }

  std::string text;
  text.reserve(existing.size() + observations.size() * 64 + 256);
  appendHeader(text);
  for (const auto& [time, row] : rows) text += row;
  for (const std::string_view line : unreadable) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

FileReplacement replaceFile(const fs::path& path, std::string_view bytes, const std::function<bool()>& beforeRename) {
  // A hidden name of its own for every attempt, made with O_EXCL: a
  // temporary left by a crash, or a link planted under a guessed name, is
  // never opened.
  static std::atomic<unsigned> serial{0};
  const fs::path folder = path.parent_path();
  const std::string base = "." + path.filename().string() + "." + std::to_string(::getpid()) + "-";
  fs::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder / (base + std::to_string(serial++) + ".tmp");
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return FileReplacement::kCannotOpen;

  // The new file keeps the old one's permissions; when that fails it keeps
  // the default ones, which loses no data.
  struct stat old {};
  if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd, old.st_mode & 07777);

  bool done = writeAll(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) done = false;
  if (done && beforeRename) done = beforeRename();
  if (!done || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return FileReplacement::kCannotWrite;
  }
  // The folder is synced so the rename outlives a power cut; the new file
  // is in place already, so a failure here is nothing to report.
  const int directory = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    (void)::fsync(directory);
    ::close(directory);
  }
  return FileReplacement::kReplaced;
}

std::filesystem::path writeMeteodataFile(UserPort& frame, const std::filesystem::path& folder,
                                         const std::string& stationName, const ObservationList& observations,
                                         std::time_t now) {
  // A folder that can be neither found nor made: the file goes beside it.
  std::filesystem::path target = folder / "Meteodata";
  std::error_code error;
  if (!std::filesystem::is_directory(target, error)) {
    std::filesystem::create_directory(target, error);
    if (!std::filesystem::is_directory(target, error)) target = folder;
  }
  const std::string name = meteodataFileName(stationName, now);
  const std::filesystem::path path = target / name;

  FileReplacement result = FileReplacement::kCannotOpen;
  ExistingFile existingFile = ExistingFile::kNone;
  {
    BusyScope wait(frame);
    // A file that cannot be read is left alone: writing over it would lose
    // the rows it holds.
    const ExportLock lock(target / ("." + name + ".lock"));
    std::string existing;
    if (lock.isHeld()) existingFile = readExistingFile(path, existing);
    if (lock.isHeld() && (existingFile == ExistingFile::kNone || existingFile == ExistingFile::kRead))
      result = replaceFile(path, mergeMeteodata(existing, observations));
  }
  if (existingFile == ExistingFile::kTooLarge) {
    frame.showMessage("The output file \"" + name + "\" is larger than " + std::to_string(kLargestMergedFile >> 20) +
                      " MB: it is left as it is and this chart's rows are not added to it.");
    return {};
  }
  switch (result) {
    case FileReplacement::kReplaced: return path;
    case FileReplacement::kCannotOpen: frame.showMessage("Can not open an output file \"" + name + "\"."); break;
    case FileReplacement::kCannotWrite: frame.showMessage("Can not write the output file \"" + name + "\"."); break;
  }
  return {};
}

}  // namespace nimbrel
