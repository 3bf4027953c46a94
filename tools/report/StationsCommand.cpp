#include <cstdio>

#include "ReportCommands.h"

int RunStationsCommand(int, char**) {
  std::fprintf(stderr, "nimbrel-report: the stations command is not built yet\n");
  return 2;
}
