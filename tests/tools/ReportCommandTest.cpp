#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "SampleService.h"
#include "metar/UtcDateTime.h"
#include "catalog/StationListReader.h"
#include "support/ReadFile.h"
#include "observations/CurlPageFetcher.h"
#include "reportstore/ReportStore.h"
#include "support/LocalHttpServer.h"
#include "support/RunTool.h"
#include "support/StationListLines.h"
#include "support/TempFolder.h"

namespace {

using nimbrel::test::RunTool;
using nimbrel::test::Split;
using nimbrel::test::ToolRun;

TEST(ReportCommand, DecodeWritesHeaderAndOneLinePerObservation) {
  const ToolRun decode = RunTool("decode " + std::string(NIMBREL_FIXTURES_DIR) + "/report_example.html");
  ASSERT_EQ(decode.exitCode, 0);
  const auto lines = Split(decode.out, '\n');
  ASSERT_EQ(lines.size(), 3u);  // header, one observation, the empty rest
  EXPECT_EQ(lines[0],
            "temperature\tdewpoint\thumidity\tpressure\twindSpeed\twindDirection\tvisibility\tpressureInches\t"
            "observed\tconditionsText\ttemperatureText\tdewpointText\tpressureText\twindsText\tvisibilityText\t"
            "ceilingText\tcloudsText\tweatherText\treportText");
  const auto fields = Split(lines[1], '\t');
  ASSERT_EQ(fields.size(), 19u);
  EXPECT_EQ(fields[0], "12.20");
  EXPECT_EQ(fields[1], "-3.90");
  EXPECT_EQ(fields[2], "32.00");
  EXPECT_EQ(fields[3], "1016.30");
  EXPECT_EQ(fields[4], "4.60");
  EXPECT_EQ(fields[5], "160.00");
  EXPECT_EQ(fields[6], "16000.00");
  EXPECT_EQ(fields[7], "30.01");
  EXPECT_EQ(fields[8], "2005-04-05 17:53");
  EXPECT_EQ(fields[9], "KXYZ  4/5/2005 UTC, observed 17:53 UTC");
  // The page's degree sign reaches the terminal as UTF-8.
  EXPECT_EQ(fields[10], "12.2\u00B0C (54\u00B0F)");
  EXPECT_EQ(fields[18], "KXYZ 051753Z 16009KT 10SM -RA FEW120 12/M04 A3001");
}

TEST(ReportCommand, ExitCodes) {
  EXPECT_EQ(RunTool("decode").exitCode, 2);
  EXPECT_EQ(RunTool("decode " + std::string(NIMBREL_SOURCE_DIR) + "/CMakeLists.txt").exitCode, 1);
  EXPECT_EQ(RunTool("fetch").exitCode, 2);
  EXPECT_EQ(RunTool("fetch KJFK --hours x").exitCode, 2);
}

// A download that gave no page says why, on one line, and exits 1.
TEST(ReportCommand, AFailedFetchSaysWhy) {
  nimbrel::test::LocalHttpServer server;
  server.Server().Get("/weather/surface/index.php", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_param_value("metarIds") == "LOOP") {
      response.set_redirect("/weather/surface/index.php?metarIds=LOOP");
      return;
    }
    response.status = 500;
    response.set_content("<P>broken</P>", "text/html");
  });
  ASSERT_TRUE(server.start());
  const std::string served = "127.0.0.1:" + std::to_string(server.listeningPort());
  const std::string refused = "127.0.0.1:" + std::to_string(nimbrel::test::ClosedPort());
  const struct {
    std::string icao;
    std::string host;
    std::string reason;  // the message's start after "URL: "
    std::string detail;  // in the rest of the message
  } cases[] = {
      {"EDDF", refused, "the service could not be reached (", "onnect"},
      {"EDDF", served, "the service answered with HTTP status 500", ""},
      {"LOOP", served, "the download failed (", "redirect"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool("fetch " + c.icao + " --host " + c.host, true);
    EXPECT_EQ(run.exitCode, 1) << c.reason;
    const std::string start = "nimbrel-report: http://" + c.host + "/weather/surface/index.php?metarIds=" + c.icao +
                              "&hoursStr=most+recent+only&std_trans=translated&num_metars=number&submit_metars="
                              "Retrieve: " + c.reason;
    EXPECT_EQ(run.out.substr(0, start.size()), start) << run.out;
    EXPECT_NE(run.out.find(c.detail, start.size()), std::string::npos) << run.out;
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "not one line: " << run.out;
    if (c.reason.back() == '(') {
      EXPECT_EQ(run.out.substr(run.out.size() - 2), ")\n") << run.out;
    }
  }
  // The tool's own ceiling on a page's size cannot be lowered from the
  // command line, so a page too large is tested on the fetcher alone.
}

TEST(ReportCommand, FetchReadsTheServicesPage) {
  nimbrel::sample::SampleService service(
      "   FRANKFURT MAIN A EDDF        10637  50 03N  008 36E  113   X     T          6 DE\n");
  ASSERT_TRUE(service.start(0));
  const std::string host = "127.0.0.1:" + std::to_string(service.listeningPort());
  const ToolRun latest = RunTool("fetch EDDF --host " + host);
  ASSERT_EQ(latest.exitCode, 0);
  EXPECT_EQ(Split(latest.out, '\n').size(), 3u);

  const ToolRun past = RunTool("fetch EDDF --hours 3 --host " + host);
  ASSERT_EQ(past.exitCode, 0);
  const int interval = nimbrel::sample::reportIntervalMinutes("EDDF");
  const auto lines = Split(past.out, '\n');
  EXPECT_EQ(static_cast<int>(lines.size()), 2 + 3 * 60 / interval);
  EXPECT_EQ(Split(lines[1], '\t')[18].substr(0, 4), "EDDF");

  EXPECT_EQ(RunTool("fetch QQQQ --host " + host).exitCode, 1);
}

TEST(ReportCommand, DecodeOfWhatIsNoReadableFileSaysSoAsStationsDoes) {
  nimbrel::test::TempFolder folder;
  const std::string directory = folder.Path().string();
  const std::string missing = (folder / "missing page.html").string();
  for (const std::string& path : {directory, missing}) {
    for (const char* command : {"decode", "stations"}) {
      const ToolRun run = RunTool(std::string(command) + " '" + path + "'", true);
      EXPECT_EQ(run.exitCode, 2) << command << " " << path;
      EXPECT_EQ(run.out, "nimbrel-report: can not open a file \"" + path + "\"\n") << command << " " << path;
    }
  }
}

// decode reads a page file whole, but no more of it than the viewer takes
// of a downloaded page; a FIFO is refused without waiting for a writer.
TEST(ReportCommand, DecodeRefusesAPageLargerThanTheViewerTakes) {
  nimbrel::test::TempFolder folder;
  const std::filesystem::path page = folder / "page.html";
  const std::string example = std::string(NIMBREL_FIXTURES_DIR) + "/report_example.html";
  std::filesystem::copy_file(example, page);
  std::filesystem::resize_file(page, nimbrel::CurlPageFetcher::kDefaultMaxBodyBytes);  // sparse: no disk used
  EXPECT_EQ(RunTool("decode '" + page.string() + "' >/dev/null").exitCode, 0);  // at the limit: read

  std::filesystem::resize_file(page, nimbrel::CurlPageFetcher::kDefaultMaxBodyBytes + 1);
  const ToolRun tooLarge = RunTool("decode '" + page.string() + "'", true);
  EXPECT_EQ(tooLarge.exitCode, 2);
  EXPECT_EQ(tooLarge.out, "nimbrel-report: can not open a file \"" + page.string() + "\": it is larger than " +
                              std::to_string(nimbrel::CurlPageFetcher::kDefaultMaxBodyBytes) +
                              " bytes, the most a report page may be\n");

  const std::filesystem::path fifo = folder / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(RunTool("decode '" + fifo.string() + "'").exitCode, 2);  // a hang would never return
}

// Runs the tool with its standard output on /dev/full; what it said on
// standard error goes to `out`.
ToolRun RunToolIntoFullDevice(const std::string& arguments) {
  return nimbrel::test::RunCommandLine(std::string("'") + NIMBREL_REPORT_TOOL + "' " + arguments + " 2>&1 >/dev/full");
}

TEST(ReportCommand, EveryCommandThatWritesReportsAFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  nimbrel::test::TempFolder folder;
  const std::string stations = folder.Write("stations.txt", nimbrel::test::StationLine()).string();
  nimbrel::sample::SampleService service(
      "   FRANKFURT MAIN A EDDF        10637  50 03N  008 36E  113   X     T          6 DE\n");
  ASSERT_TRUE(service.start(0));
  const std::string host = "127.0.0.1:" + std::to_string(service.listeningPort());
  const std::string commands[] = {
      "stations '" + stations + "'",
      "decode " + std::string(NIMBREL_FIXTURES_DIR) + "/report_example.html",
      "fetch EDDF --host " + host,
      "fetch EDDF --hours 24 --host " + host,  // more than a buffer's worth
  };
  for (const std::string& command : commands) {
    ASSERT_EQ(RunTool(command + " >/dev/null").exitCode, 0) << command;
    const ToolRun run = RunToolIntoFullDevice(command);
    EXPECT_EQ(run.exitCode, 2) << command;
    EXPECT_NE(run.out.find("nimbrel-report: can not write"), std::string::npos) << command << ": " << run.out;
  }
}

}  // namespace

namespace nimbrel {
namespace {

// The store as the program leaves it, read back by history and store-info.
TEST(ReportCommand, HistoryAndStoreInfoReadTheStore) {
  test::TempFolder folder;
  const std::filesystem::path file = folder / "reports.sqlite";
  const std::int64_t hour = (static_cast<std::int64_t>(std::time(nullptr)) / 3600) * 3600;
  auto at = [&](std::int64_t hoursAgo) { return hour - hoursAgo * 3600; };
  auto raw = [&](const char* station, std::int64_t seconds, const char* rest) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char stamp[16];
    std::strftime(stamp, sizeof stamp, "%d%H%MZ", &parts);
    return std::string(station) + " " + stamp + " " + rest;
  };
  {
    ReportStore store(file);
    const std::vector<StoredMetar> reports = {
        {"KJFK", at(1), raw("KJFK", at(1), "31014KT 10SM FEW050 09/M06 A3012"), ReportOrigin::kChart, false},
        {"KJFK", at(5), raw("KJFK", at(5), "30010KT 10SM SKC 08/M07 A3010"), ReportOrigin::kWorldFile, false},
        {"KJFK", at(30), raw("KJFK", at(30), "29005KT 10SM SKC 07/M07 A3009"), ReportOrigin::kChart, false},
        {"EGLL", at(2), raw("EGLL", at(2), "24010KT 9999 SCT020 11/08 Q1008"), ReportOrigin::kChart, false}};
    ASSERT_EQ(store.putMetars(reports), 4);
  }
  struct Case {
    std::string arguments;
    int exitCode;
    std::vector<std::string> stationsAndTimes;  // the first two columns of each row
  };
  auto iso = [](std::int64_t seconds) {
    return UtcDateTime::fromEpochMinutes(seconds / 60).toString();
  };
  const std::string store = " --store '" + file.string() + "'";
  const Case cases[] = {
      {"history KJFK" + store, 0, {"KJFK\t" + iso(at(5)), "KJFK\t" + iso(at(1))}},
      {"history kjfk --hours 48" + store, 0,
       {"KJFK\t" + iso(at(30)), "KJFK\t" + iso(at(5)), "KJFK\t" + iso(at(1))}},
      {"history KJFK --hours 3" + store, 0, {"KJFK\t" + iso(at(1))}},
      {"history ZZZZ" + store, 0, {}},
      {"history KJFK --hours 0" + store, 2, {}},
      {"history" + store, 2, {}},
      {"history KJFK --store '" + (folder / "none.sqlite").string() + "'", 1, {}},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
    if (c.exitCode != 0) continue;
    std::vector<std::string> lines = test::Split(run.out, '\n');
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    ASSERT_FALSE(lines.empty()) << c.arguments;
    EXPECT_TRUE(lines.front().starts_with("station\ttime\twind_dir")) << c.arguments;
    std::vector<std::string> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::size_t second = lines[i].find('\t', lines[i].find('\t') + 1);
      rows.push_back(lines[i].substr(0, second));
    }
    EXPECT_EQ(rows, c.stationsAndTimes) << c.arguments;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "none.sqlite"));

  const ToolRun info = RunTool("store-info" + store);
  EXPECT_EQ(info.exitCode, 0);
  for (const std::string& line : {std::string("reports\t4\n"), std::string("stations\t2\n"),
                                  "oldest\t" + iso(at(30)) + "\n", "newest\t" + iso(at(1)) + "\n"})
    EXPECT_NE(info.out.find(line), std::string::npos) << line << " in " << info.out;
}

// update-stations writes the service's list to standard output and what
// changed to standard error; a list far shorter than the one in use is
// refused and nothing is written.
TEST(ReportCommand, UpdateStationsFromTheService) {
  test::TempFolder folder;
  const std::string line = "   FRANKFURT MAIN A EDDF        10637  50 03N  008 36E  113   X     T          6 DE";
  sample::SampleService service(line + "\n");
  ASSERT_TRUE(service.start(0));
  const std::string url = "http://127.0.0.1:" + std::to_string(service.listeningPort());
  const std::string errors = (folder / "errors.txt").string();
  auto run = [&](const std::string& current) {
    return test::RunCommandLine("'" NIMBREL_REPORT_TOOL "' update-stations --url " + url + " --current '" +
                                current + "' 2>'" + errors + "'");
  };

  const test::ToolRun updated = run(folder.Write("one.txt", test::NamedLine("OLD FIELD", "EDDM") + "\n").string());
  EXPECT_EQ(updated.exitCode, 0);
  StationList stations;
  parseStationList(updated.out, stations);
  ASSERT_EQ(stations.size(), 1u);
  EXPECT_EQ(stations[0].icao, "EDDF");
  EXPECT_EQ(test::ReadAll(errors), "1 station: 1 new, 1 gone, 0 elevations added\n");

  const test::ToolRun refused =
      run(folder.Write("three.txt", test::NamedLine("A", "EDDA") + "\n" + test::NamedLine("B", "EDDB") + "\n" +
                                        test::NamedLine("C", "EDDC") + "\n").string());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(test::ReadAll(errors).find("fewer than half of the 3 in use"), std::string::npos);
}

// --output replaces the list whole and only on success: a service that
// does not answer, or a list refused, leaves the file as it was; a list to
// compare with must be a readable file.
TEST(ReportCommand, UpdateStationsOutputIsReplacedOnlyOnSuccess) {
  test::TempFolder folder;
  const std::string line = "   FRANKFURT MAIN A EDDF        10637  50 03N  008 36E  113   X     T          6 DE";
  sample::SampleService service(line + "\n");
  ASSERT_TRUE(service.start(0));
  const std::string url = "http://127.0.0.1:" + std::to_string(service.listeningPort());
  const std::string errors = (folder / "errors.txt").string();
  auto run = [&](const std::string& from, const std::string& options) {
    return test::RunCommandLine("'" NIMBREL_REPORT_TOOL "' update-stations --url " + from + " " + options + " 2>'" +
                                errors + "'");
  };
  const std::string one = test::NamedLine("OLD FIELD", "EDDM") + "\n";
  const std::string three = one + test::NamedLine("B", "EDDB") + "\n" + test::NamedLine("C", "EDDC") + "\n";
  const std::string output = folder.Write("Stations.txt", three).string();

  // No service: the list in use stays.
  EXPECT_EQ(run("http://127.0.0.1:9", "--output '" + output + "'").exitCode, 1);
  EXPECT_EQ(test::ReadAll(output), three);
  // Fewer than half of the output file's stations: refused, kept.
  EXPECT_EQ(run(url, "--output '" + output + "'").exitCode, 1);
  EXPECT_NE(test::ReadAll(errors).find("fewer than half of the 3 in use"), std::string::npos) << test::ReadAll(errors);
  EXPECT_EQ(test::ReadAll(output), three);

  folder.Write("Stations.txt", one);
  const test::ToolRun updated = run(url, "--output '" + output + "'");
  EXPECT_EQ(updated.exitCode, 0);
  EXPECT_EQ(updated.out, "");
  StationList stations;
  parseStationList(test::ReadAll(output), stations);
  ASSERT_EQ(stations.size(), 1u);
  EXPECT_EQ(stations[0].icao, "EDDF");
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);

  // What is no readable file is not a list to compare with.
  ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
  for (const std::string& current : {(folder / "missing.txt").string(), (folder / "pipe").string(),
                                     std::string("/dev/zero"), folder.Path().string()}) {
    EXPECT_EQ(run(url, "--current '" + current + "' --output '" + output + "'").exitCode, 2) << current;
    EXPECT_NE(test::ReadAll(errors).find("not a readable file"), std::string::npos) << current;
  }
  EXPECT_EQ(test::ReadAll(output).find("EDDF") != std::string::npos, true);
}

}  // namespace
}  // namespace nimbrel
