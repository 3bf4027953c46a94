#pragma once
// The station whose "no data" words the request tests compare.
#include "catalog/Station.h"

namespace nimbrel::test {

inline Station SampleField() {
  Station station;
  station.name = "SAMPLE FIELD";
  station.cd = "ZZ";
  station.icao = "KXYZ";
  station.latText = "12 34N";
  station.lonText = "056 07W";
  station.elevText = "89";
  station.country = "QQ";
  return station;
}

}  // namespace nimbrel::test
