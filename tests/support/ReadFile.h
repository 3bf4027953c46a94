#pragma once
// A whole file's bytes, for comparing written files exactly and for loading
// fixtures.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace nimbrel::test {

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

#ifdef NIMBREL_FIXTURES_DIR
// A file of tests/fixtures, by its name there.
inline std::string ReadFixture(const std::string& name) {
  return ReadAll(std::filesystem::path(NIMBREL_FIXTURES_DIR) / name);
}
#endif

}  // namespace nimbrel::test
