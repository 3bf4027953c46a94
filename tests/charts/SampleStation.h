#pragma once
#include "catalog/Station.h"

namespace nimbrel::test {

// The station the chart tests set their charts up for.
inline Station SampleStation() {
  Station station;
  station.name() = "ST. PAUL";
  station.cd() = "MN";
  station.latText() = "44 56N";
  station.lonText() = "093 03W";
  station.elevText() = "215";
  station.cy() = "US";
  station.refreshMinutes() = 30;
  return station;
}

}  // namespace nimbrel::test
