#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <random>

#include "ui/StationColumns.h"

namespace nimbrel {
namespace {

StationList StationsWithColumn(int column, const std::vector<std::string>& texts) {
  StationList stations;
  for (const std::string& text : texts) {
    Station s;
    s.name = "N";
    s.icao = "I";
    const_cast<std::string&>(stationCellText(s, column)) = text;
    stations.push_back(s);
  }
  return stations;
}

std::vector<std::string> SortedTexts(const StationList& stations, int column, bool descending) {
  std::vector<int> rows(static_cast<std::size_t>(stations.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  sortStationRows(rows, stations, column, descending);
  std::vector<std::string> out;
  for (int row : rows) out.push_back(stationCellText(stations.at(static_cast<std::size_t>(row)), column));
  return out;
}

TEST(StationColumns, HeadersWidthsAndCellsInOrder) {
  const char* headers[] = {"STATION", "LAT", "LON", "ELEV", "CY", "CD", "ICAO", "IATA"};
  const int widths[] = {120, 70, 70, 50, 30, 30, 50, 50};
  for (int c = 0; c < kStationColumnCount; ++c) {
    EXPECT_STREQ(kStationColumns[c].header, headers[c]);
    EXPECT_EQ(kStationColumns[c].width, widths[c]);
    EXPECT_EQ(kStationColumns[c].alignment, c == 0 ? ColumnAlignment::kLeft : ColumnAlignment::kCentre);
  }
  Station s;
  s.name = "name";
  s.latText = "lat";
  s.lonText = "lon";
  s.elevText = "elev";
  s.country = "cy";
  s.cd = "cd";
  s.icao = "icao";
  s.iata = "iata";
  const char* cells[] = {"name", "lat", "lon", "elev", "cy", "cd", "icao", "iata"};
  for (int c = 0; c < kStationColumnCount; ++c) EXPECT_EQ(stationCellText(s, c), cells[c]);
}

TEST(StationSort, ElevationSortsByLeadingNumber) {
  const StationList stations = StationsWithColumn(kElevationColumn, {"12", "-5", "7", "none", "  3m"});
  EXPECT_EQ(SortedTexts(stations, kElevationColumn, false),
            (std::vector<std::string>{"-5", "none", "  3m", "7", "12"}));
  EXPECT_EQ(SortedTexts(stations, kElevationColumn, true),
            (std::vector<std::string>{"12", "7", "  3m", "none", "-5"}));
}

TEST(StationSort, TextColumnsSortByUnsignedByteValue) {
  // Capitals before small letters, digits before letters, a prefix before
  // the longer text, and bytes above 127 after every ASCII letter.
  const StationList names =
      StationsWithColumn(0, {"aachen", "Zurich", "\xC4MARI", "Abc", "Ab", "ZURICH", "zz", "9 MILE"});
  EXPECT_EQ(SortedTexts(names, 0, false), (std::vector<std::string>{"9 MILE", "Ab", "Abc", "ZURICH", "Zurich",
                                                                     "aachen", "zz", "\xC4MARI"}));
  const StationList codes = StationsWithColumn(kIcaoColumn, {"KJFK", "1ABC", "", "kjfk", "K0AB"});
  EXPECT_EQ(SortedTexts(codes, kIcaoColumn, false), (std::vector<std::string>{"", "1ABC", "K0AB", "KJFK", "kjfk"}));
}

TEST(StationSort, LongTextsDifferingAfterEightBytesStillSort) {
  const StationList names = StationsWithColumn(0, {"SAN FRANCISCO B", "SAN FRANCISCO A", "SAN FRANC", "SAN FRAN"});
  EXPECT_EQ(SortedTexts(names, 0, false),
            (std::vector<std::string>{"SAN FRAN", "SAN FRANC", "SAN FRANCISCO A", "SAN FRANCISCO B"}));
  EXPECT_EQ(SortedTexts(names, 0, true),
            (std::vector<std::string>{"SAN FRANCISCO B", "SAN FRANCISCO A", "SAN FRANC", "SAN FRAN"}));
}

TEST(StationSort, EqualKeysKeepTheirOrderBothWays) {
  StationList stations;
  for (const char* icao : {"B1", "A1", "B2", "A2"}) {
    Station s;
    s.country = icao[0] == 'A' ? "AA" : "BB";
    s.icao = icao;
    stations.push_back(s);
  }
  std::vector<int> rows = {0, 1, 2, 3};
  sortStationRows(rows, stations, 4, false);
  EXPECT_EQ(rows, (std::vector<int>{1, 3, 0, 2}));
  sortStationRows(rows, stations, 4, true);
  EXPECT_EQ(rows, (std::vector<int>{0, 2, 1, 3}));
}

// The keys made once per sort must order rows as comparing the whole cell
// texts (or their leading numbers) at every step does.
TEST(StationSort, AgreesWithComparingTheCellsThemselves) {
  std::mt19937 random(7);
  const std::string pieces[] = {"", "A", "a", "SAN FRAN", "SAN FRANCISCO", "\xC4", "9", " ", "-4", "12", "x"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  StationList stations(300);
  for (Station& s : stations)
    for (int column = 0; column < kStationColumnCount; ++column)
      const_cast<std::string&>(stationCellText(s, column)) = pieces[pick(random)] + pieces[pick(random)];
  std::vector<int> start(stations.size());
  std::iota(start.begin(), start.end(), 0);
  std::shuffle(start.begin(), start.end(), random);

  for (int column = 0; column < kStationColumnCount; ++column) {
    for (const bool descending : {false, true}) {
      auto less = [&](int a, int b) {
        const std::string& x = stationCellText(stations[static_cast<std::size_t>(a)], column);
        const std::string& y = stationCellText(stations[static_cast<std::size_t>(b)], column);
        return column == kElevationColumn ? leadingInteger(x) < leadingInteger(y) : x < y;
      };
      std::vector<int> expected = start;
      std::stable_sort(expected.begin(), expected.end(),
                       [&](int a, int b) { return descending ? less(b, a) : less(a, b); });
      std::vector<int> rows = start;
      sortStationRows(rows, stations, column, descending);
      EXPECT_EQ(rows, expected) << "column " << column << (descending ? " descending" : " ascending");
    }
  }
}

TEST(StationSort, LeadingIntegerReadsLikeAtoiWithoutOverflow) {
  const std::pair<const char*, int> cases[] = {
      {"  42 m", 42}, {"+7", 7}, {"-13x", -13}, {"", 0}, {"m 5", 0},
      {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(leadingInteger(text), value) << text;
}

TEST(StationSort, LineStatusRightAlignsBothNumbersInSixPlaces) {
  EXPECT_EQ(formatLineStatus(2, 250), " Line:      3 /    250");
  EXPECT_EQ(formatLineStatus(0, 1), " Line:      1 /      1");
  EXPECT_EQ(formatLineStatus(123455, 999999), " Line: 123456 / 999999");
}

}  // namespace
}  // namespace nimbrel
