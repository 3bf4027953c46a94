#pragma once
// Builds station list lines column by column for the catalogue tests.
#include <string>

namespace nimbrel::test {

struct LineFields {
  std::string cd = "ZZ";
  std::string name = "SAMPLE FIELD";
  std::string icao = "ZZZZ";
  std::string iata = "ZZZ";
  std::string text4 = "ZZZZZ";
  std::string lat = "12 34N";
  std::string lon = "056 07W";
  std::string elev = "  89";
  std::string cy = "QQ";
};

inline void Put(std::string& line, std::size_t position, const std::string& text) {
  line.replace(position, text.size(), text);
}

// An 83-character station line (no line feed).
inline std::string StationLine(const LineFields& f = {}) {
  std::string line(83, ' ');
  Put(line, 0, f.cd);
  Put(line, 3, f.name);
  Put(line, 20, f.icao);
  Put(line, 26, f.iata);
  Put(line, 32, f.text4);
  Put(line, 39, f.lat);
  Put(line, 47, f.lon);
  Put(line, 55, f.elev);
  Put(line, 62, "X");
  Put(line, 74, "A");
  Put(line, 79, "5");
  Put(line, 81, f.cy);
  line.resize(83);
  return line;
}

inline std::string NamedLine(const std::string& name, const std::string& icao) {
  LineFields f;
  f.name = name;
  f.icao = icao;
  return StationLine(f);
}

}  // namespace nimbrel::test
