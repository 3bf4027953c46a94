// The weather service's station list as the program's station list: the
// recorded excerpt, which stations are kept, names, the change summary and
// the refusals that keep a good list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/StationListWriter.h"
#include "observations/ServiceStationList.h"
#include "support/Gzip.h"
#include "support/ReadFile.h"

namespace nimbrel {
namespace {

std::vector<std::string> Icaos(const StationList& stations) {
  std::vector<std::string> out;
  for (const Station& s : stations) out.push_back(s.icao);
  return out;
}

// A METAR station object in the service's field names.
std::string Entry(const std::string& icao, const std::string& more = "") {
  return R"({"icaoId":")" + icao + R"(","site":"Field )" + icao +
         R"(","lat":47.5,"lon":8.5,"elev":400,"country":"CH","siteType":["METAR"])" + more + "}";
}

std::string Array(const std::vector<std::string>& entries) {
  std::string out = "[";
  for (const std::string& e : entries) out += (out.size() > 1 ? "," : "") + e;
  return out + "]";
}

TEST(ServiceStationList, RecordedExcerptBecomesStationLines) {
  const ServiceStations read = readServiceStations(test::Gzipped(test::ReadFixture("metar/awc_stations_cache_excerpt.json")));
  ASSERT_TRUE(read.readable) << read.problem;
  EXPECT_EQ(read.entries, 2);
  ASSERT_EQ(read.stations.size(), 2u);
  EXPECT_EQ(stationLine(read.stations[0]),
            "CA HAYWARD EXEC     KHWD               37 40N  122 07W    9   X     T            US");
  EXPECT_EQ(stationLine(read.stations[1]),
            "   LONDON/HEATHROW  EGLL  LHR   03772  51 29N  000 28W   26   X     T            GB");
}

TEST(ServiceStationList, KeepsMetarStationsWithACodeAndAPosition) {
  const std::string json = Array({
      Entry("LSZH"),
      R"({"icaoId":"LSZA","lat":46,"lon":8.9,"siteType":["TAF"]})",          // no METAR
      R"({"icaoId":null,"faaId":"0V4","lat":40,"lon":-100,"siteType":["METAR"]})",
      R"({"icaoId":"K1A","lat":40,"lon":-100,"siteType":["METAR"]})",        // not four characters
      R"({"icaoId":"LSGG","lon":6.1,"siteType":["METAR"]})",                 // no latitude
      R"({"icaoId":"LSGS","lat":95,"lon":7.3,"siteType":["METAR"]})",        // off the globe
      Entry("LSZH", R"(,"site":"Second")"),                                  // seen before
      R"({"icaoId":"lszb","lat":"46.9","lon":"7.5","siteType":"METAR,TAF"})",  // texts for numbers
      R"("not an object")",
  });
  const ServiceStations read = readServiceStations(json);
  ASSERT_TRUE(read.readable);
  EXPECT_EQ(read.entries, 9);
  EXPECT_EQ(Icaos(read.stations), (std::vector<std::string>{"LSZH", "LSZB"}));
  EXPECT_EQ(read.stations[1].latText, "46 54N");
  EXPECT_EQ(read.stations[1].elevText, "");
  // Without a site, or with one of nothing the list can write, the code is the name.
  EXPECT_EQ(read.stations[1].name, "LSZB");
  const ServiceStations unnamed =
      readServiceStations(Array({R"({"icaoId":"LSZC","site":"\u5317","lat":46,"lon":8,"siteType":["METAR"]})"}));
  ASSERT_EQ(unnamed.stations.size(), 1u);
  EXPECT_EQ(unnamed.stations[0].name, "LSZC");
}

TEST(ServiceStationList, NamesAsTheListWritesThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"Hayward Exec", "HAYWARD EXEC"},
      {"S\xC3\xA3o Paulo/Guarulhos Intl", "SAO PAULO/GUARUL"},
      {"Z\xC3\xBCrich Airport", "ZURICH"},
      {"\xC5\x81\xC3\xB3""d\xC5\xBA", "LODZ"},
      {"Gro\xC3\x9F  Fort   Worth International", "GROSS FT WORTH I"},
      {"Airport", "AIRPORT"},
      {"Caf\xE9 (Latin-1)", "CAFE LATIN-1"},
      {"\xE5\x8C\x97\xE4\xBA\xAC Capital", "CAPITAL"},
  };
  for (const auto& [given, written] : cases) EXPECT_EQ(listStationName(given), written) << given;
}

TEST(ServiceStationList, ChangeAgainstTheListInUse) {
  auto station = [](const std::string& icao, const std::string& elevation) {
    Station s;
    s.icao = icao;
    s.elevText = elevation;
    return s;
  };
  const StationList current = {station("AAAA", ""), station("BBBB", "10"), station("CCCC", "")};
  const StationList next = {station("AAAA", "5"), station("BBBB", "10"), station("DDDD", ""), station("EEEE", "3")};
  const StationListChange change = compareStationLists(current, next);
  EXPECT_EQ(stationListChangeText(change), "4 stations: 2 new, 1 gone, 1 elevation added");
  EXPECT_EQ(stationListChangeText({5712, 83, 7, 2280}), "5,712 stations: 83 new, 7 gone, 2,280 elevations added");
}

TEST(ServiceStationList, BadDownloadsAndShortListsAreRefused) {
  StationList current(4);
  for (std::size_t i = 0; i < current.size(); ++i) current[i].icao = "KAA" + std::to_string(i);
  auto ok = [](std::string body) {
    FetchResult r;
    r.status = FetchStatus::kOk;
    r.httpStatus = 200;
    r.body = std::move(body);
    return r;
  };
  FetchResult unreachable;
  unreachable.status = FetchStatus::kUnreachable;
  unreachable.errorText = "Connection refused";
  FetchResult notFound;
  notFound.status = FetchStatus::kHttpError;
  notFound.httpStatus = 404;
  const std::string two = test::Gzipped(Array({Entry("LSZH"), Entry("LSGG")}));
  struct Case {
    const char* name;
    FetchResult fetched;
    bool accepted;
    std::string says;
  } cases[] = {
      {"no connection", unreachable, false, "could not be downloaded: Connection refused"},
      {"HTTP error", notFound, false, "HTTP status 404"},
      {"gzip cut short", ok(two.substr(0, two.size() / 2)), false, "cut short"},
      {"not JSON", ok("<html>Service unavailable</html>"), false, "not a station list"},
      {"JSON but no array", ok(R"({"error":"busy"})"), false, "not a station list"},
      {"no METAR station", ok("[]"), false, "no station that sends METARs"},
      {"fewer than half", ok(Array({Entry("LSZH")})), false, "only 1 station, fewer than half of the 4 in use"},
      {"half is enough", ok(two), true, "2 stations: 2 new, 4 gone, 0 elevations added"},
  };
  for (const Case& c : cases) {
    const StationListUpdate update = prepareStationListUpdate(c.fetched, current, "test");
    EXPECT_EQ(update.accepted, c.accepted) << c.name;
    EXPECT_NE(update.message.find(c.says), std::string::npos) << c.name << ": " << update.message;
    EXPECT_EQ(update.text.empty(), !c.accepted) << c.name;
    if (!c.accepted) {
      EXPECT_NE(update.message.find("current station list is kept"), std::string::npos) << c.name;
    }
  }
}

}  // namespace
}  // namespace nimbrel
