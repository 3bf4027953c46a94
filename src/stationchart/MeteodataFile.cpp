#include "stationchart/MeteodataFile.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "base/Text.h"
#include "base/UserPort.h"

namespace nimbrel {
namespace {

const char kRule[] = "---------------------------------------------------------------------------\r\n";


}  // namespace

std::string meteodataFileName(const std::string& stationName, std::time_t now) {
  std::string station = stationName;
  for (char& c : station) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '/' || c == '(' || c == ')' || c == '-') c = '_';
  }
  const std::tm date = localTime(now);
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "%02d_%02d_%04d_", date.tm_mon + 1, date.tm_mday, date.tm_year + 1900);
  return prefix + station + ".txt";
}

std::string formatMeteodata(const ObservationList& observations) {
  std::string text;
  text.reserve(static_cast<std::size_t>(observations.size()) * 64 + 256);
  text += kRule;
  text += "Date\t\tTime\tTemp.\tPressure\tWind dir\tWind speed\r\n";
  text += kRule;
  for (const Observation& o : observations) {
    const std::tm t = localTime(static_cast<std::time_t>(o.observedAt));
    char row[256];
    std::snprintf(row, sizeof row, "%02d/%02d/%04d\t%02d:%02d\t%02.2f\t%04.2f\t\t%03.2f\t\t%03.2f\r\n", t.tm_mon + 1,
                  t.tm_mday, t.tm_year + 1900, t.tm_hour, t.tm_min, o.temperature, o.pressure + 1000.0,
                  o.windDirection, o.windSpeed);
    text += row;
  }
  return text;
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
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) {
    frame.showMessage("Can not open an output file \"" + name + "\".");
    return {};
  }
  const std::string text = formatMeteodata(observations);
  {
    BusyScope wait(frame);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  return path;
}

}  // namespace nimbrel
