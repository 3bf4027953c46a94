// nimbrel-report history and store-info: what the program's report store
// holds, read without changing it (a missing file is not created).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "MetarCommands.h"
#include "ReportCommands.h"
#include "TsvOutput.h"
#include "metar/MetarDecoder.h"
#include "metar/TafDecoder.h"
#include "observations/ForecastVerification.h"
#include "observations/MetarSource.h"
#include "reportstore/ReportStore.h"
#include "base/ClockText.h"

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultHours = 24;
constexpr int kMostHours = 365 * 24;

bool readStoreOption(int argc, char** argv, int& i, fs::path& store) {
  if (std::strcmp(argv[i], "--store") != 0) return false;
  if (i + 1 >= argc) return false;
  store = argv[++i];
  return true;
}

// "--hours N" at argv[i]: 1 when read, 0 when argv[i] is another option,
// -1 (with a word on standard error) when N is out of range.
int readHoursOption(int argc, char** argv, int& i, int& hours, const char* command) {
  if (std::strcmp(argv[i], "--hours") != 0 || i + 1 >= argc) return 0;
  char* end = nullptr;
  const long value = std::strtol(argv[++i], &end, 10);
  if (end == argv[i] || *end != '\0' || value < 1 || value > kMostHours) {
    std::fprintf(stderr, "nimbrel-report %s: --hours takes 1 to %d\n", command, kMostHours);
    return -1;
  }
  hours = static_cast<int>(value);
  return 1;
}

// The store to read: the one given, else the program's; null with a word on
// standard error when there is none to read.
bool openable(const fs::path& store) {
  std::error_code error;
  if (store.empty()) {
    std::fprintf(stderr, "nimbrel-report: no report store: set HOME or XDG_DATA_HOME, or give --store FILE\n");
    return false;
  }
  if (!fs::is_regular_file(store, error)) {
    std::fprintf(stderr, "nimbrel-report: no report store at %s\n", store.c_str());
    return false;
  }
  return true;
}

nimbrel::ReportStoreOptions readOnly() {
  nimbrel::ReportStoreOptions options;
  options.readOnly = true;
  return options;
}

// The store opened read-only; null with a word on standard error when
// there is none to read or it cannot be read.
std::unique_ptr<nimbrel::ReportStore> openForReading(const fs::path& store) {
  if (!openable(store)) return nullptr;
  auto reports = std::make_unique<nimbrel::ReportStore>(store, readOnly());
  if (!reports->isOpen()) {
    std::fprintf(stderr, "nimbrel-report: %s\n", reports->takeNote().c_str());
    return nullptr;
  }
  return reports;
}

std::string upperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

fs::path programStore() { return nimbrel::defaultStorePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

}  // namespace

int runHistoryCommand(int argc, char** argv) {
  const char* icao = nullptr;
  int hours = kDefaultHours;
  fs::path store = programStore();
  for (int i = 0; i < argc; ++i) {
    if (const int read = readHoursOption(argc, argv, i, hours, "history"); read != 0) {
      if (read < 0) return 2;
    } else if (readStoreOption(argc, argv, i, store)) {
    } else if (argv[i][0] != '-' && icao == nullptr) {
      icao = argv[i];
    } else {
      std::fprintf(stderr, "usage: nimbrel-report history ICAO [--hours N] [--store FILE]\n");
      return 2;
    }
  }
  if (icao == nullptr) {
    std::fprintf(stderr, "usage: nimbrel-report history ICAO [--hours N] [--store FILE]\n");
    return 2;
  }
  const std::unique_ptr<nimbrel::ReportStore> opened = openForReading(store);
  if (!opened) return 1;
  const nimbrel::ReportStore& reports = *opened;
  const std::string station = upperCase(icao);
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  TsvOutput out;
  out.text(metarHeader());
  out.endLine();
  // Each report decoded again, anchored on the time it was stored with.
  for (const nimbrel::StoredMetar& stored : reports.metars(station, now - std::int64_t{hours} * 3600, now + 24 * 3600))
    writeMetarRow(out, nimbrel::decodeMetar(stored.raw, nimbrel::UtcDateTime::fromEpochMinutes(stored.observedAt / 60)));
  return out.finish() ? 0 : 1;
}

int runStoreInfoCommand(int argc, char** argv) {
  fs::path store = programStore();
  for (int i = 0; i < argc; ++i) {
    if (!readStoreOption(argc, argv, i, store)) {
      std::fprintf(stderr, "usage: nimbrel-report store-info [--store FILE]\n");
      return 2;
    }
  }
  const std::unique_ptr<nimbrel::ReportStore> opened = openForReading(store);
  if (!opened) return 1;
  const nimbrel::ReportStore& reports = *opened;
  const nimbrel::StoreInfo info = reports.info();
  std::printf("file\t%s\n", store.c_str());
  std::printf("reports\t%lld\n", static_cast<long long>(info.reports));
  std::printf("stations\t%lld\n", static_cast<long long>(info.stations));
  std::printf("forecasts\t%lld\n", static_cast<long long>(info.forecasts));
  std::printf("oldest\t%s\n", info.reports > 0 ? nimbrel::utcText(info.oldest, "%Y-%m-%dT%H:%MZ").c_str() : "");
  std::printf("newest\t%s\n", info.reports > 0 ? nimbrel::utcText(info.newest, "%Y-%m-%dT%H:%MZ").c_str() : "");
  std::printf("bytes\t%llu\n", static_cast<unsigned long long>(info.fileBytes));
  return 0;
}

int runVerifyCommand(int argc, char** argv) {
  static const char* const kUsage = "usage: nimbrel-report verify ICAO [--hours N] [--store FILE] [--now YYYY-MM-DDTHH:MMZ]\n";
  const char* icao = nullptr;
  int hours = kDefaultHours;
  fs::path store = programStore();
  std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  for (int i = 0; i < argc; ++i) {
    if (const int read = readHoursOption(argc, argv, i, hours, "verify"); read != 0) {
      if (read < 0) return 2;
    } else if (std::strcmp(argv[i], "--now") == 0 && i + 1 < argc) {
      const std::optional<std::int64_t> at = readUtcTime(argv[++i]);
      if (!at) {
        std::fputs(kUsage, stderr);
        return 2;
      }
      now = *at;
    } else if (readStoreOption(argc, argv, i, store)) {
    } else if (argv[i][0] != '-' && icao == nullptr) {
      icao = argv[i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (icao == nullptr) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::unique_ptr<nimbrel::ReportStore> opened = openForReading(store);
  if (!opened) return 1;
  const nimbrel::ReportStore& reports = *opened;
  nimbrel::Station station;
  station.icao = upperCase(icao);
  // The last whole hours before now.
  const std::int64_t to = now - now % 3600;
  const std::int64_t from = to - std::int64_t{hours} * 3600;
  const nimbrel::ObservationList observed =
      nimbrel::MetarSource::readStored(station, reports.metars(station.icao, from, to)).observations;
  // A TAF covers at most 30 hours: one issued that long before the period may be in force at its start.
  const std::vector<nimbrel::IssuedForecast> forecasts =
      nimbrel::MetarSource::readStoredForecasts(reports, station.icao, from - 30 * 3600, to);
  const nimbrel::ForecastVerification verification = nimbrel::verifyForecasts(forecasts, observed, from, to);

  TsvOutput out;
  out.text("hour\tforecast\tallowed\tobserved\tverdict");
  out.endLine();
  for (const nimbrel::VerifiedHour& hour : verification.hours) {
    out.text(nimbrel::utcText(hour.start, "%Y-%m-%dT%H:%MZ"));
    out.tab();
    out.text(nimbrel::flightCategoryText(hour.forecast));
    out.tab();
    std::string allowed;
    for (nimbrel::FlightCategory c : hour.allowed) allowed += (allowed.empty() ? "" : " ") + std::string(nimbrel::flightCategoryText(c));
    out.text(allowed);
    out.tab();
    out.text(nimbrel::flightCategoryText(hour.observed));
    out.tab();
    out.text(nimbrel::forecastVerdictText(hour.verdict));
    out.endLine();
  }
  const std::string summary = nimbrel::verificationSummary(verification);
  out.text(summary.empty() ? (forecasts.empty() ? "Forecast: none stored" : "Forecast: no hour to judge") : summary);
  out.endLine();
  return out.finish() ? 0 : 1;
}
