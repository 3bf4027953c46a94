// nimbrel-report chart run as a whole process: its rows against real
// reports under each units preset, zone and Time UTC choice, its picture,
// the service at a loopback address, and its error exits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "metar/MetarDecoder.h"
#include "metar/UtcDateTime.h"
#include "reportstore/ReportStore.h"
#include "support/LocalHttpServer.h"
#include "support/ReadFile.h"
#include "support/RunTool.h"
#include "support/StationListLines.h"
#include "support/TempFolder.h"
#include "support/ZoneScope.h"

namespace nimbrel::test {
namespace {

using Fields = std::vector<std::string>;

// One fixture report: its time and what the test reads of it on its own.
struct Report {
  std::int64_t at = 0;  // UTC
  std::string raw;
  double celsius = NAN;  // as the decoder gives it
  double knots = NAN;    // from the wind group
  double inches = NAN;   // from the A group
};

const char* const kNow = "2020-08-01T14:05Z";

class ChartCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(std::string(NIMBREL_FIXTURES_DIR) + "/metar/ktpa-2020-08-01.txt");
    std::string line;
    std::vector<StoredMetar> stored;
    while (std::getline(in, line)) {
      Report r;
      int y, mo, d, h, mi;
      ASSERT_EQ(std::sscanf(line.c_str(), "%4d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi), 5);
      r.raw = line.substr(13, line.find_last_not_of("= ") - 12);
      std::tm fields{};
      fields.tm_year = y - 1900;
      fields.tm_mon = mo - 1;
      fields.tm_mday = d;
      fields.tm_hour = h;
      fields.tm_min = mi;
      const UtcDateTime anchor = UtcDateTime::fromEpochMinutes(timegm(&fields) / 60);
      r.at = anchor.epochMinutes() * 60;
      const MetarReport decoded = decodeMetar(r.raw, anchor);
      r.celsius = decoded.temperatureC.value_or(NAN);
      std::smatch m;
      if (std::regex_search(r.raw, m, std::regex(" (\\d{3}|VRB)(\\d{2})KT "))) r.knots = std::stod(m[2]);
      if (std::regex_search(r.raw, m, std::regex(" A(\\d{4}) "))) r.inches = std::stod(m[1]) / 100.0;
      const auto row = storedMetar(r.raw, anchor);
      ASSERT_TRUE(row) << r.raw;
      stored.push_back(*row);
      reports.push_back(r);
    }
    ASSERT_EQ(reports.size(), 14u);
    ASSERT_EQ(reports.front().at, 1596243180);  // 2020-08-01T00:53Z
    {
      ReportStore store(folder / "reports.sqlite");
      ASSERT_TRUE(store.putMetars(stored));
    }
    LineFields tampa;
    tampa.cd = "FL";
    tampa.name = "TAMPA";
    tampa.icao = "KTPA";
    tampa.cy = "US";
    std::ofstream(folder / "Stations.txt") << StationLine(tampa) << "\n";
  }

  // The command in the test's folder (its station list there, no other),
  // in a zone, under a watchdog; standard error kept apart.
  ToolRun Chart(const std::string& arguments, const std::string& zone = "UTC") {
    const std::filesystem::path errors = folder / "errors.txt";
    ToolRun run = RunCommandLine("cd '" + folder.Path().string() + "' && HOME='" + folder.Path().string() +
                                 "' XDG_DATA_HOME= TZ=" + zone + " QT_QPA_PLATFORM=offscreen timeout 20 '" +
                                 NIMBREL_REPORT_TOOL + "' chart " + arguments + " 2>'" + errors.string() + "'");
    run.errors = ReadAll(errors);
    return run;
  }

  // The output's lines split into fields, by their first field.
  static std::multimap<std::string, Fields> Rows(const std::string& out) {
    std::multimap<std::string, Fields> rows;
    for (const std::string& line : Split(out, '\n')) {
      if (line.empty()) continue;
      Fields fields = Split(line, '\t');
      rows.emplace(fields.front(), fields);
    }
    return rows;
  }

  static std::string IsoUtc(std::int64_t utc) {
    const std::time_t t = utc;
    std::tm f{};
    gmtime_r(&t, &f);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%MZ", &f);
    return text;
  }

  TempFolder folder;
  std::vector<Report> reports;
};

// Every point equals the report's value converted once, independently
// here; every axis label reads its UTC time in the zone asked for.
TEST_F(ChartCommandTest, TextRowsFollowUnitsZoneAndTime) {
  const struct {
    const char* units;
    const char* zone;
    bool utc;
    double (*temperature)(double celsius);
    double (*pressure)(double inches);
    double (*speed)(double knots);
    const char* degree;  // the temperature legend's unit
  } cases[] = {
      {"--units us", "America/New_York", false, [](double c) { return c * 1.8 + 32; }, [](double in) { return in; },
       [](double kt) { return kt * 1852.0 / 1609.344; }, "\u00B0F"},
      {"--units metric", "Asia/Kolkata", true, [](double c) { return c; },
       [](double in) { return in * 33.8638866667 - 1000; }, [](double kt) { return kt * 1.852; }, "\u00B0C"},
      {"--units aviation", "Australia/Lord_Howe", false, [](double c) { return c; },
       [](double in) { return in * 33.8638866667 - 1000; }, [](double kt) { return kt; }, "\u00B0C"},
      {"", "UTC", true, [](double c) { return c; }, [](double in) { return in * 33.8638866667 - 1000; },
       [](double kt) { return kt * 1852.0 / 3600; }, "\u00B0C"},
      {"--units us", "Asia/Kolkata", false, [](double c) { return c * 1.8 + 32; }, [](double in) { return in; },
       [](double kt) { return kt * 1852.0 / 1609.344; }, "\u00B0F"},
  };
  int checked = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.units) + " " + c.zone + (c.utc ? " utc" : " local"));
    const ToolRun run = Chart(std::string("KTPA --store reports.sqlite --hours 14 --now ") + kNow + " " + c.units +
                              " --time " + (c.utc ? "utc" : "local") + " --text", c.zone);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.count("title"), 1u);
    EXPECT_EQ(rows.find("title")->second[1].rfind("TAMPA   FL", 0), 0u) << rows.find("title")->second[1];
    ASSERT_EQ(rows.count("legend"), 4u);
    EXPECT_NE(rows.find("legend")->second[1].find(c.degree), std::string::npos);
    ASSERT_EQ(rows.count("now"), 1u);
    EXPECT_EQ(rows.find("now")->second[1], kNow);
    ASSERT_EQ(rows.count("caption"), 1u);
    EXPECT_EQ(rows.find("caption")->second[1].find(" UTC ") != std::string::npos, c.utc);

    // The legend's series titles in their order: temperature, pressure,
    // wind speed, wind direction.
    std::vector<std::string> legend;
    for (auto [it, end] = rows.equal_range("legend"); it != end; ++it) legend.push_back(it->second[1]);
    std::map<std::string, int> seen;
    for (auto [it, end] = rows.equal_range("point"); it != end; ++it) {
      const Fields& f = it->second;
      ASSERT_EQ(f.size(), 5u);
      const Report* report = nullptr;
      for (const Report& r : reports)
        if (IsoUtc(r.at) == f[3]) report = &r;
      ASSERT_NE(report, nullptr) << f[3];
      const double value = std::stod(f[4]);
      ++seen[f[1]];
      if (f[1] == legend[0]) {
        EXPECT_NEAR(value, c.temperature(report->celsius), 0.0051) << report->raw;
      }
      if (f[1] == legend[1]) {
        EXPECT_NEAR(value, c.pressure(report->inches), 0.0151) << report->raw;
      }
      if (f[1] == legend[2]) {
        EXPECT_NEAR(value, c.speed(report->knots), 0.0151) << report->raw;
      }
      // The row's time as the axis shows it, in the zone asked for.
      ZoneScope zone(c.zone);
      const std::time_t t = report->at;
      std::tm shown{};
      c.utc ? gmtime_r(&t, &shown) : localtime_r(&t, &shown);
      char clock[8];
      std::snprintf(clock, sizeof clock, "%02d:%02d", shown.tm_hour, shown.tm_min);
      EXPECT_EQ(f[2], clock);
      ++checked;
    }
    EXPECT_EQ(seen[legend[0]], 14);
    EXPECT_EQ(seen[legend[1]], 14);
    EXPECT_EQ(seen[legend[2]], 14);
    EXPECT_EQ(seen[legend[3]], 12) << "the calm and the variable wind have no direction";

    ASSERT_GE(rows.count("axis"), 2u);
    for (auto [it, end] = rows.equal_range("axis"); it != end; ++it) {
      const Fields& f = it->second;
      ASSERT_EQ(f.size(), 4u);
      std::tm fields{};
      ASSERT_NE(strptime(f[3].c_str(), "%Y-%m-%dT%H:%MZ", &fields), nullptr) << f[3];
      const std::time_t utc = timegm(&fields);
      ZoneScope zone(c.zone);
      std::tm shown{};
      c.utc ? gmtime_r(&utc, &shown) : localtime_r(&utc, &shown);
      char clock[8];
      std::snprintf(clock, sizeof clock, "%02d:%02d", shown.tm_hour, shown.tm_min);
      EXPECT_EQ(f[1], clock) << f[3];
      if (!f[2].empty()) {
        EXPECT_EQ(f[2].substr(0, f[2].find(' ')), std::to_string(shown.tm_mday));
      }
      ++checked;
    }
    const auto details = rows.equal_range("detail");
    ASSERT_NE(details.first, details.second);
    EXPECT_EQ(details.first->second[1].rfind("DATE: ", 0), 0u);
    bool newest = false;
    for (auto it = details.first; it != details.second; ++it) newest |= it->second[1].find("KTPA 011353Z") != std::string::npos;
    EXPECT_TRUE(newest) << "the newest report's detail lines";
  }
  std::printf("[ chart rows checked: %d ]\n", checked);
}

std::pair<int, int> PngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  auto read = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  return {read(16), read(20)};
}

TEST_F(ChartCommandTest, PngOfTheAskedOrTheWindowsSize) {
  const std::string common = std::string("KTPA --store reports.sqlite --hours 14 --now ") + kNow;
  ToolRun run = Chart(common + " --png sized.png --size 480x360 --units us");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(PngSize(ReadAll(folder / "sized.png")), std::make_pair(480, 360));
  run = Chart(common + " --png window.png");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::string picture = ReadAll(folder / "window.png");
  EXPECT_EQ(PngSize(picture), std::make_pair(650, 670));
  EXPECT_GT(picture.size(), 5000u) << "a chart, not a blank page";
}

// A chart as at a past time shows no report after it.
TEST_F(ChartCommandTest, NowEndsTheReports) {
  const ToolRun run = Chart("KTPA --store reports.sqlite --hours 3 --time utc --now 2020-08-01T05:58Z");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  std::set<std::string> times;
  const auto rows = Rows(run.out);
  for (auto [it, end] = rows.equal_range("point"); it != end; ++it) times.insert(it->second[2]);
  EXPECT_EQ(times, (std::set<std::string>{"03:53", "04:53", "05:53"}));
}

// The service's answer at a loopback address makes the same chart.
TEST_F(ChartCommandTest, FromTheServiceAtAnAddress) {
  LocalHttpServer server;
  std::string asked;
  std::string json = "[";
  for (auto it = reports.rbegin(); it != reports.rend(); ++it)
    json += (json.size() > 1 ? "," : "") + std::string("{\"icaoId\": \"KTPA\", \"rawOb\": \"") + it->raw +
            "\", \"obsTime\": " + std::to_string(it->at) + "}";
  json += "]";
  server.Server().Get("/api/data/metar", [&](const httplib::Request& request, httplib::Response& response) {
    asked = request.get_param_value("ids") + " " + request.get_param_value("hours");
    response.set_content(json, "application/json");
  });
  // Its forecast runs the axis on past now and ends the detail lines.
  server.Serve("/api/data/taf",
               R"([{"issueTime": "2020-08-01T11:20:00.000Z", "rawTAF": "TAF KTPA 011120Z 0112/0212 16008KT P6SM FEW030"}])",
               "application/json");
  ASSERT_TRUE(server.start());
  const ToolRun run = Chart("ktpa --url http://127.0.0.1:" + std::to_string(server.listeningPort()) +
                            " --hours 14 --time utc --now " + kNow);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(asked, "KTPA 14");
  const auto rows = Rows(run.out);
  EXPECT_NE(rows.find("title")->second[1].find("live METAR"), std::string::npos);
  EXPECT_EQ(rows.count("point"), 14u * 3 + 12);
  EXPECT_GE(rows.count("axis"), 2u);
  EXPECT_GT((--rows.upper_bound("axis"))->second[3], kNow) << "the axis goes on into the forecast";
  const auto lastDetail = (--rows.upper_bound("detail"))->second[1];
  EXPECT_EQ(lastDetail.rfind("FORECAST: issued 8/1/2020 11:20 UTC: TAF KTPA", 0), 0u) << lastDetail;
}

TEST_F(ChartCommandTest, ErrorsSayWhyAndExitNonZero) {
  std::ofstream(folder / "junk.sqlite") << "not a store at all, just some text\n";
  const std::string at = std::string(" --now ") + kNow;
  const struct {
    std::string arguments;
    int exitCode;
    std::string message;  // in standard error
  } cases[] = {
      {"KXYZ --store reports.sqlite" + at, 1, "no station KXYZ in the station list"},
      {"KTPA --store missing.sqlite" + at, 1, "no report store at missing.sqlite"},
      {"KTPA --store junk.sqlite" + at, 1, "can not read the report store"},
      {"KTPA --store reports.sqlite --now 2021-01-01T00:00Z", 1, "no report of KTPA in the past 6 hours"},
      {"KTPA --url http://127.0.0.1:" + std::to_string(ClosedPort()) + at, 1, "could not be reached"},
      {"KTPA --store reports.sqlite --url http://127.0.0.1:1", 2, "usage:"},
      {"--store reports.sqlite", 2, "usage:"},
      {"KTPA --units si", 2, "usage:"},
      {"KTPA --size 0x10 --png x.png", 2, "usage:"},
      {"KTPA --hours 721", 2, "--hours takes 1 to 720"},
      {"KTPA --now yesterday", 2, "usage:"},
      {"KTPA --url http://127.0.0.1:1 --timeout 0", 2, "usage:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ToolRun run = Chart(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    EXPECT_TRUE(run.out.empty());
  }
  // A service that never answers is given up on after --timeout seconds,
  // for the forecast and the reports alike.
  LocalHttpServer stalled;
  stalled.ServeStalled("/api/data/metar");
  stalled.ServeStalled("/api/data/taf");
  ASSERT_TRUE(stalled.start());
  const ToolRun late =
      Chart("KTPA --timeout 1 --url http://127.0.0.1:" + std::to_string(stalled.listeningPort()) + at);
  EXPECT_EQ(late.exitCode, 1);
  EXPECT_NE(late.errors.find("the service did not answer within 1 s"), std::string::npos) << late.errors;
  stalled.stop();

  // Without any station list the command names the places it looked in.
  std::filesystem::remove(folder / "Stations.txt");
  const ToolRun run = Chart("KTPA --store reports.sqlite" + at);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("Stations.txt"), std::string::npos) << run.errors;
}

}  // namespace
}  // namespace nimbrel::test
