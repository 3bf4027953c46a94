#include <gtest/gtest.h>

#include <stdexcept>

#include "observations/Observation.h"

namespace nimbrel {
namespace {

TEST(ObservationArray, HoldsCopiesInOrderAndChecksBounds) {
  ObservationList array;
  Observation first;
  first.temperature = 1.5;
  first.reportText = "first";
  Observation second;
  second.observedAt = 42;
  EXPECT_EQ(array.add(first), 0);
  EXPECT_EQ(array.add(second), 1);
  first.temperature = 99.0;  // the array kept its own copy
  ASSERT_EQ(array.getSize(), 2);
  EXPECT_EQ(array.getAt(0).temperature, 1.5);
  EXPECT_EQ(array.getAt(0).reportText, "first");
  EXPECT_EQ(array.getAt(1).observedAt, 42);
  EXPECT_THROW(array.getAt(2), std::out_of_range);
  EXPECT_THROW(array.getAt(-1), std::out_of_range);
  EXPECT_THROW(array.elementAt(2), std::out_of_range);
  array.removeAll();
  EXPECT_EQ(array.getSize(), 0);
  EXPECT_THROW(array.getAt(0), std::out_of_range);
}

TEST(Observation, ClearAndCopyCoverEveryField) {
  Observation full;
  full.temperature = 1;
  full.dewpoint = 2;
  full.humidity = 3;
  full.pressure = 4;
  full.windSpeed = 5;
  full.windDirection = 6;
  full.visibility = 7;
  full.pressureInches = 8;
  full.conditionsText = "a";
  full.temperatureText = "b";
  full.dewpointText = "c";
  full.pressureText = "d";
  full.windsText = "e";
  full.visibilityText = "f";
  full.ceilingText = "g";
  full.cloudsText = "h";
  full.weatherText = "i";
  full.reportText = "j";
  full.observedAt = 9;

  Observation copy;
  copyObservation(copy, full);
  EXPECT_EQ(copy, full);
  copyObservation(copy, copy);
  EXPECT_EQ(copy, full);

  clearObservation(copy);
  EXPECT_EQ(copy, Observation{});
  EXPECT_EQ(copy.observedAt, 0);
  EXPECT_TRUE(copy.reportText.empty());
  EXPECT_EQ(copy.pressureInches, 0.0);
}

}  // namespace
}  // namespace nimbrel
