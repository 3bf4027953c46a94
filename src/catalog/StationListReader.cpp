#include "catalog/StationListReader.h"

#include <locale.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace nimbrel {
namespace {

struct Column {
  std::size_t position;
  std::size_t width;
};

// Position and width of each text of a station line, in record order.
constexpr Column kColumns[16] = {
    {0, 2},  {3, 17}, {20, 4}, {26, 3}, {32, 5}, {39, 6}, {47, 7}, {55, 4},
    {62, 1}, {65, 1}, {68, 1}, {71, 1}, {74, 1}, {77, 1}, {79, 1}, {81, 2},
};

constexpr double kMinute = 1.0 / 60.0;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }


bool IsStationLine(std::string_view line) { return line.size() == 83 || line.size() == 84; }

// The piece at position and width; one that runs past the end is shortened.
std::string_view Mid(std::string_view text, std::size_t position, std::size_t width) {
  if (position >= text.size()) return {};
  return text.substr(position, width);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  return text;
}

// Calls visit for every line of text; a last line without a line feed is a line too.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
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


}  // namespace


void ParseStationLine(std::string_view line, CStation& record) {
  for (std::size_t i = 0; i < 16; ++i) {
    const std::string_view piece = Trim(Mid(line, kColumns[i].position, kColumns[i].width));
    record.texts[i].assign(piece.data(), piece.size());
  }
  for (char& c : record.name())
    if (c == '/' || c == '\\') c = '_';

  const std::string_view lat = record.latText();
  const double latitude = ReadNumber(Mid(lat, 0, 2)) + ReadNumber(Mid(lat, 3, 2)) * kMinute;
  record.mapColatitude() = !lat.empty() && lat.back() == 'N' ? 90.0 - latitude : 90.0 + latitude;

  const std::string_view lon = record.lonText();
  const double longitude = ReadNumber(Mid(lon, 0, 3)) + ReadNumber(Mid(lon, 4, 2)) * kMinute;
  record.mapLongitude() = !lon.empty() && lon.back() == 'W' ? 180.0 - longitude : 180.0 + longitude;

  record.elevation() = ReadNumber(record.elevText());
}

int ParseStationList(std::string_view text, CStationArray& stations) {
  // Count first so the array is allocated once, at its final size.
  int count = 0;
  ForEachLine(text, [&](std::string_view line) { count += IsStationLine(line) ? 1 : 0; });
  stations.Reserve(stations.GetSize() + count);
  ForEachLine(text, [&](std::string_view line) {
    if (IsStationLine(line)) ParseStationLine(line, stations.AddNew());
  });
  return count;
}

bool ReadStationListFile(const std::string& path, std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  const bool read = ReadStationList(file, text);
  std::fclose(file);
  return read;
}

bool ReadStationList(std::FILE* file, std::string& text) {
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
  const void* zero = std::memchr(bytes.data(), '\0', total);
  if (zero != nullptr) total = static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data());
  bytes.resize(total);
  text = std::move(bytes);
  return true;
}

}  // namespace nimbrel
