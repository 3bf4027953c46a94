#include "observations/ReportPageSource.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "base/Text.h"
#include "observations/ReportPage.h"

namespace nimbrel {
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

bool describeFetchFailure(const FetchResult& fetched, PageReading& reading) {
  switch (fetched.status) {
    case FetchStatus::kCancelled:
      reading.outcome = ReadOutcome::kCancelled;
      return true;
    case FetchStatus::kTimedOut:
      reading.outcome = ReadOutcome::kTimedOut;
      reading.timeoutSeconds = fetched.timeoutSeconds;
      return true;
    case FetchStatus::kUnreachable:
      reading.outcome = ReadOutcome::kUnreachable;
      reading.detail = fetched.errorText;
      return true;
    default:
      return false;
  }
}

PageReading readPageResult(const Station&, const FetchResult& fetched) {
  PageReading reading;
  if (describeFetchFailure(fetched, reading)) return reading;
  if (fetched.ok() && readReportPage(fetched.body, &reading.observations) == ReportPageStatus::kReports &&
      !reading.observations.empty()) {
    reading.outcome = ReadOutcome::kLoaded;
    return reading;
  }
  reading.observations.clear();
  return reading;
}

std::unique_ptr<FetchTicket> ReportPageSource::request(const Station& station, const std::string& hoursStr,
                                                       int hours, Done done) {
  // The page is read on the worker that downloaded it.
  return fetcher.fetchRead(
      meteodataUrl(serviceHost, station.icao, hoursStr), meteodataBufferSize(hours),
      [station](FetchResult fetched) { return readPageResult(station, fetched); }, std::move(done));
}

std::unique_ptr<FetchTicket> ReportPageSource::requestPastHours(const Station& station, int hours, Done done) {
  return request(station, "past+" + std::to_string(hours) + "+hours", std::max(hours, 2), std::move(done));
}

std::unique_ptr<FetchTicket> ReportPageSource::requestNewest(const Station& station, bool opening, Done done) {
  // The look before opening asks as the service's own form does, with blanks.
  return request(station, opening ? "most recent only" : "most+recent+only", 1, std::move(done));
}

}  // namespace nimbrel
