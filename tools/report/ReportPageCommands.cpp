// decode FILE and fetch ICAO: a report page read by the program's own
// parser and written one observation a line, tab-separated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <string>

#include "ReportCommands.h"
#include "base/ClockText.h"
#include "base/Text.h"
#include "base/Units.h"
#include "observations/CurlPageFetcher.h"
#include "observations/ReportPageSource.h"
#include "observations/Observation.h"
#include "observations/ReportPage.h"

namespace {

using nimbrel::Observation;
using nimbrel::ObservationList;
using nimbrel::ReportPageStatus;

// A tab or line break inside a text would break the line's columns; the
// page's Windows-1252 bytes go out as UTF-8, as a terminal shows them.
std::string flattened(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return nimbrel::windows1252ToUtf8(text);
}

void writeObservation(const Observation& o) {
  // A value the page did not give is an empty field, not "nan". Pressure
  // in hectopascals, visibility in metres.
  for (const double value : {o.temperature, o.dewpoint, o.humidity, o.pressure, o.windSpeed, o.windDirection,
                             o.visibility, o.pressure / nimbrel::kHectopascalsPerInch}) {
    if (std::isfinite(value)) std::printf("%.2f", value);
    std::fputc('\t', stdout);
  }
  const std::string observed = nimbrel::utcText(o.observedAt, "%Y-%m-%d %H:%M");
  std::fwrite(observed.data(), 1, observed.size(), stdout);
  const nimbrel::SourceTexts& s = o.source;
  const std::string* texts[] = {&s.conditionsText, &s.temperatureText, &s.dewpointText, &s.pressureText,
                                &s.windsText,      &s.visibilityText,  &s.ceilingText,  &s.cloudsText,
                                &s.weatherText,    &s.reportText};
  for (const std::string* text : texts) {
    std::fputc('\t', stdout);
    const std::string flat = flattened(*text);
    std::fwrite(flat.data(), 1, flat.size(), stdout);
  }
  std::fputc('\n', stdout);
}

int writePage(const std::string& page, const std::string& source) {
  ObservationList observations;
  const ReportPageStatus status = nimbrel::readReportPage(page, &observations);
  if (status != ReportPageStatus::kReports || observations.empty()) {
    std::fprintf(stderr, "nimbrel-report: no data in %s: %s\n", source.c_str(), nimbrel::reportPageStatusText(status));
    return 1;
  }
  std::printf(
      "temperature\tdewpoint\thumidity\tpressure\twindSpeed\twindDirection\tvisibility\tpressureInches\tobserved\t"
      "conditionsText\ttemperatureText\tdewpointText\tpressureText\twindsText\tvisibilityText\tceilingText\t"
      "cloudsText\tweatherText\treportText\n");
  for (const Observation& observation : observations) writeObservation(observation);
  // A full buffer is written out on the way, so an error may have come
  // before the last flush: the stream's error flag keeps it.
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fprintf(stderr, "nimbrel-report: can not write the observations\n");
    return 2;
  }
  return 0;
}

// The whole of a regular file, up to the most the viewer takes of a report
// page; a folder, a device, a file that cannot be read or one too large
// gives false (`why` then says it was too large). Opened without blocking, so a FIFO cannot hang
// the tool.
bool readPageFile(const char* path, std::string& text, std::string& why) {
  constexpr std::size_t kLimit = nimbrel::CurlPageFetcher::kDefaultMaxBodyBytes;
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok && static_cast<std::uint64_t>(info.st_size) > kLimit) {
    ok = false;
    why = "it is larger than " + std::to_string(kLimit) + " bytes, the most a report page may be";
  }
  std::size_t size = 0;
  while (ok) {
    // One byte past the limit tells a file that grew since it was measured.
    text.resize(std::min(size + 64 * 1024, kLimit + 1));
    const ssize_t got = ::read(fd, text.data() + size, text.size() - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ok = false;
      break;
    }
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
    if (size > kLimit) {
      ok = false;
      why = "it is larger than " + std::to_string(kLimit) + " bytes, the most a report page may be";
    }
  }
  text.resize(ok ? size : 0);
  ::close(fd);
  return ok;
}

// Why a download gave no page, in libcurl's words and the HTTP status.
std::string fetchFailure(const nimbrel::FetchResult& fetched) {
  switch (fetched.status) {
    case nimbrel::FetchStatus::kHttpError:
      return "the service answered with HTTP status " + std::to_string(fetched.httpStatus);
    case nimbrel::FetchStatus::kTimedOut:
      return "the service did not answer (timed out after " + std::to_string(fetched.timeoutSeconds) + " s: " +
             fetched.errorText + ")";
    case nimbrel::FetchStatus::kUnreachable:
      return "the service could not be reached (" + fetched.errorText + ")";
    case nimbrel::FetchStatus::kTooLarge:
      return "the page is too large (" + fetched.errorText + ")";
    default:
      return "the download failed (" + fetched.errorText + ")";
  }
}

}  // namespace

int runDecodeCommand(int argc, char** argv) {
  if (argc != 1) {
    std::fprintf(stderr, "usage: nimbrel-report decode FILE\n");
    return 2;
  }
  std::string text;
  std::string why;
  if (!readPageFile(argv[0], text, why)) {
    std::fprintf(stderr, "nimbrel-report: can not open a file \"%s\"%s%s\n", argv[0], why.empty() ? "" : ": ",
                 why.c_str());
    return 2;
  }
  return writePage(text, argv[0]);
}

int runFetchCommand(int argc, char** argv) {
  auto usage = [] {
    std::fprintf(stderr, "usage: nimbrel-report fetch ICAO [--hours N] [--host HOST[:PORT]]\n");
    return 2;
  };
  std::string icao;
  std::string host = nimbrel::kDefaultServiceHost;
  int hours = 0;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--hours") == 0 && i + 1 < argc) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 1 || value > 1000) return usage();
      hours = static_cast<int>(value);
    } else if (std::strcmp(argv[i], "--host") == 0 && i + 1 < argc) {
      host = argv[++i];
    } else if (argv[i][0] != '-' && icao.empty()) {
      icao = argv[i];
    } else {
      return usage();
    }
  }
  if (icao.empty() || host.empty()) return usage();

  // Without --hours, the window's refresh request: the most recent report.
  const std::string hoursStr = hours > 0 ? "past+" + std::to_string(hours) + "+hours" : "most+recent+only";
  const int bufferHours = hours > 0 ? (hours < 2 ? 2 : hours) : 1;
  nimbrel::CurlPageFetcher fetcher;
  const std::string url = nimbrel::meteodataUrl(host, icao, hoursStr);
  const nimbrel::FetchResult fetched = fetcher.fetch(url, nimbrel::meteodataBufferSize(bufferHours));
  if (!fetched.ok()) {
    std::fprintf(stderr, "nimbrel-report: %s: %s\n", url.c_str(), fetchFailure(fetched).c_str());
    return 1;
  }
  return writePage(fetched.body, url);
}
