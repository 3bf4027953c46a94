#pragma once
// One record type serves a catalogue station, a chart window's station and,
// as the main frame's current record, the program's settings.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

struct CStation {
  std::array<bool, 7> flags{};
  std::array<std::int32_t, 3> ints{};
  std::array<double, 4> reals{};
  std::array<std::string, 16> texts{};

  // Settings (flags, pastHours, nearestMinutes), view and station elements.
  bool& showTemperature() { return flags[0]; }
  bool& showPressure() { return flags[1]; }
  bool& showWindSpeed() { return flags[2]; }
  bool& showWindDirection() { return flags[3]; }
  bool& timeUtc() { return flags[4]; }
  bool& writeMeteodata() { return flags[5]; }
  bool& metricStyle() { return flags[6]; }
  std::int32_t& refreshMinutes() { return ints[0]; }
  std::int32_t& utcDeltaHours() { return ints[1]; }
  std::int32_t& pastHours() { return ints[2]; }
  double& mapLongitude() { return reals[0]; }
  double& mapColatitude() { return reals[1]; }
  double& elevation() { return reals[2]; }
  double& nearestMinutes() { return reals[3]; }
  std::string& cd() { return texts[0]; }
  std::string& name() { return texts[1]; }
  std::string& icao() { return texts[2]; }
  std::string& iata() { return texts[3]; }
  std::string& latText() { return texts[5]; }
  std::string& lonText() { return texts[6]; }
  std::string& elevText() { return texts[7]; }
  std::string& cy() { return texts[15]; }

  bool showTemperature() const { return flags[0]; }
  bool showPressure() const { return flags[1]; }
  bool showWindSpeed() const { return flags[2]; }
  bool showWindDirection() const { return flags[3]; }
  bool timeUtc() const { return flags[4]; }
  bool writeMeteodata() const { return flags[5]; }
  bool metricStyle() const { return flags[6]; }
  std::int32_t refreshMinutes() const { return ints[0]; }
  std::int32_t utcDeltaHours() const { return ints[1]; }
  std::int32_t pastHours() const { return ints[2]; }
  double mapLongitude() const { return reals[0]; }
  double mapColatitude() const { return reals[1]; }
  double elevation() const { return reals[2]; }
  double nearestMinutes() const { return reals[3]; }
  const std::string& cd() const { return texts[0]; }
  const std::string& name() const { return texts[1]; }
  const std::string& icao() const { return texts[2]; }
  const std::string& iata() const { return texts[3]; }
  const std::string& latText() const { return texts[5]; }
  const std::string& lonText() const { return texts[6]; }
  const std::string& elevText() const { return texts[7]; }
  const std::string& cy() const { return texts[15]; }

  bool operator==(const CStation&) const = default;
};

// Station lists hold records by value in insertion order; an index outside
// the list throws std::out_of_range.
//
// A list may also be pending: its records are read by a loader on first use,
// whatever that use is, so start-up can show its window before the station
// list is parsed. A pending list looks like a loaded one to every caller.
class CStationArray {
 public:
  using Loader = std::function<void(CStationArray&)>;

  CStationArray() = default;
  CStationArray(const CStationArray& other);
  CStationArray(CStationArray&& other);
  CStationArray& operator=(const CStationArray& other);
  CStationArray& operator=(CStationArray&& other);
  ~CStationArray() = default;

  // Replaces the records with what loader puts into its (empty) argument
  // when the list is first used.
  void SetPending(Loader loader);
  bool IsPending() const { return static_cast<bool>(pending); }

  int Add(const CStation& station);
  // Appends an empty record and returns it, so a reader fills it in place.
  CStation& AddNew() {
    Settle();
    return items.emplace_back();
  }
  // Empties the list; a pending load is dropped unread.
  void RemoveAll() {
    pending = nullptr;
    items.clear();
  }
  void RemoveAt(int index);
  int GetSize() const {
    Settle();
    return static_cast<int>(items.size());
  }
  const CStation& GetAt(int index) const;
  CStation& ElementAt(int index);
  void Reserve(int count) {
    Settle();
    items.reserve(static_cast<std::size_t>(count));
  }

  auto begin() const {
    Settle();
    return items.cbegin();
  }
  auto end() const {
    Settle();
    return items.cend();
  }

 private:
  void Settle() const {
    if (pending) [[unlikely]] Load();
  }
  void Load() const;

  // Loading on first use happens behind const readers.
  mutable std::vector<CStation> items;
  mutable Loader pending;
};

// Puts a station into a record without touching its settings (flags,
// utcDeltaHours, pastHours, nearestMinutes).
void CopyStationFields(CStation& destination, const CStation& source);
// Empties the station elements and leaves the settings as they are.
void ClearStationFields(CStation& record);

// Removes the first entry of openStations with exactly this ICAO code, so a
// station with two open windows keeps one mark when one of them closes.
bool RemoveOpenStation(CStationArray& openStations, const std::string& icao);

// The program's default settings, as every run starts with them.
void SetDefaultSettings(CStation& record);

}  // namespace nimbrel
