// Any bytes as the service's station file (gzipped or plain JSON): read
// within its limits, never a crash or undefined behaviour, and every station
// kept is written as a list line that reads back as the same station.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/StationListReader.h"
#include "catalog/StationListWriter.h"
#include "observations/ServiceStationList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nimbrel;
  const std::string_view download(reinterpret_cast<const char*>(data), size);
  const ServiceStations read = readServiceStations(download, std::size_t{1} << 20);
  if (!read.readable && (!read.stations.empty() || read.problem.empty())) __builtin_trap();
  for (const Station& station : read.stations) {
    if (station.icao.size() != 4) __builtin_trap();
    const std::string line = stationLine(station);
    if (line.size() != 83) __builtin_trap();
    Station again;
    parseStationLine(line, again);
    // The reader makes "/" and "\\" of a name "_".
    std::string name = station.name;
    for (char& c : name)
      if (c == '/' || c == '\\') c = '_';
    if (again.icao != station.icao || again.name != name || again.latText != station.latText ||
        again.lonText != station.lonText || !again.hasPosition)
      __builtin_trap();
  }
  return 0;
}
