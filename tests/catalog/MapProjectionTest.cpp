#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "StationListLines.h"
#include "catalog/MapProjection.h"
#include "base/PageFetcher.h"
#include "support/FakeMainFrame.h"

namespace nimbrel {
namespace {

using test::FakeMainFrame;
using test::NamedLine;

class FakeFetcher : public PageFetcher {
 public:
  std::string fetch(const std::string& url, int readBufferSize) override {
    urls.push_back(url);
    sizes.push_back(readBufferSize);
    return body;
  }
  std::string body;
  std::vector<std::string> urls;
  std::vector<int> sizes;
};

Station At(double mapLongitude, double mapColatitude, const std::string& name = "S", const std::string& icao = "") {
  Station s;
  s.name() = name;
  s.icao() = icao;
  s.mapLongitude() = mapLongitude;
  s.mapColatitude() = mapColatitude;
  return s;
}

class Catalog : public ::testing::Test {
 protected:
  void SetUp() override {
    catalog.currentRecord = &frame.currentRecord;
    catalog.fetcher = &fetcher;
    catalog.mainFrame = &frame;
    catalog.stations = &frame.allStations;
  }
  std::vector<std::string> Names(const StationList& list) {
    std::vector<std::string> names;
    for (const Station& s : list) names.push_back(s.name());
    return names;
  }
  FakeMainFrame frame;
  FakeFetcher fetcher;
  StationCatalog catalog;
};

// Runs a test in a fresh temporary current folder and puts the old one back.
class CatalogInFolder : public Catalog {
 protected:
  void SetUp() override {
    Catalog::SetUp();
    previous = std::filesystem::current_path();
    folder = std::filesystem::temp_directory_path() /
             ("nimbrel_catalog_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
  }
  void writeList(const std::string& bytes) { std::ofstream("Stations.txt", std::ios::binary) << bytes; }
  std::filesystem::path previous;
  std::filesystem::path folder;
};

TEST_F(CatalogInFolder, LoadsTheLocalListReplacingWhatWasThere) {
  frame.allStations.add(At(1, 1, "OLD"));
  writeList("! header\n" + NamedLine("ONE", "AAAA") + "\r\n" + NamedLine("TWO/2", "BBBB"));
  EXPECT_TRUE(catalog.loadStations(true));
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"ONE", "TWO_2"}));
  EXPECT_TRUE(frame.messages.empty());
  EXPECT_TRUE(fetcher.urls.empty());
}

TEST_F(CatalogInFolder, EmptyListLoadsNothingAndSucceeds) {
  frame.allStations.add(At(1, 1, "OLD"));
  writeList("");
  EXPECT_TRUE(catalog.loadStations(true));
  EXPECT_EQ(frame.allStations.getSize(), 0);
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(CatalogInFolder, MissingOrUnreadableListKeepsTheCatalogue) {
  frame.allStations.add(At(1, 1, "OLD"));
  EXPECT_FALSE(catalog.loadStations(true));
  std::filesystem::create_directory("Stations.txt");
  EXPECT_FALSE(catalog.loadStations(true));
  EXPECT_EQ(frame.messages,
            (std::vector<std::string>{"Can not open a file \"Stations.txt\".", "Can not open a file \"Stations.txt\"."}));
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"OLD"}));
}

TEST_F(CatalogInFolder, ARegularListIsReadOnItsFirstUseFromTheFileAsItWasOpened) {
  writeList(NamedLine("ONE", "AAAA") + "\n" + NamedLine("TWO", "BBBB") + "\n");
  ASSERT_TRUE(catalog.loadStations(true));
  EXPECT_TRUE(frame.allStations.isPending());
  // The open file is what gets read, whatever happens to its name meanwhile.
  std::filesystem::rename("Stations.txt", "Moved.txt");
  writeList(NamedLine("OTHER", "CCCC") + "\n");
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"ONE", "TWO"}));
  EXPECT_FALSE(frame.allStations.isPending());
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(CatalogInFolder, AListThatIsNotARegularFileIsReadAtOnce) {
  ASSERT_EQ(mkfifo("Stations.txt", 0600), 0);
  const std::string text = NamedLine("PIPED", "PPPP") + "\n";
  std::thread writer([&] { std::ofstream("Stations.txt", std::ios::binary) << text; });
  const bool loaded = catalog.loadStations(true);
  writer.join();
  EXPECT_TRUE(loaded);
  EXPECT_FALSE(frame.allStations.isPending());
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"PIPED"}));
}

TEST_F(Catalog, LoadsFromTheService) {
  catalog.serviceHost = "127.0.0.1:8123";
  fetcher.body = NamedLine("FETCHED", "FFFF") + "\n";
  EXPECT_TRUE(catalog.loadStations(false));
  EXPECT_EQ(fetcher.urls, (std::vector<std::string>{"http://127.0.0.1:8123/weather/surface/stations.txt"}));
  EXPECT_EQ(fetcher.sizes, (std::vector<int>{1000000}));
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"FETCHED"}));

  // Nothing fetched: false, no message, the catalogue as it was.
  fetcher.body.clear();
  EXPECT_FALSE(catalog.loadStations(false));
  EXPECT_EQ(Names(frame.allStations), (std::vector<std::string>{"FETCHED"}));
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(Catalog, FindIgnoresCaseAndFallsBackToTheIcaoCode) {
  frame.allStations.add(At(1, 1, "ZURICH", "LSZH"));
  frame.allStations.add(At(1, 1, "BERN", "LSZB"));
  frame.allStations.add(At(1, 1, "Bazurka", "XXXX"));
  frame.allStations.add(At(1, 1, "GENEVA", "LSGG"));
  for (const char* query : {"zur", "ZUR", "Zur"}) {
    EXPECT_EQ(catalog.findStations(query, frame.allStations, false), 2) << query;
    EXPECT_EQ(Names(frame.resultStations), (std::vector<std::string>{"ZURICH", "Bazurka"}));
  }
  EXPECT_EQ(catalog.findStations("zb", frame.allStations, false), 1);
  EXPECT_EQ(Names(frame.resultStations), (std::vector<std::string>{"BERN"}));
  EXPECT_EQ(catalog.findStations("", frame.allStations, false), 4);
  EXPECT_EQ(frame.resultStations.getAt(3), frame.allStations.getAt(3));
  EXPECT_TRUE(frame.messages.empty());
  EXPECT_EQ(frame.waitCount, 0);
  EXPECT_EQ(frame.waitBegins, 5);
}

TEST_F(Catalog, FindWithoutMatchEmptiesTheResultAndSaysSo) {
  frame.allStations.add(At(1, 1, "ZURICH", "LSZH"));
  frame.resultStations.add(At(1, 1, "LEFT OVER"));
  EXPECT_EQ(catalog.findStations("NoWhere", frame.allStations, false), 0);
  EXPECT_EQ(frame.resultStations.getSize(), 0);
  EXPECT_EQ(frame.messages, (std::vector<std::string>{"No station \"nowhere\" in a list."}));
  EXPECT_EQ(frame.waitCount, 0);
  // lower-casing leaves bytes above 127 as they are.
  EXPECT_EQ(catalog.findStations("\xC9TE", StationList{}, false), 0);
  EXPECT_EQ(frame.messages.back(), "No station \"\xC9te\" in a list.");
}

TEST_F(Catalog, FindOpeningTheFirstMatchReturnsOne) {
  frame.allStations.add(At(1, 1, "ZURICH", "LSZH"));
  frame.allStations.add(At(1, 1, "ZURICH 2", "LSZ2"));
  frame.resultStations.add(At(1, 1, "LEFT OVER"));
  // The service has nothing for it: the opening says so and opens nothing,
  // and the find still counts the station it handed over.
  EXPECT_EQ(catalog.findStations("zurich", frame.allStations, true), 1);
  EXPECT_EQ(frame.resultStations.getSize(), 0);
  EXPECT_EQ(frame.waitCount, 0);
  ASSERT_EQ(frame.messages.size(), 1u);
  EXPECT_EQ(frame.messages[0].rfind("Sorry, no data available for the Station:", 0), 0u);
  EXPECT_TRUE(frame.windows.empty());
  EXPECT_EQ(frame.currentRecord.icao(), "LSZH");
  EXPECT_EQ(catalog.findStations("paris", frame.allStations, true), 0);
  EXPECT_EQ(frame.messages.size(), 2u);
  EXPECT_EQ(frame.waitCount, 0);
}

TEST_F(Catalog, FindInTheResultListSearchesWhatItShowed) {
  frame.allStations.add(At(10.0, 10.0, "NEAR ONE", "AAAA"));
  frame.allStations.add(At(10.5, 10.5, "NEAR TWO", "BBBB"));
  frame.allStations.add(At(100.0, 100.0, "FAR ONE", "CCCC"));
  // x = 34 and y = 59 are about 10.1 degrees from the map's top-left corner.
  ASSERT_EQ(catalog.findNearestStations(34, 59, 90.0), 2);
  EXPECT_EQ(catalog.findStations("two", frame.resultStations, false), 1);
  EXPECT_EQ(Names(frame.resultStations), (std::vector<std::string>{"NEAR TWO"}));
  EXPECT_EQ(catalog.findStations("one", frame.resultStations, false), 0);
  EXPECT_EQ(frame.resultStations.getSize(), 0);
  EXPECT_EQ(frame.messages, (std::vector<std::string>{"No station \"one\" in a list."}));
}

TEST_F(Catalog, NearestWindowIsAStrictSquareInMapDegrees) {
  // The map's top-left pixel is map longitude 0, map colatitude 0.
  frame.allStations.add(At(1.5, 0.0, "EDGE X"));
  frame.allStations.add(At(0.0, 1.5, "EDGE Y"));
  frame.allStations.add(At(1.49, 1.49, "CORNER"));
  frame.allStations.add(At(0.0, 0.0, "ON POINT"));
  frame.allStations.add(At(359.9, 0.0, "ACROSS THE EDGE"));
  EXPECT_EQ(catalog.findNearestStations(20, 45, 90.0), 2);
  EXPECT_EQ(Names(frame.resultStations), (std::vector<std::string>{"CORNER", "ON POINT"}));
  EXPECT_EQ(frame.statusTexts.back(), "  180 00W,  90 00N");

  EXPECT_EQ(catalog.findNearestStations(20, 45, 0.0), 0);
  EXPECT_EQ(catalog.findNearestStations(20, 45, -90.0), 0);
  EXPECT_EQ(frame.resultStations.getSize(), 0);

  // The right edge does not see stations across the left one either.
  EXPECT_EQ(catalog.findNearestStations(519, 45, 600.0), 1);
  EXPECT_EQ(Names(frame.resultStations), (std::vector<std::string>{"ACROSS THE EDGE"}));
  EXPECT_TRUE(frame.messages.empty());
}

TEST_F(Catalog, NearestOffTheMapFindsNothing) {
  frame.allStations.add(At(0.0, 0.0, "CORNER"));
  frame.resultStations.add(At(0.0, 0.0, "LEFT OVER"));
  EXPECT_EQ(catalog.findNearestStations(19, 45, 90.0), 0);
  EXPECT_EQ(catalog.findNearestStations(20, 44, 90.0), 0);
  EXPECT_EQ(frame.resultStations.getSize(), 0);
  EXPECT_TRUE(frame.statusTexts.empty());
}

TEST_F(Catalog, PositionTextsAndTheMapRectangle) {
  MapPoint point;
  ASSERT_TRUE(catalog.showMapPointPosition(20, 45, &point));
  EXPECT_EQ(point.mapLongitude, 0.0);
  EXPECT_EQ(point.mapColatitude, 0.0);
  EXPECT_EQ(point.longitudeText, "180 00W");
  EXPECT_EQ(point.latitudeText, "90 00N");

  ASSERT_TRUE(catalog.showMapPointPosition(270, 170, &point));
  EXPECT_NEAR(point.mapLongitude, 180.36, 0.01);
  EXPECT_EQ(point.longitudeText, "000 21E");
  EXPECT_EQ(point.latitudeText, "00 21S");
  EXPECT_EQ(frame.statusTexts, (std::vector<std::string>{"  180 00W,  90 00N", "  000 21E,  00 21S"}));

  ASSERT_TRUE(catalog.showMapPointPosition(519, 294));
  EXPECT_EQ(frame.statusTexts.back(), "  180 00E,  89 59S");
  EXPECT_FALSE(catalog.showMapPointPosition(520, 100));
  EXPECT_FALSE(catalog.showMapPointPosition(100, 295));
  EXPECT_FALSE(catalog.showMapPointPosition(-5, -5));
  EXPECT_EQ(frame.statusTexts.size(), 3u);
}

TEST(mapToPixel, CornersCentreAndBadNumbers) {
  EXPECT_EQ(StationCatalog::mapToPixel(0.0, 0.0), (Pixel{20, 45}));
  EXPECT_EQ(StationCatalog::mapToPixel(180.0, 90.0), (Pixel{269, 169}));
  EXPECT_EQ(StationCatalog::mapToPixel(360.0, 180.0), (Pixel{519, 294}));
  EXPECT_EQ(StationCatalog::mapToPixel(0.72, 0.72), (Pixel{20, 45}));  // truncated, not rounded
  // A station projects onto the pixel whose position names it.
  StationCatalog catalog;
  for (int x : {20, 100, 269, 400, 519}) {
    for (int y : {45, 120, 169, 294}) {
      MapPoint point;
      ASSERT_TRUE(catalog.showMapPointPosition(x, y, &point));
      const Pixel pixel = StationCatalog::mapToPixel(point.mapLongitude + 1e-9, point.mapColatitude + 1e-9);
      EXPECT_EQ(pixel, (Pixel{x, y}));
    }
  }
  // Numbers from a malformed list line stay far off the map instead of overflowing.
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_LT(StationCatalog::mapToPixel(std::nan(""), 10.0).x, 0);
  EXPECT_GT(StationCatalog::mapToPixel(inf, 10.0).x, 10000);
  EXPECT_LT(StationCatalog::mapToPixel(10.0, -inf).y, 0);
}

}  // namespace
}  // namespace nimbrel
