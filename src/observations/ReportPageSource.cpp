#include "observations/ReportPageSource.h"

#include <climits>
#include <cstdint>

#include "base/PageFetcher.h"
#include "base/UserPort.h"
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

bool ReportPageSource::getMeteodata(const Station& station, ObservationList* observations,
                                    const std::string& hoursStr, int hours) {
  // A refresh tick that fires while another fetch or its message box is
  // open does nothing.
  if (busy) return false;
  busy = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{busy};
  if (observations != nullptr) observations->clear();

  const std::string page = fetcher.fetch(meteodataUrl(serviceHost, station.icao, hoursStr), meteodataBufferSize(hours));
  if (readReportPage(page, observations) == ReportPageStatus::kReports) return true;
  port.showMessage("Sorry, no data available for the Station:\n\n" + stationHeading(station) + ".");
  return false;
}

}  // namespace nimbrel
