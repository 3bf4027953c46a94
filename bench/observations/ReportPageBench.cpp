// Reading report pages of 12, 120 and 1,200 reports, and fetching a 1 MB
// body from a local server.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "SampleService.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPage.h"

namespace {

// A page of the sample service with `reports` reports: a 60-minute station
// asked for that many hours.
std::string PageOf(int reports) {
  std::string icao;
  for (char c = 'A'; c <= 'Z' && icao.empty(); ++c) {
    const std::string candidate = std::string("BN") + c + "X";
    if (nimbrel::sample::reportIntervalMinutes(candidate) == 60) icao = candidate;
  }
  const nimbrel::sample::SampleStation station{icao, 48.0, 11.0};
  return nimbrel::sample::makeReportPage(station, reports, 1765000000);
}

void BM_ReadReportPage(benchmark::State& state) {
  const std::string page = PageOf(static_cast<int>(state.range(0)));
  nimbrel::ObservationList observations;
  for (auto _ : state) {
    observations.clear();
    benchmark::DoNotOptimize(nimbrel::readReportPage(page, &observations));
  }
  if (static_cast<std::int64_t>(observations.size()) != state.range(0)) state.SkipWithError("wrong report count");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
  state.counters["reports"] = static_cast<double>(observations.size());
  state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_ReadReportPage)->Arg(12)->Arg(120)->Arg(1200)->Unit(benchmark::kMicrosecond);

void BM_Fetch1MB(benchmark::State& state) {
  httplib::Server server;
  const std::string body(1000 * 1000, 'x');
  server.Get("/page", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(body, "text/html");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  nimbrel::CurlPageFetcher fetcher;
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/page";
  for (auto _ : state) {
    const std::string page = fetcher.fetch(url, 0).body;
    if (page.size() != body.size()) state.SkipWithError("short body");
    benchmark::DoNotOptimize(page.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(body.size()));
  server.stop();
  thread.join();
}
BENCHMARK(BM_Fetch1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
