#pragma once
// Runs the built command-line tool as a whole process and splits its output.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nimbrel::test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string errors;  // with RunToolWatched
};

// Runs a shell command line and keeps what it wrote on standard output.
inline ToolRun RunCommandLine(const std::string& command) {
  ToolRun run;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Runs NIMBREL_REPORT_TOOL with the arguments; its standard error goes with
// its output or nowhere.
inline ToolRun RunTool(const std::string& arguments, bool withErrors = false) {
  return RunCommandLine(std::string("'") + NIMBREL_REPORT_TOOL + "' " + arguments +
                        (withErrors ? " 2>&1" : " 2>/dev/null"));
}

// The same under a watchdog: a tool that blocks is killed after ten seconds
// and gives 124. Standard error is kept apart, through the file `errors`.
inline ToolRun RunToolWatched(const std::string& arguments, const std::filesystem::path& errors) {
  ToolRun run = RunCommandLine(std::string("timeout 10 '") + NIMBREL_REPORT_TOOL + "' " + arguments + " 2>'" +
                               errors.string() + "'");
  std::ifstream in(errors, std::ios::binary);
  run.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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
