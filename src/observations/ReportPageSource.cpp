#include "observations/ReportPageSource.h"

#include <climits>
#include <cstdint>

#include "observations/ReportPage.h"

namespace nimbrel {
namespace {

// Every byte but the unreserved ones escaped, so a value never ends or
// extends the query; "+" stays, as the service reads it as a blank.
std::string percentEncoded(const std::string& value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_' || c == '.' || c == '~' || c == '+';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

std::string meteodataUrl(const std::string& serviceHost, const std::string& icao, const std::string& hoursStr) {
  return "http://" + serviceHost + "/weather/surface/index.php?metarIds=" + percentEncoded(icao) +
         "&hoursStr=" + percentEncoded(hoursStr) + "&std_trans=translated&num_metars=number&submit_metars=Retrieve";
}

std::string stationHeading(const Station& station) {
  return station.name + " " + station.cd + " " + station.icao + "   (" + station.latText + ", " + station.lonText +
         "),  Elevation: " + station.elevText + " m,  " + station.country;
}

int meteodataBufferSize(int hours) {
  const std::int64_t size = static_cast<std::int64_t>(hours) * 20000 + 50000;
  if (size > INT_MAX) return INT_MAX;
  if (size < INT_MIN) return INT_MIN;
  return static_cast<int>(size);
}

PageReading readPageResult(const Station& station, const FetchResult& fetched) {
  PageReading reading;
  switch (fetched.status) {
    case FetchStatus::kCancelled:
      reading.cancelled = true;
      return reading;
    case FetchStatus::kTimedOut:
      reading.failureText = "Sorry, the weather service did not answer (timed out after " +
                            std::to_string(fetched.timeoutSeconds) + " s).";
      return reading;
    case FetchStatus::kUnreachable:
      reading.failureText = "Sorry, the weather service could not be reached (" + fetched.errorText + ").";
      return reading;
    default:
      break;
  }
  if (fetched.ok() && readReportPage(fetched.body, &reading.observations) == ReportPageStatus::kReports &&
      !reading.observations.empty()) {
    reading.ok = true;
    return reading;
  }
  reading.observations.clear();
  reading.failureText = "Sorry, no data available for the Station:\n\n" + stationHeading(station) + ".";
  return reading;
}

std::unique_ptr<FetchTicket> ReportPageSource::request(const Station& station, const std::string& hoursStr,
                                                       int hours, Done done) {
  return fetcher.fetchAsync(meteodataUrl(serviceHost, station.icao, hoursStr), meteodataBufferSize(hours),
                            [station, done = std::move(done)](FetchResult fetched) {
                              done(readPageResult(station, fetched));
                            });
}

}  // namespace nimbrel
