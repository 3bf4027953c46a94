// nimbrel-report metar FILE: one tab-separated line of decoded values for
// every report of a file; a line holding several reports gives a line each.
#include <cmath>
#include <cstdio>

#include "MetarCommands.h"
#include "ReportLineReader.h"
#include "TsvOutput.h"
#include "metar/MetarDecoder.h"

namespace {

// The columns of before the whole decoding came in stay first and in their
// order, so that scripts reading them by position keep working.
constexpr const char* kHeader =
    "station\ttime\twind_dir\twind_kt\tgust_kt\tvisibility_m\ttemp_c\tdewpoint_c\trh_pct\t"
    "pressure_hpa\tceiling_ft\tcategory\tstatus\t"
    "weather\tclouds\trvr\twind_variable\tslp_hpa\tflags\tundecoded\treason";

const char* statusText(const nimbrel::MetarReport& report) {
  switch (report.status) {
    case nimbrel::MetarStatus::Ok: return report.nil ? "nil" : "ok";
    case nimbrel::MetarStatus::Partial: return report.nil ? "nil" : "partial";
    case nimbrel::MetarStatus::Rejected: break;
  }
  return "rejected";
}

// Four figures with leading zeros, as runway visual ranges are written.
void writeFourFigures(TsvOutput& out, int value) {
  const char text[4] = {static_cast<char>('0' + value / 1000 % 10), static_cast<char>('0' + value / 100 % 10),
                        static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
  out.text({text, 4});
}

// "R26L/P1500V2000FT/U" in one normal form.
void writeRunwayVisualRange(TsvOutput& out, const nimbrel::RunwayVisualRange& rvr) {
  out.text("R");
  out.text(rvr.runwayName());
  out.text("/");
  if (!rvr.value) {
    out.text("////");
  } else {
    if (rvr.valuePrefix) out.text({&rvr.valuePrefix, 1});
    writeFourFigures(out, *rvr.value);
  }
  if (rvr.maxValue) {
    out.text("V");
    if (rvr.maxPrefix) out.text({&rvr.maxPrefix, 1});
    writeFourFigures(out, *rvr.maxValue);
  }
  if (rvr.feet) out.text("FT");
  if (rvr.trend) {
    out.text("/");
    out.text({&rvr.trend, 1});
  }
}

void writeWords(TsvOutput& out, const nimbrel::MetarReport& report) {
  if (report.current.weather.empty() && report.recentWeather.empty()) return;
  std::string words;
  for (std::span<const nimbrel::WeatherGroup> list : {report.current.weather.view(), report.recentWeather.view()}) {
    for (const nimbrel::WeatherGroup& group : list) {
      if (!words.empty()) words += ';';
      nimbrel::appendWeatherText(words, group);
    }
  }
  out.text(words);
}

void writeFlags(TsvOutput& out, const nimbrel::MetarReport& report) {
  const std::pair<bool, const char*> flags[] = {{report.automated, "AUTO"},
                                                {report.corrected, "COR"},
                                                {report.nil, "NIL"},
                                                {report.special, "SPECI"},
                                                {report.pressureFromSeaLevel, "PRESSURE_FROM_SLP"}};
  bool first = true;
  for (const auto& [set, name] : flags) {
    if (!set) continue;
    if (!first) out.text(" ");
    first = false;
    out.text(name);
  }
}

void writeReport(TsvOutput& out, const nimbrel::MetarReport& report) {
  if (report.status == nimbrel::MetarStatus::Rejected) {
    out.text("\t\t\t\t\t\t\t\t\t\t\t\trejected\t\t\t\t\t\t\t\t");
    out.text(report.rejectReason);
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
  out.text(statusText(report));
  out.tab();
  writeWords(out, report);
  out.tab();
  writeClouds(out, report.current.clouds.view());
  out.tab();
  bool first = true;
  for (const nimbrel::RunwayVisualRange& rvr : report.runwayVisualRanges) {
    if (!first) out.text(" ");
    first = false;
    writeRunwayVisualRange(out, rvr);
  }
  out.tab();
  const nimbrel::Wind& wind = report.current.wind;
  if (wind.variableFromDeg && wind.variableToDeg) {
    out.number(*wind.variableFromDeg, 0);
    out.text("-");
    out.number(*wind.variableToDeg, 0);
  }
  out.tab();
  out.number(report.seaLevelPressureHpa, 1);
  out.tab();
  writeFlags(out, report);
  out.tab();
  writeUndecoded(out, report.notDecoded, report.notDecodedCount);
  out.tab();
  out.endLine();
}

}  // namespace

const char* metarHeader() { return kHeader; }
void writeMetarRow(TsvOutput& out, const nimbrel::MetarReport& report) { writeReport(out, report); }

int runMetarCommand(int argc, char** argv) {
  return decodeReportFile(argc, argv, "metar", kHeader, "reports",
                          [](TsvOutput& out, std::string_view line, nimbrel::UtcDateTime anchor) {
                            do {
                              writeReport(out, nimbrel::decodeNextMetar(line, anchor));
                            } while (!line.empty());
                          });
}
