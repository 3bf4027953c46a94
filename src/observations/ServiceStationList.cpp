#include "observations/ServiceStationList.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "base/ClockText.h"
#include "base/Text.h"
#include "catalog/StationListReader.h"
#include "catalog/StationListWriter.h"
#include "observations/ApiJson.h"
#include "observations/MetarCache.h"

namespace nimbrel {
namespace {

using Json = nlohmann::json;

// U+00C0..U+00DF (and, a case lower, U+00E0..U+00FF) by their ASCII
// letters; '*' marks the two-letter ones, ' ' the signs.
constexpr std::string_view kLatin1Letters = "AAAAAA*CEEEEIIIIDNOOOOO OUUUUY**";
// U+0100..U+017F, two by two mostly (capital, small).
constexpr std::string_view kLatinExtendedA =
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLLLLLNNNNNNNNNOOOOOOOORRRRRRSSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS";
static_assert(kLatin1Letters.size() == 32 && kLatinExtendedA.size() == 128);

// The next code point of UTF-8 text, or U+FFFD for a byte that starts none
// (a Windows-1252 name passes as Latin-1, which is near enough for names).
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || pos + static_cast<std::size_t>(length) > text.size()) {
    ++pos;
    return lead;
  }
  char32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    value = (value << 6) | (next & 0x3F);
  }
  pos += static_cast<std::size_t>(length);
  return value;
}

void appendAscii(std::string& out, char32_t c) {
  if (c >= 'a' && c <= 'z') {
    out += static_cast<char>(c - 'a' + 'A');
  } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '\'' || c == '-' || c == '.' || c == '/') {
    out += static_cast<char>(c);
  } else if (c == 0x2019 || c == 0x2018) {
    out += '\'';
  } else if (c >= 0xC0 && c <= 0xFF) {
    // A case lower is 0x20 higher; ÿ alone has its capital elsewhere.
    const char32_t upper = c == 0xFF ? 0xDD : c & ~char32_t{0x20};
    switch (upper) {
      case 0xC6: out += "AE"; break;
      case 0xDE: out += "TH"; break;
      case 0xDF: out += "SS"; break;
      default: out += kLatin1Letters[upper - 0xC0]; break;
    }
  } else if (c >= 0x100 && c < 0x100 + kLatinExtendedA.size()) {
    out += kLatinExtendedA[c - 0x100];
  } else {
    out += ' ';
  }
}

// Whole-word shortenings that keep names within 16 characters, as the
// shipped list has them; an empty replacement drops the word.
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kShortenings = {{
    {"INTERNATIONAL", "INTL"}, {"INTERNACIONAL", "INTL"}, {"REGIONAL", "RGNL"}, {"MUNICIPAL", "MUNI"},
    {"MEMORIAL", "MEML"},      {"NATIONAL", "NATL"},      {"COUNTY", "CO"},     {"MOUNT", "MT"},
    {"SAINT", "ST"},           {"FORT", "FT"},            {"AIRPORT", ""},      {"AERODROME", ""},
    {"AEROPORTO", ""},         {"AEROPUERTO", ""},        {"AEROPORT", ""},     {"FLUGHAFEN", ""},
    {"LUFTHAVN", ""},
}};

// One station object's fields as the reader meets them.
struct Entry {
  std::string icao, site, country, state, iata, wmo;
  double latitude = NAN, longitude = NAN, elevation = NAN;
  bool metar = false, taf = false;
};

enum class Field { kOther, kIcao, kSite, kCountry, kState, kIata, kWmo, kLat, kLon, kElev, kSiteType };

Field fieldOf(std::string_view key) {
  static constexpr std::pair<std::string_view, Field> kFields[] = {
      {"icaoId", Field::kIcao}, {"site", Field::kSite}, {"country", Field::kCountry}, {"state", Field::kState},
      {"iataId", Field::kIata}, {"wmoId", Field::kWmo}, {"lat", Field::kLat},         {"lon", Field::kLon},
      {"elev", Field::kElev},   {"siteType", Field::kSiteType},
  };
  for (const auto& [name, field] : kFields)
    if (key == name) return field;
  return Field::kOther;
}

// A number sent as a text ("47.5"), read whatever the process locale; NaN
// when it is none.
double numberOfText(std::string_view text) {
  text = trim(text);
  double value = NAN;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : NAN;
}

// Reads the array of station objects event by event: no document is built,
// which halves the time of a 10,000-station file.
class StationFileReader : public nlohmann::json_sax<Json> {
 public:
  explicit StationFileReader(std::function<void(Entry&)> take) : take(std::move(take)) {}

  int entries = 0;
  bool array = false;

  bool null() override { return value({}, NAN); }
  bool boolean(bool) override { return value({}, NAN); }
  bool number_integer(number_integer_t v) override { return value(std::to_string(v), static_cast<double>(v)); }
  bool number_unsigned(number_unsigned_t v) override { return value(std::to_string(v), static_cast<double>(v)); }
  bool number_float(number_float_t v, const string_t&) override { return value({}, v); }
  bool string(string_t& v) override {
    if (depth == 3 && inSiteType) {
      entry.metar = entry.metar || v == "METAR";
      entry.taf = entry.taf || v == "TAF";
      return true;
    }
    if (depth == 2 && field == Field::kSiteType) {
      entry.metar = v.find("METAR") != std::string::npos;
      entry.taf = v.find("TAF") != std::string::npos;
      return true;
    }
    if (depth == 2 && (field == Field::kLat || field == Field::kLon || field == Field::kElev))
      return value({}, numberOfText(v));
    return value(v, NAN);
  }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    if (depth == 1) {
      ++entries;
      entry = Entry{};
    }
    return enter(false);
  }
  bool key(string_t& name) override {
    if (depth == 2) field = fieldOf(name);
    return true;
  }
  bool end_object() override {
    if (--depth == 1) take(entry);
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth == 0) array = true;
    else if (depth == 1) ++entries;
    return enter(depth == 2 && field == Field::kSiteType);
  }
  bool end_array() override {
    --depth;
    inSiteType = false;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  bool enter(bool siteType) {
    inSiteType = siteType;
    return ++depth <= kMaxApiJsonDepth;
  }

  // A plain value: a field of the station object, or an entry of the list
  // that is no object.
  bool value(std::string text, double number) {
    if (depth == 1) ++entries;
    if (depth != 2) return true;
    switch (field) {
      case Field::kIcao: entry.icao = std::move(text); break;
      case Field::kSite: entry.site = std::move(text); break;
      case Field::kCountry: entry.country = std::move(text); break;
      case Field::kState: entry.state = std::move(text); break;
      case Field::kIata: entry.iata = std::move(text); break;
      case Field::kWmo: entry.wmo = std::move(text); break;
      case Field::kLat: entry.latitude = number; break;
      case Field::kLon: entry.longitude = number; break;
      case Field::kElev: entry.elevation = number; break;
      case Field::kSiteType:
      case Field::kOther: break;
    }
    return true;
  }

  std::function<void(Entry&)> take;
  Entry entry;
  Field field = Field::kOther;
  int depth = 0;
  bool inSiteType = false;
};

bool isCode(std::string_view text, std::size_t length, bool digitsOnly) {
  return text.size() == length && std::all_of(text.begin(), text.end(), [&](char c) {
           return isDigit(c) || (!digitsOnly && c >= 'A' && c <= 'Z');
         });
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The rank of a station's section: US states, then Canadian provinces,
// then the other countries.
int sectionRank(const Station& s) { return s.country == "US" ? 0 : s.country == "CA" ? 1 : 2; }

std::string grouped(std::size_t value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
  return digits;
}

std::string counted(std::size_t value, std::string_view one, std::string_view many) {
  return grouped(value) + " " + std::string(value == 1 ? one : many);
}

}  // namespace

std::string stationsCacheUrl(const std::string& baseUrl) {
  std::string base = baseUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/data/cache/stations.cache.json.gz";
}

std::string listStationName(std::string_view utf8Name) {
  std::string ascii;
  for (std::size_t pos = 0; pos < utf8Name.size();) appendAscii(ascii, nextCodePoint(utf8Name, pos));
  // Word by word: shortened, and runs of blanks made one.
  std::string name;
  std::size_t pos = 0;
  while (pos < ascii.size()) {
    const std::size_t start = ascii.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    const std::size_t end = std::min(ascii.find(' ', start), ascii.size());
    std::string_view word = std::string_view(ascii).substr(start, end - start);
    for (const auto& [full, shortened] : kShortenings)
      if (word == full) word = shortened;
    if (!word.empty()) {
      if (!name.empty()) name += ' ';
      name += word;
    }
    pos = end;
  }
  // A name of nothing but dropped words keeps them.
  if (name.empty()) name = std::string(trim(ascii));
  name.resize(std::min<std::size_t>(name.size(), 16));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

ServiceStations readServiceStations(std::string_view download, std::size_t ceiling) {
  ServiceStations out;
  Inflated inflated = inflateDownload(download, ceiling);
  if (!inflated.complete) {
    out.problem = inflated.problem.empty() ? "the download is damaged" : inflated.problem;
    return out;
  }
  std::unordered_set<std::string> seen;
  StationFileReader reader([&](Entry& e) {
    if (!e.metar) return;
    std::string icao = upper(std::string(trim(e.icao)));
    if (!isCode(icao, 4, false)) return;
    Station s;
    s.latText = latitudeText(e.latitude);
    s.lonText = longitudeText(e.longitude);
    if (s.latText.empty() || s.lonText.empty() || !seen.insert(icao).second) return;
    s.icao = std::move(icao);
    s.name = listStationName(e.site);
    // No site given: the code stands in, never a blank name.
    if (s.name.empty()) s.name = s.icao;
    s.country = upper(std::string(trim(e.country)));
    if (!isCode(s.country, 2, false)) s.country.clear();
    const std::string state = upper(std::string(trim(e.state)));
    if ((s.country == "US" || s.country == "CA") && isCode(state, 2, false)) s.cd = state;
    const std::string iata = upper(std::string(trim(e.iata)));
    if (isCode(iata, 3, false)) s.iata = iata;
    const std::string_view wmo = trim(e.wmo);
    if (isCode(wmo, 5, true)) s.synop = std::string(wmo);
    if (std::isfinite(e.elevation) && e.elevation > -1000.0 && e.elevation < 10000.0)
      s.elevText = std::to_string(std::lround(e.elevation));
    s.metarFlag = 'X';
    if (e.taf) s.aviationFlag = 'T';
    out.stations.push_back(std::move(s));
  });
  const std::string_view text = inflated.text;
  if (!Json::sax_parse(text.begin(), text.end(), &reader) || !reader.array) {
    out.stations.clear();
    out.problem = text.empty() ? "the download is empty" : "the download is not a station list";
    return out;
  }
  out.readable = true;
  out.entries = reader.entries;
  return out;
}

StationListChange compareStationLists(const StationList& current, const StationList& next) {
  StationListChange change;
  change.stations = next.size();
  std::unordered_map<std::string_view, const Station*> before;
  before.reserve(current.size());
  for (const Station& s : current)
    if (!s.icao.empty()) before.try_emplace(s.icao, &s);
  std::unordered_set<std::string_view> after;
  after.reserve(next.size());
  for (const Station& s : next) {
    if (s.icao.empty() || !after.insert(s.icao).second) continue;
    const auto it = before.find(s.icao);
    if (it == before.end()) ++change.added;
    else if (it->second->elevText.empty() && !s.elevText.empty()) ++change.elevationsAdded;
  }
  for (const auto& [icao, station] : before)
    if (!after.contains(icao)) ++change.gone;
  return change;
}

std::string stationListChangeText(const StationListChange& change) {
  return counted(change.stations, "station", "stations") + ": " + grouped(change.added) + " new, " +
         grouped(change.gone) + " gone, " + counted(change.elevationsAdded, "elevation", "elevations") + " added";
}

std::string stationListOrigin(const std::string& url, std::time_t when) {
  return url + utcText(when, ", %Y-%m-%d %H:%M UTC");
}

StationListUpdate prepareStationListUpdate(const FetchResult& fetched, const StationList& current,
                                           std::string_view origin) {
  StationListUpdate update;
  const std::string kept = " The current station list is kept.";
  if (!fetched.ok()) {
    std::string why = fetched.errorText;
    if (why.empty() && fetched.status == FetchStatus::kHttpError) why = "HTTP status " + std::to_string(fetched.httpStatus);
    if (why.empty()) why = "no answer";
    update.message = "The station list could not be downloaded: " + why + "." + kept;
    return update;
  }
  ServiceStations read = readServiceStations(fetched.body);
  if (!read.readable) {
    update.message = "The downloaded station list is unusable: " + read.problem + "." + kept;
    return update;
  }
  if (read.stations.empty()) {
    update.message = "The downloaded station list holds no station that sends METARs." + kept;
    return update;
  }
  // Far fewer stations than now is a broken file, not a new list.
  if (read.stations.size() * 2 < current.size()) {
    update.message = "The downloaded station list holds only " + counted(read.stations.size(), "station", "stations") +
                     ", fewer than half of the " + grouped(current.size()) + " in use." + kept;
    return update;
  }
  // Sorted through indices: a station is sixteen strings, costly to move
  // the many times a sort does.
  const StationList& found = read.stations;
  std::vector<std::size_t> order(found.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&found](std::size_t ia, std::size_t ib) {
    const Station& a = found[ia];
    const Station& b = found[ib];
    const int ra = sectionRank(a), rb = sectionRank(b);
    if (ra != rb) return ra < rb;
    const std::string& sa = ra < 2 ? a.cd : a.country;
    const std::string& sb = rb < 2 ? b.cd : b.country;
    if (sa != sb) return sa < sb;
    return a.name != b.name ? a.name < b.name : a.icao < b.icao;
  });
  StationList sorted;
  sorted.reserve(found.size());
  for (const std::size_t i : order) sorted.push_back(std::move(read.stations[i]));
  std::string comment =
      "Nimbrel station list: surface weather stations that send METAR reports.\n"
      "Converted from the weather service's station list:\n  ";
  comment += origin;
  comment += "\nOrdered by US state, then Canadian province, then country code.\n"
             "A line of exactly 83 characters is a station. ELEV is in metres, blank\n"
             "where unknown; V is T for a station with forecasts (TAF).";
  update.text = stationListText(sorted, comment);
  parseStationList(update.text, update.stations);
  update.change = compareStationLists(current, update.stations);
  update.message = stationListChangeText(update.change);
  update.accepted = true;
  return update;
}

}  // namespace nimbrel
