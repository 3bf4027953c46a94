// Display units: every conversion and text as one table, the presets, and
// the settings text round trip.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/DisplayUnits.h"

namespace nimbrel {
namespace {

TEST(DisplayUnits, ConversionsAndTexts) {
  struct Case {
    const char* what;
    double value;       // in the report's unit: °C, hPa, kt, m, ft
    double converted;
    std::string text;
    std::function<double(double)> convert;
    std::function<std::string(double)> write;
  };
  using T = TemperatureUnit;
  using P = PressureUnit;
  using S = SpeedUnit;
  using V = VisibilityUnit;
  using H = HeightUnit;
  auto temperature = [](T u) { return std::pair{[u](double v) { return temperatureIn(v, u); }, [u](double v) { return temperatureText(v, u); }}; };
  auto pressure = [](P u) { return std::pair{[u](double v) { return pressureIn(v, u); }, [u](double v) { return pressureText(v, u); }}; };
  auto speed = [](S u) { return std::pair{[u](double v) { return speedIn(v, u); }, [u](double v) { return speedText(v, u); }}; };
  auto visibility = [](V u) { return std::pair{[u](double v) { return visibilityIn(v, u); }, [u](double v) { return visibilityText(v, u); }}; };
  auto height = [](H u) { return std::pair{[u](double v) { return heightIn(v, u); }, [u](double v) { return heightText(v, u); }}; };
  const auto row = [](const char* what, double value, double converted, std::string text, auto unit) {
    return Case{what, value, converted, std::move(text), unit.first, unit.second};
  };
  const Case cases[] = {
      row("20 C in C", 20.0, 20.0, "20.0\xB0" "C", temperature(T::kCelsius)),
      row("20 C in F", 20.0, 68.0, "68.0\xB0" "F", temperature(T::kFahrenheit)),
      row("-40 C in F", -40.0, -40.0, "-40.0\xB0" "F", temperature(T::kFahrenheit)),
      row("-0.04 C", -0.04, -0.04, "0.0\xB0" "C", temperature(T::kCelsius)),
      row("1013.25 hPa", 1013.25, 1013.25, "1013.2 hPa", pressure(P::kHectopascal)),
      row("1013.25 hPa in inHg", 1013.25, 29.9212, "29.92 inHg", pressure(P::kInchOfMercury)),
      row("10 kt", 10.0, 10.0, "10 kt", speed(S::kKnot)),
      row("10 kt in m/s", 10.0, 5.14444, "5.1 m/s", speed(S::kMetrePerSecond)),
      row("10 kt in km/h", 10.0, 18.52, "19 km/h", speed(S::kKilometrePerHour)),
      row("10 kt in mph", 10.0, 11.50779, "12 mph", speed(S::kMilePerHour)),
      row("800 m", 800.0, 800.0, "800 m", visibility(V::kMetric)),
      row("4980 m", 4980.0, 4980.0, "5000 m", visibility(V::kMetric)),
      row("9999 m", 9999.0, 9999.0, "10 km", visibility(V::kMetric)),
      row("1 1/2 SM", 2414.016, 1.5, "1 1/2 SM", visibility(V::kStatuteMile)),
      row("1/4 SM", 402.336, 0.25, "1/4 SM", visibility(V::kStatuteMile)),
      row("2 SM", 3218.688, 2.0, "2 SM", visibility(V::kStatuteMile)),
      row("10 SM", 16093.44, 10.0, "10 SM", visibility(V::kStatuteMile)),
      row("2500 ft", 2500.0, 2500.0, "2500 ft", height(H::kFoot)),
      row("2500 ft in m", 2500.0, 762.0, "762 m", height(H::kMetre)),
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(c.convert(c.value), c.converted, 1e-3) << c.what;
    EXPECT_EQ(c.write(c.value), c.text) << c.what;
  }
}

TEST(DisplayUnits, PresetsAndTheDefault) {
  EXPECT_EQ(unitsSettingText(DisplayUnits{}), "C,hPa,m/s,metric,m");
  EXPECT_EQ(unitsSettingText(unitPreset(UnitPreset::kAviation)), "C,hPa,kt,metric,ft");
  EXPECT_EQ(unitsSettingText(unitPreset(UnitPreset::kAviation, true)), "C,hPa,kt,SM,ft");
  EXPECT_EQ(unitsSettingText(unitPreset(UnitPreset::kMetric)), "C,hPa,km/h,metric,m");
  EXPECT_EQ(unitsSettingText(unitPreset(UnitPreset::kUs)), "F,inHg,mph,SM,ft");
}

TEST(DisplayUnits, SettingTextRoundTripAndRefusals) {
  for (const DisplayUnits& units : {DisplayUnits{}, unitPreset(UnitPreset::kUs), unitPreset(UnitPreset::kAviation, true)})
    EXPECT_EQ(unitsFromSettingText(unitsSettingText(units)), units);
  EXPECT_EQ(unitsFromSettingText(" F , hPa,kt ,SM,m"),
            (DisplayUnits{TemperatureUnit::kFahrenheit, PressureUnit::kHectopascal, SpeedUnit::kKnot,
                          VisibilityUnit::kStatuteMile, HeightUnit::kMetre}));
  for (const char* bad : {"", "C,hPa,kt,SM", "C,hPa,kt,SM,ft,m", "K,hPa,kt,SM,ft", "C,hPa,knots,SM,ft", "C,,kt,SM,ft"})
    EXPECT_EQ(unitsFromSettingText(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace nimbrel
