#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

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

namespace nimbrel {
namespace {

CStationArray::Loader Loads(std::vector<std::string> names, int& calls) {
  return [names, &calls](CStationArray& list) {
    ++calls;
    for (const std::string& name : names) list.AddNew().name() = name;
  };
}

std::vector<std::string> NamesOf(const CStationArray& list) {
  std::vector<std::string> names;
  for (const CStation& s : list) names.push_back(s.name());
  return names;
}

TEST(StationArray, APendingListLoadsOnceOnItsFirstUseOfAnyKind) {
  int calls = 0;
  CStationArray list;
  list.AddNew().name() = "OLD";
  list.SetPending(Loads({"A", "B"}, calls));
  EXPECT_TRUE(list.IsPending());
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(list.GetSize(), 2);
  EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(calls, 1);

  // Every reader and writer settles the list first.
  const std::vector<std::function<void(CStationArray&)>> uses = {
      [](CStationArray& l) { l.GetAt(0); },
      [](CStationArray& l) { l.ElementAt(1); },
      [](CStationArray& l) { l.Add(CStation{}); },
      [](CStationArray& l) { l.RemoveAt(0); },
      [](CStationArray& l) { l.Reserve(10); },
      [](CStationArray& l) { (void)l.begin(); },
      [](CStationArray& l) { CStationArray copy(l); },
      [](CStationArray& l) { CStationArray moved(std::move(l)); },
  };
  for (std::size_t i = 0; i < uses.size(); ++i) {
    int loads = 0;
    CStationArray pending;
    pending.SetPending(Loads({"X", "Y"}, loads));
    uses[i](pending);
    EXPECT_EQ(loads, 1) << i;
    EXPECT_FALSE(pending.IsPending()) << i;
  }
}

TEST(StationArray, CopiesOfAPendingListHoldItsRecordsAndEmptyingDropsTheLoad) {
  int calls = 0;
  CStationArray source;
  source.SetPending(Loads({"A"}, calls));
  CStationArray copy;
  copy = source;
  EXPECT_EQ(NamesOf(copy), (std::vector<std::string>{"A"}));
  EXPECT_EQ(NamesOf(source), (std::vector<std::string>{"A"}));
  CStationArray target;
  target.SetPending(Loads({"NEVER"}, calls));
  target = std::move(copy);  // the target's own load is dropped, not run
  EXPECT_EQ(NamesOf(target), (std::vector<std::string>{"A"}));
  EXPECT_EQ(calls, 1);

  source.SetPending(Loads({"B"}, calls));
  source.RemoveAll();
  EXPECT_FALSE(source.IsPending());
  EXPECT_EQ(source.GetSize(), 0);
  EXPECT_EQ(calls, 1);
}

TEST(StationArray, AFailedLoadLeavesAnEmptyListAndIsNotRetried) {
  int calls = 0;
  CStationArray list;
  list.SetPending([&](CStationArray& partial) {
    ++calls;
    partial.AddNew().name() = "HALF";
    throw std::runtime_error("read failed");
  });
  EXPECT_THROW(list.GetSize(), std::runtime_error);
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace nimbrel
