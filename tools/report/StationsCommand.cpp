// nimbrel-report stations FILE: every station the program's reader takes
// from a list, one tab-separated line each.
#include <cstdio>
#include <string>

#include "ReportCommands.h"
#include "catalog/Station.h"
#include "catalog/StationListReader.h"

int runStationsCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: nimbrel-report stations FILE\n");
    return 2;
  }
  std::string text;
  bool cut = false;
  if (!nimbrel::readStationListFile(argv[0], text, &cut)) {
    std::fprintf(stderr, "nimbrel-report: can not open a file \"%s\"\n", argv[0]);
    return 2;
  }
  nimbrel::StationList stations;
  nimbrel::parseStationList(text, stations);
  if (cut) std::fprintf(stderr, "nimbrel-report: %s\n", nimbrel::stationListCutMessage(argv[0], stations.size()).c_str());

  std::string out =
      "cd\tname\ticao\tiata\ttext4\tlatText\tlonText\televText\ttext8\ttext9\ttext10\ttext11\ttext12\ttext13\t"
      "text14\tcy\tmapLongitude\tmapColatitude\televation\n";
  out.reserve(out.size() + stations.size() * 120);
  char numbers[160];
  for (const nimbrel::Station& station : stations) {
    const std::string* texts[] = {&station.cd,      &station.name,    &station.icao,    &station.iata,
                                  &station.synop,   &station.latText, &station.lonText, &station.elevText};
    for (const std::string* text : texts) {
      out += *text;
      out += '\t';
    }
    for (const char flag : {station.metarFlag, station.nexradFlag, station.aviationFlag, station.upperAirFlag,
                            station.autoFlag, station.officeFlag, station.plotPriority}) {
      if (flag != ' ') out += flag;
      out += '\t';
    }
    out += station.country;
    out += '\t';
    std::snprintf(numbers, sizeof numbers, "%.4f\t%.4f\t%.1f\n", station.mapLongitude, station.mapColatitude,
                  station.elevation);
    out += numbers;
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "nimbrel-report: can not write the station table\n");
    return 2;
  }
  return 0;
}
