#include <gtest/gtest.h>

#include <stdexcept>

#include "catalog/Station.h"

namespace nimbrel {
namespace {

CStation MakeCatalogueStation(const std::string& name, const std::string& icao) {
  CStation s;
  s.name() = name;
  s.icao() = icao;
  s.mapLongitude() = 123.5;
  s.mapColatitude() = 77.25;
  s.elevation() = 89.0;
  s.refreshMinutes() = 20;
  s.texts[4] = "ZZZZZ";
  s.cy() = "QQ";
  return s;
}

TEST(StationRecord, NewRecordIsEmpty) {
  CStation s;
  for (bool f : s.flags) EXPECT_FALSE(f);
  for (auto i : s.ints) EXPECT_EQ(i, 0);
  for (double r : s.reals) EXPECT_EQ(r, 0.0);
  for (const auto& t : s.texts) EXPECT_TRUE(t.empty());
}

TEST(StationRecord, CopyStationFieldsLeavesSettingsUntouched) {
  CStation current;
  SetDefaultSettings(current);
  current.utcDeltaHours() = 3;
  current.flags[5] = true;  // write meteodata switched on by the user
  const CStation before = current;

  const CStation station = MakeCatalogueStation("SAMPLE FIELD", "ZZZZ");
  CopyStationFields(current, station);

  EXPECT_EQ(current.flags, before.flags);
  EXPECT_EQ(current.pastHours(), 6);
  EXPECT_EQ(current.nearestMinutes(), 90.0);
  EXPECT_EQ(current.utcDeltaHours(), 3);
  EXPECT_EQ(current.texts, station.texts);
  EXPECT_EQ(current.refreshMinutes(), 20);
  EXPECT_EQ(current.mapLongitude(), 123.5);
  EXPECT_EQ(current.mapColatitude(), 77.25);
  EXPECT_EQ(current.elevation(), 89.0);
}

TEST(StationRecord, ClearStationFieldsKeepsSettings) {
  CStation current;
  SetDefaultSettings(current);
  CopyStationFields(current, MakeCatalogueStation("SAMPLE FIELD", "ZZZZ"));
  current.utcDeltaHours() = -4;
  ClearStationFields(current);

  CStation expected;
  SetDefaultSettings(expected);
  expected.utcDeltaHours() = -4;
  EXPECT_EQ(current, expected);
}

TEST(StationRecord, DefaultSettings) {
  CStation s;
  SetDefaultSettings(s);
  EXPECT_TRUE(s.showTemperature());
  EXPECT_TRUE(s.showPressure());
  EXPECT_TRUE(s.showWindSpeed());
  EXPECT_TRUE(s.showWindDirection());
  EXPECT_FALSE(s.timeUtc());
  EXPECT_FALSE(s.writeMeteodata());
  EXPECT_TRUE(s.metricStyle());
  EXPECT_EQ(s.pastHours(), 6);
  EXPECT_EQ(s.nearestMinutes(), 90.0);
}

TEST(StationArray, RemoveAtKeepsOrderAndBoundsAreChecked) {
  CStationArray list;
  int expectedIndex = 0;
  for (const char* icao : {"AAAA", "BBBB", "CCCC", "DDDD"}) EXPECT_EQ(list.Add(MakeCatalogueStation(icao, icao)), expectedIndex++);
  list.RemoveAt(1);
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.GetAt(0).icao(), "AAAA");
  EXPECT_EQ(list.GetAt(1).icao(), "CCCC");
  EXPECT_EQ(list.GetAt(2).icao(), "DDDD");
  EXPECT_THROW(list.GetAt(3), std::out_of_range);
  EXPECT_THROW(list.GetAt(-1), std::out_of_range);
  EXPECT_THROW(list.RemoveAt(3), std::out_of_range);
  list.RemoveAll();
  EXPECT_EQ(list.GetSize(), 0);
}

}  // namespace
}  // namespace nimbrel
