#include <gtest/gtest.h>
#include <httplib.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <ctime>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "SampleMetarDay.h"
#include "SampleService.h"
#include "metar/MetarDecoder.h"

namespace nimbrel {
namespace {

using nlohmann::json;

// Not on a whole minute, so the shift must round to one.
constexpr std::time_t kNow = 1765000030;
const char* kList =
    "NY KENNEDY INTL     KJFK  JFK          40 38N  073 47W    4   X                  US\n"
    "MA BOSTON LOGAN INT KBOS  BOS          42 22N  071 00W    6   X                  US\n";

std::string gunzipText(const std::string& data) {
  z_stream stream{};
  inflateInit2(&stream, 15 + 16);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buffer[1 << 16];
  int rc = Z_OK;
  while (rc == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    rc = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
  }
  inflateEnd(&stream);
  return out;
}

std::string latin1(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC0 && i + 1 < utf8.size()) out += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
    else out += utf8[i];
  }
  return out;
}

// The service on the shipped day, and the shipped file's lines by station
// with their day-time group blanked, read here independently of the service.
class SampleMetarApi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service = new sample::SampleService(kList);
    std::string error;
    auto loaded = std::make_shared<sample::SampleMetarDay>();
    ASSERT_TRUE(loaded->loadFile(NIMBREL_METAR_DAY, error)) << error;
    day = loaded;
    service->useMetarDay(day);
    service->setNow(kNow);
    ASSERT_TRUE(service->start(0));
    gzFile file = gzopen(NIMBREL_METAR_DAY, "rb");
    ASSERT_NE(file, nullptr);
    char line[4096];
    while (gzgets(file, line, sizeof line)) {
      std::string text = line;
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '='))
        text.pop_back();
      const std::size_t group = sample::findDayTimeGroup(text);
      if (group == std::string::npos || group < 5) continue;
      const int day = std::stoi(text.substr(group, 2)), hour = std::stoi(text.substr(group + 2, 2));
      const std::string station = text.substr(0, 4);
      if (day == 14 && hour >= 15) (*lateStations).insert(station);
      (*originals)[station].emplace(text.substr(0, group) + text.substr(group + 6),
                                    ((day * 24 + hour) * 60 + std::stoi(text.substr(group + 4, 2))) * 60);
    }
    gzclose(file);
  }
  static void TearDownTestSuite() {
    delete service;
    day.reset();
  }

  static httplib::Result get(const std::string& path) {
    httplib::Client client("127.0.0.1", service->listeningPort());
    return client.Get(path);
  }
  static json reports(const std::string& query) {
    auto result = get("/api/data/metar?format=json&" + query);
    if (!result || result->status != 200) return json::array();
    return json::parse(result->body);
  }

  static inline std::shared_ptr<const sample::SampleMetarDay> day;
  static inline sample::SampleService* service = nullptr;
  // Text without "ddhhmm" -> its day-time as seconds from the month's start.
  static inline auto* originals = new std::map<std::string, std::multimap<std::string, long>>;
  static inline auto* lateStations = new std::set<std::string>;
};

TEST_F(SampleMetarApi, ReportsAreRealReportsMovedByOneWholeShift) {
  std::set<long> shifts;
  for (const char* icao : {"KJFK", "KBOS", "EGLL", "URML", "KORD"}) {
    const json list = reports(std::string("hours=30&ids=") + icao);
    ASSERT_GT(list.size(), 20u) << icao;
    for (const json& o : list) {
      const std::string raw = latin1(o["rawOb"].get<std::string>());
      ASSERT_TRUE(raw.starts_with("METAR ") || raw.starts_with("SPECI ")) << raw;
      const std::string body = raw.substr(6);
      const std::size_t group = sample::findDayTimeGroup(body);
      ASSERT_NE(group, std::string::npos) << raw;
      const std::time_t obs = o["obsTime"].get<std::time_t>();
      std::tm utc{};
      gmtime_r(&obs, &utc);
      char expected[8];
      std::snprintf(expected, sizeof expected, "%02d%02d%02dZ", utc.tm_mday, utc.tm_hour, utc.tm_min);
      EXPECT_EQ(body.substr(group, 7), expected) << raw;
      // The same text may have been sent at several times: any may be it.
      const auto [first, last] = (*originals)[icao].equal_range(body.substr(0, group) + body.substr(group + 6));
      ASSERT_NE(first, last) << "not in the shipped day: " << raw;
      std::set<long> candidates;
      for (auto it = first; it != last; ++it) candidates.insert(static_cast<long>(obs) - it->second);
      std::set<long> kept;
      std::set_intersection(shifts.begin(), shifts.end(), candidates.begin(), candidates.end(),
                            std::inserter(kept, kept.begin()));
      shifts = shifts.empty() ? candidates : kept;
    }
  }
  ASSERT_EQ(shifts.size(), 1u);
  EXPECT_EQ(*shifts.begin() % 60, 0);
}

TEST_F(SampleMetarApi, DecodedFieldsAreOurDecodersAndStationFromTheList) {
  const json list = reports("hours=24&ids=KJFK,EGLL,KBOS");
  ASSERT_GT(list.size(), 60u);
  for (const json& o : list) {
    const std::string raw = o["rawOb"];
    const MetarReport r = decodeMetar(raw, UtcDateTime::fromEpochMinutes(o["obsTime"].get<long>() / 60));
    ASSERT_NE(r.status, MetarStatus::Rejected) << raw;
    EXPECT_EQ(o["icaoId"], r.station);
    EXPECT_EQ(o["metarType"], r.special ? "SPECI" : "METAR");
    EXPECT_EQ(r.time.epochMinutes() * 60, o["obsTime"].get<long>()) << raw;
    auto near = [&](const char* field, const std::optional<double>& value) {
      if (!value) {
        EXPECT_TRUE(o[field].is_null()) << field << " " << raw;
      } else {
        EXPECT_NEAR(o[field].get<double>(), *value, 0.051) << field << " " << raw;
      }
    };
    near("temp", r.temperatureC);
    near("dewp", r.dewPointC);
    near("altim", r.pressureHpa);
    near("slp", r.seaLevelPressureHpa);
    near("wspd", r.current.wind.speedKt ? std::optional(std::round(*r.current.wind.speedKt)) : std::nullopt);
    if (r.current.wind.directionDeg) {
      EXPECT_EQ(o["wdir"], *r.current.wind.directionDeg) << raw;
    }
    if (r.current.wind.variable) {
      EXPECT_EQ(o["wdir"], "VRB") << raw;
    }
    EXPECT_EQ(o.contains("wgst"), r.current.wind.gustKt.has_value()) << raw;
    EXPECT_EQ(o.contains("wxString"), !r.current.weather.empty()) << raw;
    const std::string category = flightCategoryText(r.flightCategory());
    EXPECT_EQ(o["fltCat"], category.empty() ? json(nullptr) : json(category)) << raw;
    std::vector<int> bases, servedBases;
    for (const CloudLayer& layer : r.current.clouds) bases.push_back(layer.baseFt.value_or(-1));
    for (const json& layer : o["clouds"]) servedBases.push_back(layer["base"].is_null() ? -1 : layer["base"].get<int>());
    EXPECT_EQ(servedBases, bases) << raw;
    if (r.station == "KJFK") {
      EXPECT_EQ(o["name"], "KENNEDY INTL, NY, US");
      EXPECT_NEAR(o["lat"].get<double>(), 40 + 38 / 60.0, 1e-3);
      EXPECT_EQ(o["elev"], 4);
    }
    if (r.station == "EGLL") {
      EXPECT_TRUE(o["lat"].is_null() && o["name"] == "");
    }
  }
}

// A window is the longer window's newest reports that fall inside it.
TEST_F(SampleMetarApi, HoursReachBackFromNowNewestFirst) {
  for (const char* icao : {"KJFK", "KBOS", "EGLL"}) {
    const json all = reports(std::string("hours=36&ids=") + icao);
    ASSERT_FALSE(all.empty());
    for (std::size_t i = 1; i < all.size(); ++i) EXPECT_GT(all[i - 1]["obsTime"], all[i]["obsTime"]) << icao;
    EXPECT_LE(all[0]["obsTime"].get<long>(), kNow);
    EXPECT_GT(all[0]["obsTime"].get<long>(), kNow - 3600) << "the day ends now";
    for (int hours : {1, 3, 12}) {
      json expected = json::array();
      for (const json& o : all)
        if (o["obsTime"].get<long>() > kNow - hours * 3600) expected.push_back(o);
      EXPECT_EQ(reports("hours=" + std::to_string(hours) + "&ids=" + icao), expected) << icao << " " << hours;
    }
    EXPECT_EQ(reports(std::string("ids=") + icao), json::array({all[0]}));
    EXPECT_EQ(reports(std::string("hours=0&ids=") + icao), json::array({all[0]}));
    // Far more hours than the day holds give the whole day, never an overflow.
    EXPECT_EQ(reports(std::string("hours=1e300&ids=") + icao), reports(std::string("hours=48&ids=") + icao));
  }
}

TEST_F(SampleMetarApi, SeveralIdsAreMergedNewestFirst) {
  const json merged = reports("hours=6&ids=kjfk,EGLL%20KBOS,ZZZZ,KJFK");
  json alone = json::array();
  for (const char* icao : {"KJFK", "EGLL", "KBOS"})
    for (const json& o : reports(std::string("hours=6&ids=") + icao)) alone.push_back(o);
  ASSERT_EQ(merged.size(), alone.size());
  for (std::size_t i = 1; i < merged.size(); ++i) EXPECT_GE(merged[i - 1]["obsTime"], merged[i]["obsTime"]);
  for (const json& o : alone) EXPECT_NE(std::find(merged.begin(), merged.end(), o), merged.end()) << o["rawOb"];
}

TEST_F(SampleMetarApi, ReportsStampedAfterTheDayNeverAppear) {
  ASSERT_FALSE(lateStations->empty());
  for (const std::string& icao : *lateStations)
    for (const json& o : reports("hours=48&ids=" + icao)) EXPECT_LE(o["obsTime"].get<long>(), kNow) << o["rawOb"];
}

TEST_F(SampleMetarApi, ErrorsAsTheApiGivesThem) {
  const struct {
    const char* query;
    int status;
  } cases[] = {{"ids=ZZZZ&format=json", 204},       {"ids=ZZZZ&format=json&hours=5", 204},
               {"format=json", 400},                {"ids=&format=json", 400},
               {"ids=KJFK&format=xml", 400},        {"ids=KJFK&format=json&hours=-2", 400},
               {"ids=KJFK&format=json&hours=x", 400}};
  for (const auto& c : cases) {
    auto result = get(std::string("/api/data/metar?") + c.query);
    ASSERT_TRUE(result) << c.query;
    EXPECT_EQ(result->status, c.status) << c.query;
    if (c.status == 204) {
      EXPECT_TRUE(result->body.empty()) << c.query;
    }
    if (c.status == 400) {
      EXPECT_TRUE(json::parse(result->body).contains("error")) << c.query;
    }
  }
}

TEST_F(SampleMetarApi, CacheHoldsEachStationsLatestReport) {
  auto result = get("/data/cache/metars.cache.csv.gz");
  ASSERT_TRUE(result && result->status == 200);
  const std::string text = gunzipText(result->body);
  std::map<std::string, std::string> rawById;
  std::size_t at = text.find("raw_text,station_id,observation_time,latitude,longitude,");
  ASSERT_NE(at, std::string::npos);
  for (at = text.find('\n', at) + 1; at < text.size(); at = text.find('\n', at) + 1) {
    const std::size_t quote = text.find("\",", at + 1);
    const std::string id = text.substr(quote + 2, text.find(',', quote + 2) - quote - 2);
    EXPECT_TRUE(rawById.emplace(id, text.substr(at + 1, quote - at - 1)).second) << "twice: " << id;
  }
  EXPECT_GT(rawById.size(), 4000u);
  for (const char* icao : {"KJFK", "EGLL"})
    EXPECT_EQ("METAR " + rawById[icao], reports(std::string("ids=") + icao)[0]["rawOb"]) << icao;
}

struct CacheRow {
  std::string text;  // without its day-time group
  std::time_t time;  // observation_time
};

std::time_t IsoSeconds(const std::string& iso) {
  std::tm utc{};
  if (strptime(iso.c_str(), "%Y-%m-%dT%H:%M:%S", &utc) == nullptr) return -1;
  return timegm(&utc);
}

// The whole-world file of a service on 127.0.0.1, by station.
std::map<std::string, CacheRow> CacheRows(int port) {
  httplib::Client client("127.0.0.1", port);
  auto result = client.Get("/data/cache/metars.cache.csv.gz");
  std::map<std::string, CacheRow> rows;
  if (!result || result->status != 200) return rows;
  const std::string text = gunzipText(result->body);
  std::size_t at = text.find("raw_text,station_id,observation_time,");
  if (at == std::string::npos) return rows;
  for (at = text.find('\n', at) + 1; at < text.size(); at = text.find('\n', at) + 1) {
    const std::size_t quote = text.find("\",", at + 1);
    const std::size_t idEnd = text.find(',', quote + 2);
    const std::string raw = text.substr(at + 1, quote - at - 1);
    const std::size_t group = sample::findDayTimeGroup(raw);
    rows[text.substr(quote + 2, idEnd - quote - 2)] = {
        group == std::string::npos ? raw : raw.substr(0, group) + raw.substr(group + 6),
        IsoSeconds(text.substr(idEnd + 1, text.find(',', idEnd + 1) - idEnd - 1))};
  }
  return rows;
}

// Held back an hour, the service shows the day up to an hour before its
// end; moved on by an hour, it shows what the plain service shows, an hour
// later, and a report that was already in keeps its time.
TEST_F(SampleMetarApi, AdvancingBringsInTheHeldBackReportsAtTheirOwnTimes) {
  sample::SampleService held(kList);
  held.useMetarDay(day);
  held.holdBack(60);
  held.setNow(kNow);
  ASSERT_TRUE(held.start(0));
  const auto plain = CacheRows(service->listeningPort());
  const auto before = CacheRows(held.listeningPort());
  ASSERT_GT(plain.size(), 4000u);

  httplib::Client client("127.0.0.1", held.listeningPort());
  for (const char* refused : {"x", "0", "-5", "", "20000"}) {
    auto answer = client.Post(std::string("/sample/advance?minutes=") + refused);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 400) << refused;
  }
  EXPECT_EQ(held.advancedMinutes(), 0);
  auto answer = client.Post("/sample/advance?minutes=45");
  ASSERT_TRUE(answer && answer->status == 200);
  held.advance(15);  // the same from the program that runs the service
  EXPECT_EQ(held.advancedMinutes(), 60);
  const auto after = CacheRows(held.listeningPort());

  ASSERT_EQ(after.size(), plain.size());
  int moved = 0;
  for (const auto& [id, row] : plain) {
    ASSERT_TRUE(after.count(id)) << id;
    EXPECT_EQ(after.at(id).text, row.text) << id;
    EXPECT_EQ(after.at(id).time, row.time + 3600) << id;
    // A report already in keeps its time; a station's newer one came in.
    const auto was = before.find(id);
    if (was != before.end() && was->second.time == after.at(id).time) {
      EXPECT_EQ(was->second.text, row.text) << id;
    } else {
      ++moved;
      if (was != before.end()) {
        EXPECT_LT(was->second.time, after.at(id).time) << id;
      }
    }
  }
  // Most stations report at least hourly.
  EXPECT_GT(moved, 2000);
  // The METAR answers are of the later time too.
  httplib::Client api("127.0.0.1", held.listeningPort());
  auto latest = api.Get("/api/data/metar?format=json&ids=EGLL");
  ASSERT_TRUE(latest && latest->status == 200);
  EXPECT_EQ(json::parse(latest->body)[0]["obsTime"].get<std::time_t>(), after.at("EGLL").time);
  EXPECT_LE(after.at("EGLL").time, kNow + 3600);
}

// Cycle-file lines with time lines: the anchor follows them, non-reports
// are skipped, and of a report sent twice the longer one stays.
TEST(SampleMetarDay, ReadsCycleLines) {
  sample::SampleMetarDay day;
  day.load(
      "2010/12/31 23:55\nKXYZ 312350Z 27010KT 10SM CLR 01/M01 A3001\n"
      "KXYZ 312350Z 27010KT 10SM CLR 01/M01 A3001 RMK AO2\nAAXX 31234 12345\n\n"
      "2011/01/01 00:55\nKXYZ 010050Z 28012G20KT 3SM -SN OVC008 M01/M02 A2999=\n",
      0);
  EXPECT_EQ(day.reportCount(), 2u);
  const std::unordered_map<std::string, const sample::SampleStation*> none;
  const json list = json::parse(day.metarApi("KXYZ", "json", "2", true, kNow, none).body);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["obsTime"], kNow / 60 * 60);
  EXPECT_EQ(list[1]["obsTime"], kNow / 60 * 60 - 3600);
  EXPECT_TRUE(list[1]["rawOb"].get<std::string>().ends_with("A3001 RMK AO2"));
  EXPECT_EQ(list[0]["wxString"], "-SN");
  EXPECT_EQ(list[0]["wgst"], 20);
}

}  // namespace
}  // namespace nimbrel
