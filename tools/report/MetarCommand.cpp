// nimbrel-report metar FILE: one tab-separated line of decoded values for
// every report line of a file.
#include <cmath>
#include <cstdio>

#include "MetarCommands.h"
#include "ReportLineReader.h"
#include "TsvOutput.h"
#include "metar/MetarDecoder.h"

namespace {

const char* statusText(nimbrel::MetarStatus status) {
  switch (status) {
    case nimbrel::MetarStatus::Ok: return "ok";
    case nimbrel::MetarStatus::Partial: return "partial";
    case nimbrel::MetarStatus::Rejected: break;
  }
  return "rejected";
}

void writeReport(TsvOutput& out, const nimbrel::MetarReport& report) {
  if (report.status == nimbrel::MetarStatus::Rejected) {
    out.text("\t\t\t\t\t\t\t\t\t\t\t\trejected");
    out.endLine();
    return;
  }
  char time[nimbrel::UtcDateTime::kTextLength];
  report.time.formatTo(time);
  out.text(report.station);
  out.tab();
  out.text({time, sizeof time});
  out.tab();
  writeWindAndVisibility(out, report.current);
  out.number(report.temperatureC, 1);
  out.tab();
  out.number(report.dewPointC, 1);
  out.tab();
  out.number(report.relativeHumidity(), 0);
  out.tab();
  out.number(report.pressureHpa, 1);
  out.tab();
  const std::optional<int> ceiling = report.ceilingFt();
  if (ceiling) out.number(*ceiling, 0);
  out.tab();
  out.text(nimbrel::flightCategoryText(report.flightCategory()));
  out.tab();
  out.text(statusText(report.status));
  out.endLine();
}

}  // namespace

int runMetarCommand(int argc, char** argv) {
  return decodeReportFile(argc, argv, "metar",
                          "station\ttime\twind_dir\twind_kt\tgust_kt\tvisibility_m\ttemp_c\tdewpoint_c\trh_pct\t"
                          "pressure_hpa\tceiling_ft\tcategory\tstatus",
                          "reports", [](TsvOutput& out, std::string_view line, nimbrel::UtcDateTime anchor) {
                            writeReport(out, nimbrel::decodeMetar(line, anchor));
                          });
}
