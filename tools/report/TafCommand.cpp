// nimbrel-report taf FILE: one tab-separated line for every part (base
// forecast and change group) of every TAF line of a file.
#include <cstdio>

#include "MetarCommands.h"
#include "ReportLineReader.h"
#include "TsvOutput.h"
#include "metar/TafDecoder.h"

namespace {

void writeTime(TsvOutput& out, const nimbrel::UtcDateTime& time) {
  char text[nimbrel::UtcDateTime::kTextLength];
  time.formatTo(text);
  out.text({text, sizeof text});
}

void writeGroup(TsvOutput& out, const nimbrel::TafReport& taf, const nimbrel::TafGroup& group) {
  out.text(taf.station);
  out.tab();
  if (taf.issued) writeTime(out, *taf.issued);
  out.tab();
  out.text(nimbrel::tafGroupKindText(group.kind));
  out.tab();
  writeTime(out, group.from);
  out.tab();
  writeTime(out, group.to);
  out.tab();
  if (group.probability > 0) out.number(group.probability, 0);
  out.tab();
  writeWindAndVisibility(out, group.conditions);
  if (!group.conditions.weather.empty()) out.text(nimbrel::weatherText(group.conditions.weather.view()));
  else if (group.conditions.noSignificantWeather) out.text("no significant weather");
  out.tab();
  if (const auto ceiling = group.conditions.ceilingFt()) out.number(*ceiling, 0);
  out.tab();
  out.text(nimbrel::flightCategoryText(group.flightCategory()));
  out.tab();
  out.text(group.notDecodedCount > 0 ? "partial" : "ok");
  out.endLine();
}

void writeTaf(TsvOutput& out, const nimbrel::TafReport& taf) {
  if (taf.status == nimbrel::MetarStatus::Rejected) {
    out.text("\t\t\t\t\t\t\t\t\t\t\t\t\trejected");
    out.endLine();
    return;
  }
  if (taf.groups.empty()) {  // NIL: the header only
    out.text(taf.station);
    out.tab();
    if (taf.issued) writeTime(out, *taf.issued);
    out.text("\t\t\t\t\t\t\t\t\t\t\t\tok");
    out.endLine();
    return;
  }
  for (const nimbrel::TafGroup& group : taf.groups) writeGroup(out, taf, group);
}

}  // namespace

int runTafCommand(int argc, char** argv) {
  return decodeReportFile(argc, argv, "taf",
                          "station\tissued\tgroup\tfrom\tto\tprobability\twind_dir\twind_kt\tgust_kt\t"
                          "visibility_m\tweather\tceiling_ft\tcategory\tstatus",
                          "forecasts", [](TsvOutput& out, std::string_view line, nimbrel::UtcDateTime anchor) {
                            writeTaf(out, nimbrel::decodeTaf(line, anchor));
                          });
}
