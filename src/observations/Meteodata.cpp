#include "observations/Meteodata.h"

#include <climits>
#include <cstdint>

#include "observations/ReportPage.h"
#include "platform/MainFrame.h"
#include "platform/PageFetcher.h"

namespace nimbrel {

namespace {

// Process-wide: a refresh timer firing while another window's fetch or its
// message box is open must do nothing.
bool meteodataBusy = false;

class CBusyScope {
 public:
  CBusyScope() { meteodataBusy = true; }
  ~CBusyScope() { meteodataBusy = false; }
  CBusyScope(const CBusyScope&) = delete;
  CBusyScope& operator=(const CBusyScope&) = delete;
};

}  // namespace

std::string MeteodataUrl(const std::string& serviceHost, const std::string& icao, const std::string& hoursStr) {
  return "http://" + serviceHost + "/weather/surface/index.php?metarIds=" + icao + "&hoursStr=" + hoursStr +
         "&std_trans=translated&num_metars=number&submit_metars=Retrieve";
}

std::string StationHeading(const CStation& station) {
  return station.name() + " " + station.cd() + " " + station.icao() + "   (" + station.latText() + ", " +
         station.lonText() + "),  Elevation: " + station.elevText() + " m,  " + station.cy();
}

int MeteodataBufferSize(int hours) {
  const std::int64_t size = static_cast<std::int64_t>(hours) * 20000 + 50000;
  if (size > INT_MAX) return INT_MAX;
  if (size < INT_MIN) return INT_MIN;
  return static_cast<int>(size);
}

bool IsMeteodataBusy() { return meteodataBusy; }

bool GetMeteodata(IPageFetcher& fetcher, IMainFrame& frame, const std::string& serviceHost,
                  const CStation* station, CObservationArray* observations, const std::string& hoursStr,
                  int hours) {
  if (meteodataBusy || station == nullptr) return false;
  CBusyScope busy;
  if (observations != nullptr) observations->RemoveAll();

  const std::string page =
      fetcher.FetchUrl(MeteodataUrl(serviceHost, station->icao(), hoursStr), MeteodataBufferSize(hours));
  if (ReadReportPage(page, observations) == ReportPageStatus::kReports) return true;

  // The flag stays set while the message box is open.
  frame.ShowMessage("Sorry, no data available for the Station:\n\n" + StationHeading(*station) + ".");
  return false;
}

}  // namespace nimbrel
