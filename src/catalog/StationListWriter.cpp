#include "catalog/StationListWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace nimbrel {
namespace {

// Degrees and minutes of |degrees| to the nearest minute (59.6' rounds to
// the next degree), with the hemisphere letter; empty beyond `limit`.
std::string degreesMinutes(double degrees, double limit, int degreeDigits, char positive, char negative) {
  if (!std::isfinite(degrees) || std::fabs(degrees) > limit) return {};
  const long minutes = std::lround(std::fabs(degrees) * 60.0);
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld %02ld%c", degreeDigits, minutes / 60, minutes % 60,
                degrees < 0.0 && minutes > 0 ? negative : positive);
  return text;
}

void put(std::string& line, std::size_t position, std::size_t width, std::string_view text) {
  text = text.substr(0, std::min(width, text.size()));
  line.replace(position, text.size(), text);
}

}  // namespace

std::string latitudeText(double degrees) { return degreesMinutes(degrees, 90.0, 2, 'N', 'S'); }

std::string longitudeText(double degrees) { return degreesMinutes(degrees, 180.0, 3, 'E', 'W'); }

std::string stationLine(const Station& s) {
  std::string line(83, ' ');
  put(line, 0, 2, s.cd);
  put(line, 3, 16, s.name);
  put(line, 20, 4, s.icao);
  put(line, 26, 3, s.iata);
  put(line, 32, 5, s.synop);
  put(line, 39, 6, s.latText);
  put(line, 47, 7, s.lonText);
  const std::string_view elevation = std::string_view(s.elevText).substr(0, std::min<std::size_t>(4, s.elevText.size()));
  put(line, 55 + 4 - elevation.size(), 4, elevation);
  line[62] = s.metarFlag;
  line[65] = s.nexradFlag;
  line[68] = s.aviationFlag;
  line[71] = s.upperAirFlag;
  line[74] = s.autoFlag;
  line[77] = s.officeFlag;
  line[79] = s.plotPriority;
  put(line, 81, 2, s.country);
  return line;
}

std::string stationListText(const StationList& stations, std::string_view comment) {
  std::string text;
  text.reserve(comment.size() + 200 + stations.size() * 84);
  // Comment lines are kept short: the reader takes any line of 83 or 84
  // characters for a station, whatever it starts with.
  constexpr std::size_t kCommentWidth = 78;
  while (!comment.empty()) {
    const std::size_t end = comment.find('\n');
    std::string_view line = comment.substr(0, end);
    do {
      const std::string_view piece = line.substr(0, std::min(line.size(), kCommentWidth));
      text += piece.empty() ? "!" : "! ";
      text += piece;
      text += '\n';
      line.remove_prefix(piece.size());
    } while (!line.empty());
    if (end == std::string_view::npos) break;
    comment.remove_prefix(end + 1);
  }
  // The header is 78 characters, so no reader takes it for a station.
  text += "!\nCD  STATION         ICAO  IATA  SYNOP   LAT     LONG   ELEV   M  N  V  U  A  C\n";
  for (const Station& s : stations) {
    text += stationLine(s);
    text += '\n';
  }
  return text;
}

}  // namespace nimbrel
