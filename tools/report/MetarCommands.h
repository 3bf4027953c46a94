#pragma once
#include "TsvOutput.h"
#include "metar/Conditions.h"
// The decoder commands; each takes the arguments after its own name and
// returns the exit code.

int runMetarCommand(int argc, char** argv);  // metar FILE
int runTafCommand(int argc, char** argv);    // taf FILE

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
