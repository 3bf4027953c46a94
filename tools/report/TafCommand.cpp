// nimbrel-report taf FILE: one tab-separated line for every part (base
// forecast and change group) of every TAF line of a file.
#include <cstdio>

#include "MetarCommands.h"
#include "ReportLineReader.h"
#include "TsvOutput.h"
#include "metar/TafDecoder.h"

namespace {

// The columns of before the whole decoding came in stay first and in their order.
constexpr const char* kHeader =
    "station\tissued\tgroup\tfrom\tto\tprobability\twind_dir\twind_kt\tgust_kt\t"
    "visibility_m\tweather\tceiling_ft\tcategory\tstatus\ttx_c\ttn_c\twind_shear\tundecoded\treason";

void writeTime(TsvOutput& out, const nimbrel::UtcDateTime& time) {
  char text[nimbrel::UtcDateTime::kTextLength];
  time.formatTo(text);
  out.text({text, sizeof text});
}

// The forecast temperatures of one kind ('X' or 'N'), ";"-separated.
void writeTemperatures(TsvOutput& out, const nimbrel::TafReport& taf, char kind) {
  bool first = true;
  for (const nimbrel::TafTemperature& t : taf.temperatures) {
    if (t.kind != kind) continue;
    if (!first) out.text(";");
    first = false;
    out.number(t.valueC, 0);
  }
}

// "WS020/27045KT" in one normal form.
void writeWindShear(TsvOutput& out, const nimbrel::TafWindShear& shear) {
  char text[32];
  std::snprintf(text, sizeof text, "WS%03d/", shear.heightFt / 100 % 1000);
  out.text(text);
  if (shear.directionDeg) std::snprintf(text, sizeof text, "%03d", *shear.directionDeg % 1000);
  else std::snprintf(text, sizeof text, "///");
  out.text(text);
  if (shear.speedKt) std::snprintf(text, sizeof text, "%02.0fKT", *shear.speedKt);
  else std::snprintf(text, sizeof text, "//KT");
  out.text(text);
}

// `undecoded` is this group's share of the TAF's groups not understood,
// which are kept in the order met and so group by group.
void writeGroup(TsvOutput& out, const nimbrel::TafReport& taf, const nimbrel::TafGroup& group,
                std::span<const std::string> undecoded) {
  out.text(taf.station);
  out.tab();
  if (taf.issued) writeTime(out, *taf.issued);
  out.tab();
  out.text(nimbrel::tafGroupKindText(group));
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
  out.tab();
  writeTemperatures(out, taf, 'X');
  out.tab();
  writeTemperatures(out, taf, 'N');
  out.tab();
  if (group.windShear) writeWindShear(out, *group.windShear);
  out.tab();
  writeUndecoded(out, undecoded, group.notDecodedCount);
  out.tab();
  out.endLine();
}

void writeTaf(TsvOutput& out, const nimbrel::TafReport& taf) {
  if (taf.status == nimbrel::MetarStatus::Rejected) {
    out.text("\t\t\t\t\t\t\t\t\t\t\t\t\trejected\t\t\t\t\t");
    out.text(taf.rejectReason);
    out.endLine();
    return;
  }
  if (taf.nil) {  // no forecast: the header only
    out.text(taf.station);
    out.tab();
    if (taf.issued) writeTime(out, *taf.issued);
    out.text("\t\t\t\t\t\t\t\t\t\t\t\tnil\t\t\t\t\t");
    out.endLine();
    return;
  }
  std::size_t used = 0;
  for (const nimbrel::TafGroup& group : taf.groups) {
    const std::size_t from = std::min(used, taf.notDecoded.size());
    used += group.notDecodedCount;
    const std::size_t to = std::min(used, taf.notDecoded.size());
    writeGroup(out, taf, group, std::span<const std::string>(taf.notDecoded).subspan(from, to - from));
  }
}

}  // namespace

int runTafCommand(int argc, char** argv) {
  return decodeReportFile(argc, argv, "taf", kHeader, "forecasts",
                          [](TsvOutput& out, std::string_view line, nimbrel::UtcDateTime anchor) {
                            writeTaf(out, nimbrel::decodeTaf(line, anchor));
                          });
}
