#include <gtest/gtest.h>
#include <httplib.h>

#include <ctime>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "SampleService.h"
#include "SampleTafCorpus.h"
#include "metar/TafDecoder.h"

namespace nimbrel {
namespace {

using nlohmann::json;

// Not on a whole hour, so the move must keep minutes apart from hours.
constexpr std::time_t kNow = 1765000030;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::time_t seconds(const UtcDateTime& t) { return static_cast<std::time_t>(t.epochMinutes() * 60); }

std::time_t isoSeconds(const std::string& iso) {
  std::tm tm{};
  EXPECT_NE(strptime(iso.c_str(), "%Y-%m-%dT%H:%M:%S", &tm), nullptr) << iso;
  return timegm(&tm);
}

// The groups of a TAF as the comparison sees them: "TAF" first, no "=".
std::vector<std::string> groupsOf(std::string text) {
  while (!text.empty() && (text.back() == '=' || text.back() == ' ')) text.pop_back();
  std::istringstream in(text);
  std::vector<std::string> groups;
  for (std::string g; in >> g;) groups.push_back(g);
  if (!groups.empty() && groups[0] != "TAF") groups.insert(groups.begin(), "TAF");
  return groups;
}

// Where a group holds day-times: positions of their "ddhh" figures, and
// whether minutes follow. Read here with patterns of its own.
std::vector<std::pair<std::size_t, bool>> dayTimesIn(const std::string& group) {
  static const std::regex issue(R"(\d{6}Z)"), period(R"(\d{4}/\d{4})"), from(R"(FM\d{6})"),
      temperature(R"(T[XN]?M?\d{1,2}/\d{4}Z)");
  if (std::regex_match(group, issue)) return {{0, true}};
  if (std::regex_match(group, period)) return {{0, false}, {5, false}};
  if (std::regex_match(group, from)) return {{2, true}};
  if (std::regex_match(group, temperature)) return {{group.size() - 5, false}};
  return {};
}

// A day-time within a few days of `near`, hour 24 being the next day's 00.
std::time_t timeNear(const std::string& group, std::size_t at, bool minutes, std::time_t near) {
  const int day = std::stoi(group.substr(at, 2)), hour = std::stoi(group.substr(at + 2, 2));
  const int minute = minutes ? std::stoi(group.substr(at + 4, 2)) : 0;
  for (int offset = -4; offset <= 4; ++offset) {
    std::time_t t = near / 86400 * 86400 + offset * 86400;
    std::tm utc{};
    gmtime_r(&t, &utc);
    if (utc.tm_mday == day) return t + hour * 3600 + minute * 60;
  }
  ADD_FAILURE() << group << " is not near " << near;
  return 0;
}

struct CorpusTaf {
  std::string date;
  std::string text;
};

// The service on the shipped station list and TAFs at a fixed now, and the
// shipped TAFs by station, read here from the file.
class SampleTafApi : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service = new sample::SampleService(readText(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"));
    std::string error;
    ASSERT_TRUE(service->loadTafCorpus(NIMBREL_TAF_CORPUS, error)) << error;
    service->setNow(kNow);
    ASSERT_TRUE(service->start(0));
    std::istringstream in(readText(NIMBREL_TAF_CORPUS));
    for (std::string line; std::getline(in, line);) {
      const std::size_t tab = line.find('\t');
      if (tab != 10) continue;
      const std::vector<std::string> groups = groupsOf(line.substr(tab + 1));
      const std::size_t at = groups.size() > 2 && (groups[1] == "AMD" || groups[1] == "COR") ? 2 : 1;
      (*corpus)[groups[at]].push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
  }
  static void TearDownTestSuite() { delete service; }

  static httplib::Result get(const std::string& path) {
    httplib::Client client("127.0.0.1", service->listeningPort());
    return client.Get(path);
  }
  static json tafs(const std::string& ids) {
    auto result = get("/api/data/taf?format=json&ids=" + ids);
    EXPECT_TRUE(result && result->status == 200) << ids;
    if (!result || result->status != 200) return json::array();
    return json::parse(result->body);
  }

  static inline sample::SampleService* service = nullptr;
  static inline auto* corpus = new std::map<std::string, std::vector<CorpusTaf>>;
};

// Every listed station with a TAF in the file: the answer is the newest of
// them with only its day-times moved, all by one whole number of hours, to
// an issue just before now and a validity around now.
TEST_F(SampleTafApi, EachTafIsTheNewestOfTheFileMovedByWholeHours) {
  std::vector<std::string> stations;
  for (const auto& entry : *corpus) stations.push_back(entry.first);
  std::size_t served = 0;
  for (std::size_t batch = 0; batch < stations.size(); batch += 40) {
    std::string ids;
    for (std::size_t i = batch; i < std::min(batch + 40, stations.size()); ++i) ids += stations[i] + ",";
    for (const json& o : tafs(ids)) {
      ++served;
      const std::string raw = o["rawTAF"];
      SCOPED_TRACE(raw);
      ASSERT_TRUE(raw.starts_with("TAF "));
      const std::time_t issued = isoSeconds(o["issueTime"]);
      const std::time_t from = o["validTimeFrom"], to = o["validTimeTo"];
      const TafReport decoded = decodeTaf(raw, UtcDateTime::fromEpochMinutes(issued / 60));
      ASSERT_NE(decoded.status, MetarStatus::Rejected) << decoded.rejectReason;
      ASSERT_TRUE(decoded.issued);
      EXPECT_EQ(seconds(*decoded.issued), issued);
      EXPECT_EQ(seconds(decoded.validFrom), from);
      EXPECT_EQ(seconds(decoded.validTo), to);
      EXPECT_EQ(decoded.station, o["icaoId"]);
      EXPECT_LE(from, kNow);
      EXPECT_GT(to, kNow);
      EXPECT_LE(issued, kNow);
      EXPECT_GT(std::max(issued, from), kNow - 3600) << "the later of issue and start lies in the last hour";

      // The file's TAFs of the station whose other groups are the same.
      const std::vector<std::string> servedGroups = groupsOf(raw);
      std::string newest;
      const std::vector<CorpusTaf>& ofStation = (*corpus)[o["icaoId"].get<std::string>()];
      for (const CorpusTaf& c : ofStation) newest = std::max(newest, c.date);
      int matches = 0;
      for (const CorpusTaf& c : ofStation) {
        const std::vector<std::string> original = groupsOf(c.text);
        if (original.size() != servedGroups.size()) continue;
        const int year = std::stoi(c.date.substr(0, 4)), month = std::stoi(c.date.substr(5, 2));
        const TafReport then = decodeTaf(c.text, {year, month, std::stoi(c.date.substr(8, 2)), 12, 0});
        if (!then.issued) continue;
        const std::time_t shift = issued - seconds(*then.issued);
        bool same = true;
        int moved = 0;
        for (std::size_t i = 0; i < original.size() && same; ++i) {
          const auto fields = dayTimesIn(original[i]);
          if (fields.empty() || original[i].size() != servedGroups[i].size()) {
            same = original[i] == servedGroups[i];
            continue;
          }
          for (const auto& [at, minutes] : fields) {
            const std::time_t before = timeNear(original[i], at, minutes, seconds(then.validFrom));
            const std::time_t after = timeNear(servedGroups[i], at, minutes, from);
            same = same && after - before == shift;
            ++moved;
          }
          std::string outside = original[i], servedOutside = servedGroups[i];
          for (const auto& [at, minutes] : fields) {
            outside.replace(at, 4, "dddd");
            servedOutside.replace(at, 4, "dddd");
          }
          same = same && outside == servedOutside;
        }
        if (!same) continue;
        ++matches;
        EXPECT_EQ(shift % 3600, 0);
        EXPECT_GE(moved, 3) << "issue time and validity at least";
        EXPECT_EQ(c.date, newest);
      }
      EXPECT_GE(matches, 1) << "not a TAF of the file with its day-times moved";
      EXPECT_FALSE(o["name"].get<std::string>().empty()) << "only listed stations";
    }
  }
  EXPECT_GT(served, 240u) << "most stations of the file are on the list";
  RecordProperty("stations_with_taf", static_cast<int>(served));
}

// A forecast group in short: change, hours from the start of validity, wind,
// visibility, weather.
std::string summary(const json& g, std::time_t start) {
  auto hours = [&](const json& t) { return std::to_string((t.get<std::time_t>() - start) / 3600); };
  std::string text = g["fcstChange"].is_null() ? "BASE" : g["fcstChange"].get<std::string>();
  if (!g["probability"].is_null()) text += g["probability"].dump();
  return text + " " + hours(g["timeFrom"]) + ".." + hours(g["timeTo"]) + " " + g["wdir"].dump() + "/" +
         g["wspd"].dump() + "G" + g["wgst"].dump() + " " + g["visib"].dump() + " " + g["wxString"].dump();
}

// Two TAFs read by hand from the file:
// LLBG 110501Z 1106/1206 24020G30KT 2500 DU NSC TEMPO 1106/1109 25025G40KT 0900
//   DS FEW030 BECMG 1112/1114 5000 SHRA SCT025TCU BKN030 TEMPO 1114/1206 25025G40KT
//   3000 TSRA FEW015 SCT025CB BKN030 TX15/1111Z TN13/1204Z
// CYHZ 111738Z 1118/1218 14010G20KT P6SM -SHRA OVC040 TEMPO 1118/1122 5SM -SHRA BR
//   OVC020 FM112200 15012G22KT 6SM -RA BR SCT008 OVC020 TEMPO 1122/1202 3SM -RA BR
//   BKN008 OVC020 FM120200 16010KT 2SM -RA BR BKN004 OVC008 PROB30 1202/1212 1/4SM
//   FG VV001 FM121200 32008KT P6SM OVC008 FM121500 35010KT P6SM OVC015 RMK NXT FCST BY 112100Z
TEST_F(SampleTafApi, ForecastsCarryTheDecodedGroups) {
  const std::map<std::string, std::vector<std::string>> expected{
      {"LLBG",
       {R"(BASE 0..24 240/20G30 1.55 "DU")", R"(TEMPO 0..3 250/25G40 0.56 "DS")",
        R"(BECMG 6..8 null/nullGnull 3.11 "SHRA")", R"(TEMPO 8..24 250/25G40 1.86 "TSRA")"}},
      {"CYHZ",
       {R"(BASE 0..4 140/10G20 "6+" "-SHRA")", R"(TEMPO 0..4 null/nullGnull 5 "-SHRA BR")",
        R"(FM 4..8 150/12G22 6 "-RA BR")", R"(TEMPO 4..8 null/nullGnull 3 "-RA BR")",
        R"(FM 8..18 160/10Gnull 2 "-RA BR")", R"(PROB30 8..18 null/nullGnull 0.25 "FG")",
        R"(FM 18..21 320/8Gnull "6+" null)", R"(FM 21..24 350/10Gnull "6+" null)"}},
  };
  for (const auto& [icao, groups] : expected) {
    const json list = tafs(icao);
    ASSERT_EQ(list.size(), 1u) << icao;
    const std::time_t from = list[0]["validTimeFrom"];
    EXPECT_EQ(list[0]["validTimeTo"].get<std::time_t>() - from, 24 * 3600) << icao;
    std::vector<std::string> served;
    for (const json& g : list[0]["fcsts"]) served.push_back(summary(g, from));
    EXPECT_EQ(served, groups) << icao;
  }
  const json llbg = tafs("LLBG")[0], cyhz = tafs("CYHZ")[0];
  EXPECT_EQ(llbg["validTimeFrom"].get<std::time_t>() - isoSeconds(llbg["issueTime"]), 59 * 60);
  EXPECT_EQ(llbg["fcsts"][1]["clouds"], json::parse(R"([{"cover":"FEW","base":3000,"type":null}])"));
  EXPECT_EQ(llbg["fcsts"][2]["timeBec"], llbg["fcsts"][2]["timeTo"]);
  EXPECT_EQ(llbg["fcsts"][2]["clouds"][0]["type"], "TCU");
  EXPECT_EQ(cyhz["fcsts"][5]["clouds"], json::parse(R"([{"cover":"OVX","base":100,"type":null}])"));
  // The remark's next issue time moved with the rest.
  const std::string raw = cyhz["rawTAF"];
  ASSERT_TRUE(raw.ends_with("Z") && raw.find("RMK NXT FCST BY") != std::string::npos);
  EXPECT_EQ(timeNear(raw.substr(raw.size() - 7), 0, true, cyhz["validTimeFrom"]),
            cyhz["validTimeFrom"].get<std::time_t>() + 3 * 3600);
}

TEST_F(SampleTafApi, StationsWithoutTafAndSeveralIds) {
  ASSERT_FALSE(corpus->contains("KJFK"));
  EXPECT_EQ(tafs("KJFK"), json::array());
  EXPECT_EQ(tafs("ZZZZ"), json::array());
  // Stations of the file that are not on the list have none either.
  const auto listed = sample::readSampleStations(readText(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt"));
  std::set<std::string> onList;
  for (const auto& station : listed) onList.insert(station.icao);
  int offList = 0;
  for (const auto& entry : *corpus) {
    if (onList.contains(entry.first)) continue;
    ++offList;
    EXPECT_EQ(tafs(entry.first), json::array()) << entry.first;
  }
  EXPECT_GT(offList, 0);
  json alone = json::array();
  for (const char* icao : {"EGLL", "LLBG", "CYHZ"}) {
    const json one = tafs(icao);
    ASSERT_EQ(one.size(), 1u) << icao;
    alone.push_back(one[0]);
  }
  EXPECT_EQ(tafs("egll,KJFK%20LLBG,ZZZZ,CYHZ,EGLL"), alone);
}

std::string isoText(std::time_t t, const char* format = "%Y-%m-%dT%H:%M:%SZ") {
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, format, &utc);
  return text;
}

// With a date of the replayed day: the TAF valid then (issued and begun by
// it, the later in the hour before) or issued in the hour up to it; none
// outside the day; the date now gives what no date gives.
TEST_F(SampleTafApi, APastDateGivesTheTafValidOrIssuedThen) {
  const json current = tafs("LLBG,CYHZ");
  ASSERT_EQ(current.size(), 2u);
  EXPECT_EQ(tafs("LLBG,CYHZ&date=" + isoText(kNow)), current);
  for (const std::time_t before : {std::time_t{5 * 3600 + 30}, std::time_t{23 * 3600}}) {
    const std::time_t at = kNow - before;
    for (const std::string& date : {isoText(at), isoText(at, "%Y%m%d_%H%M%S"), isoText(at, "%Y%m%d_%H%MZ")}) {
      SCOPED_TRACE(date);
      const json valid = tafs("LLBG,CYHZ&date=" + date);
      const json issued = tafs("LLBG,CYHZ&time=issue&date=" + date);
      ASSERT_EQ(valid.size(), 2u);
      ASSERT_EQ(issued.size(), 2u);
      const std::time_t minute = at / 60 * 60;  // the compact form may leave out the seconds
      for (std::size_t i = 0; i < 2; ++i) {
        const json& o = valid[i];
        const std::time_t issue = isoSeconds(o["issueTime"]), from = o["validTimeFrom"], to = o["validTimeTo"];
        EXPECT_LE(std::max(issue, from), at);
        EXPECT_GT(std::max(issue, from), minute - 3600);
        EXPECT_GT(to, at);
        EXPECT_EQ(o["mostRecent"], 0);
        // The same TAF as now, moved back by whole hours, its text with it.
        EXPECT_EQ((isoSeconds(current[i]["issueTime"]) - issue) % 3600, 0);
        EXPECT_EQ(to - from, current[i]["validTimeTo"].get<std::time_t>() - current[i]["validTimeFrom"].get<std::time_t>());
        const TafReport decoded = decodeTaf(o["rawTAF"].get<std::string>(), UtcDateTime::fromEpochMinutes(issue / 60));
        ASSERT_TRUE(decoded.issued);
        EXPECT_EQ(seconds(*decoded.issued), issue);
        EXPECT_EQ(seconds(decoded.validFrom), from);

        const std::time_t issuedAt = isoSeconds(issued[i]["issueTime"]);
        EXPECT_LE(issuedAt, at);
        EXPECT_GT(issuedAt, minute - 3600);
      }
    }
  }
  EXPECT_EQ(tafs("LLBG&date=" + isoText(kNow + 3600)), json::array()) << "after now";
  EXPECT_EQ(tafs("LLBG&date=" + isoText(kNow - 25 * 3600)), json::array()) << "before the day replayed";
  EXPECT_EQ(tafs("KJFK&date=" + isoText(kNow - 3600)), json::array()) << "a station without TAF";
}

TEST_F(SampleTafApi, BadRequestsAreJsonErrors) {
  for (const char* query : {"format=json", "ids=&format=json", "ids=LLBG", "ids=LLBG&format=raw",
                            "ids=LLBG&format=json&date=2025-12-06", "ids=LLBG&format=json&date=2025-12-06T05:00:00Zx",
                            "ids=LLBG&format=json&date=2025-02-30T05:00:00Z", "ids=LLBG&format=json&date=20251206_05",
                            "ids=LLBG&format=json&time=later"}) {
    auto result = get(std::string("/api/data/taf?") + query);
    ASSERT_TRUE(result) << query;
    EXPECT_EQ(result->status, 400) << query;
    EXPECT_TRUE(json::parse(result->body).contains("error")) << query;
  }
}

// Any move, across month ends, leaves a TAF that decodes to its own times
// moved by the same hours; hour 24 stays hour 24 when it lands on midnight.
// Moved on three hours, the service answers as one whose clock reads three hours later.
TEST_F(SampleTafApi, AdvancingGivesTheTafsOfTheLaterTime) {
  const std::string list = readText(std::string(NIMBREL_SOURCE_DIR) + "/data/Stations.txt");
  std::string error;
  sample::SampleService advanced(list), later(list);
  for (sample::SampleService* s : {&advanced, &later}) ASSERT_TRUE(s->loadTafCorpus(NIMBREL_TAF_CORPUS, error)) << error;
  advanced.setNow(kNow);
  later.setNow(kNow + 3 * 3600);
  ASSERT_TRUE(advanced.start(0) && later.start(0));
  advanced.advance(180);
  auto body = [](const sample::SampleService& s) {
    httplib::Client client("127.0.0.1", s.listeningPort());
    auto result = client.Get("/api/data/taf?format=json&ids=EGLL,LLBG,CYHZ");
    return result && result->status == 200 ? json::parse(result->body) : json();
  };
  const json moved = body(advanced);
  ASSERT_EQ(moved.size(), 3u);
  EXPECT_EQ(moved, body(later));
  const json before = tafs("EGLL,LLBG,CYHZ");
  ASSERT_EQ(before.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(isoSeconds(moved[i]["issueTime"]) - isoSeconds(before[i]["issueTime"]), 3 * 3600) << moved[i]["rawTAF"];
}

TEST(SampleTafShift, DecodesToTheSameTimesMoved) {
  const struct {
    const char* raw;
    UtcDateTime date;
  } cases[] = {
      {"TAF KXYZ 312330Z 0100/0124 27010KT P6SM SKC FM011530 28012KT 5SM -RA BKN020 "
       "TEMPO 0118/0122 2SM TSRA OVC010CB TX10/0121Z TNM02/0124Z RMK NXT FCST BY 010600Z",
       {2019, 1, 31, 12, 0}},
      // A validity of the longest, 30 hours, that ends two dates after it starts
      // (hour 24), across a leap February's end.
      {"TAF RJOB 291705Z 2918/0124 27010KT 9999 FEW015 TEMPO 2922/0102 3000 BR TX31/0106Z TN21/0120Z",
       {2020, 2, 29, 12, 0}},
  };
  for (const auto& c : cases) {
    const std::string raw = c.raw;
    const TafReport original = decodeTaf(raw, c.date);
    ASSERT_EQ(original.status, MetarStatus::Ok) << raw;
    for (std::int64_t hours = -50; hours <= 24 * 70; hours += 7) {
      const std::string moved = sample::shiftTafDayTimes(raw, original.validFrom, hours);
      SCOPED_TRACE(moved);
      const TafReport m = decodeTaf(moved, original.issued->addMinutes(hours * 60));
      ASSERT_EQ(m.status, MetarStatus::Ok);
      EXPECT_EQ(*m.issued, original.issued->addMinutes(hours * 60));
      EXPECT_EQ(m.validTo, original.validTo.addMinutes(hours * 60));
      ASSERT_EQ(m.groups.size(), original.groups.size());
      for (std::size_t i = 0; i < m.groups.size(); ++i) {
        EXPECT_EQ(m.groups[i].from, original.groups[i].from.addMinutes(hours * 60));
        EXPECT_EQ(m.groups[i].to, original.groups[i].to.addMinutes(hours * 60));
      }
      ASSERT_EQ(m.temperatures.size(), 2u);
      EXPECT_EQ(m.temperatures[1].time, original.temperatures[1].time.addMinutes(hours * 60));
      if (hours % 24 == 0 && raw.find("24 ") != std::string::npos) {
        EXPECT_NE(moved.find("24 27010KT"), std::string::npos) << "hour 24 stays hour 24";
      }
    }
  }
}

}  // namespace
}  // namespace nimbrel
