#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {
namespace {

Station MakeCatalogueStation(const std::string& name, const std::string& icao) {
  Station s;
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
  Station s;
  for (bool f : s.flags) EXPECT_FALSE(f);
  for (auto i : s.ints) EXPECT_EQ(i, 0);
  for (double r : s.reals) EXPECT_EQ(r, 0.0);
  for (const auto& t : s.texts) EXPECT_TRUE(t.empty());
}

TEST(StationRecord, CopyStationFieldsLeavesSettingsUntouched) {
  Station current;
  setDefaultSettings(current);
  current.utcDeltaHours() = 3;
  current.flags[5] = true;  // write meteodata switched on by the user
  const Station before = current;

  const Station station = MakeCatalogueStation("SAMPLE FIELD", "ZZZZ");
  copyStationFields(current, station);

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
  Station current;
  setDefaultSettings(current);
  copyStationFields(current, MakeCatalogueStation("SAMPLE FIELD", "ZZZZ"));
  current.utcDeltaHours() = -4;
  clearStationFields(current);

  Station expected;
  setDefaultSettings(expected);
  expected.utcDeltaHours() = -4;
  EXPECT_EQ(current, expected);
}

TEST(StationRecord, DefaultSettings) {
  Station s;
  setDefaultSettings(s);
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
  StationList list;
  int expectedIndex = 0;
  for (const char* icao : {"AAAA", "BBBB", "CCCC", "DDDD"}) EXPECT_EQ(list.add(MakeCatalogueStation(icao, icao)), expectedIndex++);
  list.removeAt(1);
  ASSERT_EQ(list.getSize(), 3);
  EXPECT_EQ(list.getAt(0).icao(), "AAAA");
  EXPECT_EQ(list.getAt(1).icao(), "CCCC");
  EXPECT_EQ(list.getAt(2).icao(), "DDDD");
  EXPECT_THROW(list.getAt(3), std::out_of_range);
  EXPECT_THROW(list.getAt(-1), std::out_of_range);
  EXPECT_THROW(list.removeAt(3), std::out_of_range);
  list.removeAll();
  EXPECT_EQ(list.getSize(), 0);
}

}  // namespace
}  // namespace nimbrel

namespace nimbrel {
namespace {

StationList::Loader Loads(std::vector<std::string> names, int& calls) {
  return [names, &calls](StationList& list) {
    ++calls;
    for (const std::string& name : names) list.addNew().name() = name;
  };
}

std::vector<std::string> NamesOf(const StationList& list) {
  std::vector<std::string> names;
  for (const Station& s : list) names.push_back(s.name());
  return names;
}

TEST(StationArray, APendingListLoadsOnceOnItsFirstUseOfAnyKind) {
  int calls = 0;
  StationList list;
  list.addNew().name() = "OLD";
  list.setPending(Loads({"A", "B"}, calls));
  EXPECT_TRUE(list.isPending());
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(list.getSize(), 2);
  EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(calls, 1);

  // Every reader and writer settles the list first.
  const std::vector<std::function<void(StationList&)>> uses = {
      [](StationList& l) { l.getAt(0); },
      [](StationList& l) { l.elementAt(1); },
      [](StationList& l) { l.add(Station{}); },
      [](StationList& l) { l.removeAt(0); },
      [](StationList& l) { l.reserve(10); },
      [](StationList& l) { (void)l.begin(); },
      [](StationList& l) { StationList copy(l); },
      [](StationList& l) { StationList moved(std::move(l)); },
  };
  for (std::size_t i = 0; i < uses.size(); ++i) {
    int loads = 0;
    StationList pending;
    pending.setPending(Loads({"X", "Y"}, loads));
    uses[i](pending);
    EXPECT_EQ(loads, 1) << i;
    EXPECT_FALSE(pending.isPending()) << i;
  }
}

TEST(StationArray, CopiesOfAPendingListHoldItsRecordsAndEmptyingDropsTheLoad) {
  int calls = 0;
  StationList source;
  source.setPending(Loads({"A"}, calls));
  StationList copy;
  copy = source;
  EXPECT_EQ(NamesOf(copy), (std::vector<std::string>{"A"}));
  EXPECT_EQ(NamesOf(source), (std::vector<std::string>{"A"}));
  StationList target;
  target.setPending(Loads({"NEVER"}, calls));
  target = std::move(copy);  // the target's own load is dropped, not run
  EXPECT_EQ(NamesOf(target), (std::vector<std::string>{"A"}));
  EXPECT_EQ(calls, 1);

  source.setPending(Loads({"B"}, calls));
  source.removeAll();
  EXPECT_FALSE(source.isPending());
  EXPECT_EQ(source.getSize(), 0);
  EXPECT_EQ(calls, 1);
}

TEST(StationArray, AFailedLoadLeavesAnEmptyListAndIsNotRetried) {
  int calls = 0;
  StationList list;
  list.setPending([&](StationList& partial) {
    ++calls;
    partial.addNew().name() = "HALF";
    throw std::runtime_error("read failed");
  });
  EXPECT_THROW(list.getSize(), std::runtime_error);
  EXPECT_EQ(list.getSize(), 0);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace nimbrel
