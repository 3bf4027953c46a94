#include "catalog/StationListReader.h"
#include "base/Text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace nimbrel {
namespace {

struct Column {
  std::size_t position;
  std::size_t width;
  std::string Station::*field;
};

// The fixed columns of a station line.
constexpr Column kColumns[] = {
    {0, 2, &Station::cd},       {3, 17, &Station::name},    {20, 4, &Station::icao},    {26, 3, &Station::iata},
    {32, 5, &Station::synop},   {39, 6, &Station::latText}, {47, 7, &Station::lonText}, {55, 4, &Station::elevText},
    {81, 2, &Station::country},
};

struct FlagColumn {
  std::size_t position;
  char Station::*flag;
};

constexpr FlagColumn kFlagColumns[] = {
    {62, &Station::metarFlag}, {65, &Station::nexradFlag}, {68, &Station::aviationFlag},
    {71, &Station::upperAirFlag}, {74, &Station::autoFlag}, {77, &Station::officeFlag},
    {79, &Station::plotPriority},
};

constexpr double kMinute = 1.0 / 60.0;



// readNumber's value, without its strtod for the plain digits nearly every
// position and elevation field holds.
double readField(std::string_view text) {
  if (text.empty() || text.size() > 9) return readNumber(text);
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return readNumber(text);
    value = value * 10 + (c - '0');
  }
  return value;
}

bool isStationLine(std::string_view line) { return line.size() == 83 || line.size() == 84; }

// The piece at position and width; one that runs past the end is shortened.
std::string_view mid(std::string_view text, std::size_t position, std::size_t width) {
  if (position >= text.size()) return {};
  return text.substr(position, width);
}


// Calls visit for every line of text; a last line without a line feed is a line too.
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const void* found = std::memchr(text.data() + pos, '\n', text.size() - pos);
    if (found == nullptr) {
      visit(text.substr(pos));
      return;
    }
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
    visit(text.substr(pos, end - pos));
    pos = end + 1;
  }
}


// The field of a column without its blanks; trim's loops, here where the
// compiler can fit them to each short field.
std::string_view field(std::string_view line, const Column& column) {
  std::string_view piece = mid(line, column.position, column.width);
  while (!piece.empty() && isSpace(piece.back())) piece.remove_suffix(1);
  while (!piece.empty() && isSpace(piece.front())) piece.remove_prefix(1);
  return piece;
}

}  // namespace

void parseStationLine(std::string_view line, Station& station) {
  for (const Column& column : kColumns) {
    const std::string_view piece = field(line, column);
    (station.*column.field).assign(piece.data(), piece.size());
  }
  for (const FlagColumn& column : kFlagColumns) {
    const char c = column.position < line.size() ? line[column.position] : ' ';
    station.*column.flag = isSpace(c) ? ' ' : c;
  }
  // A station without a name goes by its code: never a blank row or file name.
  if (station.name.empty()) station.name = station.icao;
  // Written without a branch, so the compiler can do whole names at once.
  // Slashes and control characters would reach the export's file name (a
  // code standing in for the name included).
  for (char& c : station.name) {
    const auto u = static_cast<unsigned char>(c);
    c = c == '/' || c == '\\' || u < 0x20 || u == 0x7F ? '_' : c;
  }

  const std::string_view lat = station.latText;
  const double latitude = readField(mid(lat, 0, 2)) + readField(mid(lat, 3, 2)) * kMinute;
  const std::string_view lon = station.lonText;
  const double longitude = readField(mid(lon, 0, 3)) + readField(mid(lon, 4, 2)) * kMinute;
  // A position off the globe is no position: such a station stays in the
  // tables but is never drawn or found around a map point.
  station.hasPosition = !lat.empty() && !lon.empty() && std::isfinite(latitude) && std::isfinite(longitude) &&
                        latitude >= 0.0 && latitude <= 90.0 && longitude >= 0.0 && longitude <= 180.0;
  if (station.hasPosition) {
    station.mapColatitude = lat.back() == 'N' ? 90.0 - latitude : 90.0 + latitude;
    station.mapLongitude = lon.back() == 'W' ? 180.0 - longitude : 180.0 + longitude;
  } else {
    station.mapColatitude = 0.0;
    station.mapLongitude = 0.0;
  }
  station.elevation = readField(station.elevText);
}

int parseStationList(std::string_view text, StationList& stations) {
  // Count first so the array is allocated once, at its final size.
  int count = 0;
  forEachLine(text, [&](std::string_view line) { count += isStationLine(line) ? 1 : 0; });
  stations.reserve(stations.size() + static_cast<std::size_t>(count));
  forEachLine(text, [&](std::string_view line) {
    if (isStationLine(line)) parseStationLine(line, stations.emplace_back());
  });
  return count;
}

bool readStationListFile(const std::string& path, std::string& text, bool* cut) {
  // Opened without blocking and read only when it is a regular file: a FIFO
  // or a device under the list's name must not hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    ::close(fd);
    return false;
  }
  const bool read = readStationList(file, text, cut);
  std::fclose(file);
  return read;
}

bool readStationList(std::FILE* file, std::string& text, bool* cut) {
  // Read straight into the text, sized by the file where it has a size: at
  // start-up every fresh page of memory costs more than the parsing of it.
  struct stat info {};
  std::size_t expected = 64 * 1024;
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0)
    expected = static_cast<std::size_t>(info.st_size) + 1;  // one more byte sees the end
  std::string bytes(std::min(expected, kStationListReadLimit), '\0');
  std::size_t total = 0;
  // fread may stop short (pipes, signals, a growing file); read on until the
  // limit or the end.
  while (total < kStationListReadLimit) {
    if (total == bytes.size()) bytes.resize(std::min(kStationListReadLimit, bytes.size() * 2));
    const std::size_t got = std::fread(bytes.data() + total, 1, bytes.size() - total, file);
    total += got;
    if (got == 0) break;
  }
  if (std::ferror(file) != 0) return false;
  // Full at the limit: one more byte says whether anything was left.
  if (cut != nullptr) *cut = total == kStationListReadLimit && std::fgetc(file) != EOF;
  const void* zero = std::memchr(bytes.data(), '\0', total);
  if (zero != nullptr) total = static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data());
  bytes.resize(total);
  text = std::move(bytes);
  return true;
}

std::string stationListCutMessage(const std::string& path, std::size_t stations) {
  return "The station list \"" + path + "\" is larger than " + std::to_string(kStationListReadLimit >> 20) +
         " MB: only its first " + std::to_string(stations) + " stations were read.";
}

}  // namespace nimbrel
