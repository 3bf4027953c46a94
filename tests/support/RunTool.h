#pragma once
// Runs the built command-line tool as a whole process and splits its output.
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace nimbrel::test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
};

// Runs NIMBREL_REPORT_TOOL with the arguments; its standard error goes with
// its output or nowhere.
inline ToolRun RunTool(const std::string& arguments, bool withErrors = false) {
  ToolRun run;
  const std::string command =
      std::string("'") + NIMBREL_REPORT_TOOL + "' " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The pieces between separators; a text ending in one ends with an empty piece.
inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t hit = text.find(separator, start);
    parts.push_back(text.substr(start, hit == std::string::npos ? std::string::npos : hit - start));
    if (hit == std::string::npos) return parts;
    start = hit + 1;
  }
}

}  // namespace nimbrel::test
