#include <gtest/gtest.h>

#include <stdexcept>

#include "observations/Observation.h"

namespace nimbrel {
namespace {

TEST(ObservationArray, HoldsCopiesInOrderAndChecksBounds) {
  CObservationArray array;
  CObservation first;
  first.temperature = 1.5;
  first.reportText = "first";
  CObservation second;
  second.observedAt = 42;
  EXPECT_EQ(array.Add(first), 0);
  EXPECT_EQ(array.Add(second), 1);
  first.temperature = 99.0;  // the array kept its own copy
  ASSERT_EQ(array.GetSize(), 2);
  EXPECT_EQ(array.GetAt(0).temperature, 1.5);
  EXPECT_EQ(array.GetAt(0).reportText, "first");
  EXPECT_EQ(array.GetAt(1).observedAt, 42);
  EXPECT_THROW(array.GetAt(2), std::out_of_range);
  EXPECT_THROW(array.GetAt(-1), std::out_of_range);
  EXPECT_THROW(array.ElementAt(2), std::out_of_range);
  array.RemoveAll();
  EXPECT_EQ(array.GetSize(), 0);
  EXPECT_THROW(array.GetAt(0), std::out_of_range);
}

TEST(Observation, ClearAndCopyCoverEveryField) {
  CObservation full;
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

  CObservation copy;
  CopyObservation(copy, full);
  EXPECT_EQ(copy, full);
  CopyObservation(copy, copy);
  EXPECT_EQ(copy, full);

  ClearObservation(copy);
  EXPECT_EQ(copy, CObservation{});
  EXPECT_EQ(copy.observedAt, 0);
  EXPECT_TRUE(copy.reportText.empty());
  EXPECT_EQ(copy.pressureInches, 0.0);
}

}  // namespace
}  // namespace nimbrel
