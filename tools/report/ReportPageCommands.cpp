#include <cstdio>

#include "ReportCommands.h"

int RunDecodeCommand(int, char**) {
  std::fprintf(stderr, "nimbrel-report: the decode command is not built yet\n");
  return 2;
}

int RunFetchCommand(int, char**) {
  std::fprintf(stderr, "nimbrel-report: the fetch command is not built yet\n");
  return 2;
}
