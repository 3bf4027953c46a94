#pragma once
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "TsvOutput.h"
#include "metar/Conditions.h"
#include "metar/MetarReport.h"
// The decoder commands; each takes the arguments after its own name and
// returns the exit code.

int runMetarCommand(int argc, char** argv);  // metar [--header | --no-header] FILE
int runTafCommand(int argc, char** argv);    // taf [--header | --no-header] FILE
// history ICAO [--hours N] [--store FILE]: a station's stored reports
int runHistoryCommand(int argc, char** argv);
// store-info [--store FILE]: the store's counts, time span and size
int runStoreInfoCommand(int argc, char** argv);

// The metar command's header line and the row of one report.
const char* metarHeader();
void writeMetarRow(TsvOutput& out, const nimbrel::MetarReport& report);

// The wind_dir, wind_kt, gust_kt and visibility_m columns, each followed by
// its tab: a calm wind writes 0 as its direction.
inline void writeWindAndVisibility(TsvOutput& out, const nimbrel::Conditions& conditions) {
  const nimbrel::Wind& wind = conditions.wind;
  if (wind.isCalm()) out.text("0");
  else if (wind.variable) out.text("VRB");
  else if (wind.directionDeg) out.number(*wind.directionDeg, 0);
  out.tab();
  out.number(wind.speedKt, 1);
  out.tab();
  out.number(wind.gustKt, 1);
  out.tab();
  out.number(conditions.visibility.prevailingM, 0);
  out.tab();
}

// The layers in one normal form, space-separated: "FEW035 BKN044CB VV002 NSC".
inline void writeClouds(TsvOutput& out, std::span<const nimbrel::CloudLayer> layers) {
  using nimbrel::CloudCover;
  bool first = true;
  for (const nimbrel::CloudLayer& layer : layers) {
    if (!first) out.text(" ");
    first = false;
    switch (layer.cover) {
      case CloudCover::SkyClear: out.text("SKC"); continue;
      case CloudCover::Clear: out.text("CLR"); continue;
      case CloudCover::NoSignificant: out.text("NSC"); continue;
      case CloudCover::NoneDetected: out.text("NCD"); continue;
      case CloudCover::Few: out.text("FEW"); break;
      case CloudCover::Scattered: out.text("SCT"); break;
      case CloudCover::Broken: out.text("BKN"); break;
      case CloudCover::Overcast: out.text("OVC"); break;
      case CloudCover::VerticalVisibility: out.text("VV"); break;
      case CloudCover::Unknown: out.text("///"); break;
    }
    if (layer.baseFt) {
      const int hundreds = *layer.baseFt / 100 % 1000;
      const char height[3] = {static_cast<char>('0' + hundreds / 100), static_cast<char>('0' + hundreds / 10 % 10),
                              static_cast<char>('0' + hundreds % 10)};
      out.text({height, 3});
    } else {
      out.text("///");
    }
    if (layer.type == nimbrel::CloudType::Cumulonimbus) out.text("CB");
    else if (layer.type == nimbrel::CloudType::ToweringCumulus) out.text("TCU");
  }
}

// The groups not understood, space-separated, and how many more there were
// past those kept.
inline void writeUndecoded(TsvOutput& out, std::span<const std::string> kept, std::size_t count) {
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out.text(" ");
    out.text(kept[i]);  // a group holds no tab or line break: they separate groups
  }
  if (count > kept.size()) {
    char more[32];
    std::snprintf(more, sizeof more, "%s(%zu more)", kept.empty() ? "" : " ", count - kept.size());
    out.text(more);
  }
}
