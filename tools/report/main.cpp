#include <cstdio>
#include <cstring>

#include "MetarCommands.h"
#include "ReportCommands.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: nimbrel-report stations FILE\n"
               "       nimbrel-report decode FILE\n"
               "       nimbrel-report fetch ICAO [--hours N] [--host HOST[:PORT]]\n"
               "       nimbrel-report metar FILE\n"
               "       nimbrel-report taf FILE\n"
               "       nimbrel-report history ICAO [--hours N] [--store FILE]\n"
               "       nimbrel-report store-info [--store FILE]\n"
               "       nimbrel-report update-stations [--url BASE] [--current FILE] [--output Stations.txt]\n"
               "       nimbrel-report chart ICAO [--hours N] [--units aviation|metric|us] [--time utc|local]\n"
               "                            [--store FILE | --url URL [--timeout SECONDS]] [--now YYYY-MM-DDTHH:MMZ]\n"
               "                            [--text | --png FILE [--size WxH]]\n"
               "       nimbrel-report verify ICAO [--hours N] [--store FILE] [--now YYYY-MM-DDTHH:MMZ]\n"
               "       nimbrel-report watch ICAO... [--minima FILE] [--once] [--store FILE]\n"
               "                            [--units aviation|metric|us] [--time utc|local]\n"
               "                            [--now YYYY-MM-DDTHH:MMZ] [--interval SECONDS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];
  if (std::strcmp(command, "stations") == 0) return runStationsCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "decode") == 0) return runDecodeCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "fetch") == 0) return runFetchCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "metar") == 0) return runMetarCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "taf") == 0) return runTafCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "history") == 0) return runHistoryCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "store-info") == 0) return runStoreInfoCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "update-stations") == 0) return runUpdateStationsCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "chart") == 0) return runChartCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "verify") == 0) return runVerifyCommand(argc - 2, argv + 2);
  if (std::strcmp(command, "watch") == 0) return runWatchCommand(argc - 2, argv + 2);
  return Usage();
}
