#pragma once
// A whole file's bytes, for comparing written files exactly.
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

}  // namespace nimbrel::test
