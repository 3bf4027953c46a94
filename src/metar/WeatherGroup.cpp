#include "metar/WeatherGroup.h"

#include <iterator>

namespace nimbrel {

namespace {

struct Code {
  char text[3];
  std::uint8_t value;
};

constexpr Code kDescriptors[] = {
    {"MI", static_cast<std::uint8_t>(WeatherDescriptor::Shallow)},
    {"BC", static_cast<std::uint8_t>(WeatherDescriptor::Patches)},
    {"PR", static_cast<std::uint8_t>(WeatherDescriptor::Partial)},
    {"DR", static_cast<std::uint8_t>(WeatherDescriptor::LowDrifting)},
    {"BL", static_cast<std::uint8_t>(WeatherDescriptor::Blowing)},
    {"SH", static_cast<std::uint8_t>(WeatherDescriptor::Showers)},
    {"TS", static_cast<std::uint8_t>(WeatherDescriptor::Thunderstorm)},
    {"FZ", static_cast<std::uint8_t>(WeatherDescriptor::Freezing)},
};

constexpr Code kPhenomena[] = {
    {"DZ", static_cast<std::uint8_t>(WeatherPhenomenon::Drizzle)},
    {"RA", static_cast<std::uint8_t>(WeatherPhenomenon::Rain)},
    {"SN", static_cast<std::uint8_t>(WeatherPhenomenon::Snow)},
    {"SG", static_cast<std::uint8_t>(WeatherPhenomenon::SnowGrains)},
    {"IC", static_cast<std::uint8_t>(WeatherPhenomenon::IceCrystals)},
    {"PL", static_cast<std::uint8_t>(WeatherPhenomenon::IcePellets)},
    {"PE", static_cast<std::uint8_t>(WeatherPhenomenon::IcePellets)},  // the older code for ice pellets
    {"GR", static_cast<std::uint8_t>(WeatherPhenomenon::Hail)},
    {"GS", static_cast<std::uint8_t>(WeatherPhenomenon::SmallHail)},
    {"UP", static_cast<std::uint8_t>(WeatherPhenomenon::UnknownPrecipitation)},
    {"BR", static_cast<std::uint8_t>(WeatherPhenomenon::Mist)},
    {"FG", static_cast<std::uint8_t>(WeatherPhenomenon::Fog)},
    {"FU", static_cast<std::uint8_t>(WeatherPhenomenon::Smoke)},
    {"VA", static_cast<std::uint8_t>(WeatherPhenomenon::VolcanicAsh)},
    {"DU", static_cast<std::uint8_t>(WeatherPhenomenon::Dust)},
    {"SA", static_cast<std::uint8_t>(WeatherPhenomenon::Sand)},
    {"HZ", static_cast<std::uint8_t>(WeatherPhenomenon::Haze)},
    {"PY", static_cast<std::uint8_t>(WeatherPhenomenon::Spray)},
    {"PO", static_cast<std::uint8_t>(WeatherPhenomenon::DustWhirls)},
    {"SQ", static_cast<std::uint8_t>(WeatherPhenomenon::Squalls)},
    {"FC", static_cast<std::uint8_t>(WeatherPhenomenon::FunnelCloud)},
    {"SS", static_cast<std::uint8_t>(WeatherPhenomenon::Sandstorm)},
    {"DS", static_cast<std::uint8_t>(WeatherPhenomenon::Duststorm)},
};

// The codes by their two letters, so that a group is looked up, not
// compared with every code: most groups tried here are no weather at all.
struct CodeTable {
  std::array<std::int8_t, 26 * 26> values;
};

template <std::size_t N>
constexpr CodeTable makeTable(const Code (&codes)[N]) {
  CodeTable table{};
  table.values.fill(-1);
  for (const Code& code : codes) table.values[(code.text[0] - 'A') * 26 + (code.text[1] - 'A')] = code.value;
  return table;
}

constexpr CodeTable kDescriptorTable = makeTable(kDescriptors);
constexpr CodeTable kPhenomenonTable = makeTable(kPhenomena);

int findCode(const CodeTable& table, char a, char b) {
  if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') return -1;
  return table.values[(a - 'A') * 26 + (b - 'A')];
}

const char* phenomenonWords(WeatherPhenomenon p) {
  switch (p) {
    case WeatherPhenomenon::Drizzle: return "drizzle";
    case WeatherPhenomenon::Rain: return "rain";
    case WeatherPhenomenon::Snow: return "snow";
    case WeatherPhenomenon::SnowGrains: return "snow grains";
    case WeatherPhenomenon::IceCrystals: return "ice crystals";
    case WeatherPhenomenon::IcePellets: return "ice pellets";
    case WeatherPhenomenon::Hail: return "hail";
    case WeatherPhenomenon::SmallHail: return "small hail";
    case WeatherPhenomenon::UnknownPrecipitation: return "unknown precipitation";
    case WeatherPhenomenon::Mist: return "mist";
    case WeatherPhenomenon::Fog: return "fog";
    case WeatherPhenomenon::Smoke: return "smoke";
    case WeatherPhenomenon::VolcanicAsh: return "volcanic ash";
    case WeatherPhenomenon::Dust: return "dust";
    case WeatherPhenomenon::Sand: return "sand";
    case WeatherPhenomenon::Haze: return "haze";
    case WeatherPhenomenon::Spray: return "spray";
    case WeatherPhenomenon::DustWhirls: return "dust or sand whirls";
    case WeatherPhenomenon::Squalls: return "squalls";
    case WeatherPhenomenon::FunnelCloud: return "funnel cloud";
    case WeatherPhenomenon::Sandstorm: return "sandstorm";
    case WeatherPhenomenon::Duststorm: return "duststorm";
    case WeatherPhenomenon::None: break;
  }
  return "";
}

const char* descriptorPrefix(WeatherDescriptor d) {
  switch (d) {
    case WeatherDescriptor::Shallow: return "shallow ";
    case WeatherDescriptor::Patches: return "patches of ";
    case WeatherDescriptor::Partial: return "partial ";
    case WeatherDescriptor::LowDrifting: return "low drifting ";
    case WeatherDescriptor::Blowing: return "blowing ";
    case WeatherDescriptor::Freezing: return "freezing ";
    default: return "";
  }
}

void appendPhenomena(std::string& out, const WeatherGroup& g) {
  const std::size_t n = g.phenomenonCount();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) out += i + 1 == n ? " and " : ", ";
    out += phenomenonWords(g.phenomena[i]);
  }
}

}  // namespace

std::size_t WeatherGroup::phenomenonCount() const {
  std::size_t n = 0;
  while (n < kMaxPhenomena && phenomena[n] != WeatherPhenomenon::None) ++n;
  return n;
}

bool WeatherGroup::has(WeatherPhenomenon p) const {
  for (WeatherPhenomenon q : phenomena)
    if (q == p) return true;
  return false;
}

bool decodeWeatherGroup(std::string_view text, WeatherGroup& out) {
  if (!mayBeWeatherGroup(text)) return false;
  WeatherGroup g;
  if (text.size() >= 2 && text[0] == 'R' && text[1] == 'E') {
    g.recent = true;
    text.remove_prefix(2);
  }
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    g.intensity = text[0] == '-' ? WeatherIntensity::Light : WeatherIntensity::Heavy;
    text.remove_prefix(1);
  }
  // US stations write an intensity before VC too ("-VCTSRA").
  if (text.size() >= 2 && text[0] == 'V' && text[1] == 'C') {
    g.vicinity = true;
    text.remove_prefix(2);
  }
  if (text.size() < 2 || text.size() % 2 != 0) return false;
  std::size_t at = 0;
  const int descriptor = findCode(kDescriptorTable, text[0], text[1]);
  if (descriptor >= 0) {
    g.descriptor = static_cast<WeatherDescriptor>(descriptor);
    at = 2;
  }
  std::size_t count = 0;
  for (; at < text.size(); at += 2) {
    const int p = findCode(kPhenomenonTable, text[at], text[at + 1]);
    if (p < 0 || count == WeatherGroup::kMaxPhenomena) return false;
    g.phenomena[count++] = static_cast<WeatherPhenomenon>(p);
  }
  if (count == 0) {
    // A descriptor stands alone only as a thunderstorm or as showers ("VCSH",
    // or "-SH RA" where a space split the group).
    const bool alone = g.descriptor == WeatherDescriptor::Thunderstorm || g.descriptor == WeatherDescriptor::Showers;
    if (!alone) return false;
  }
  out = g;
  return true;
}

void appendWeatherText(std::string& out, const WeatherGroup& g) {
  if (g.recent) out += "recent ";
  const char* intensity = g.intensity == WeatherIntensity::Light   ? "light "
                          : g.intensity == WeatherIntensity::Heavy ? "heavy "
                                                                   : "";
  const std::size_t n = g.phenomenonCount();
  if (n == 1 && g.phenomena[0] == WeatherPhenomenon::FunnelCloud && g.intensity == WeatherIntensity::Heavy) {
    out += "tornado or waterspout";
  } else if (g.descriptor == WeatherDescriptor::Thunderstorm) {
    out += "thunderstorm";
    if (n > 0) {
      out += " with ";
      out += intensity;
      appendPhenomena(out, g);
    } else if (g.intensity == WeatherIntensity::Heavy) {
      out.insert(out.size() - 12, "heavy ");
    }
  } else if (g.descriptor == WeatherDescriptor::Showers) {
    out += intensity;
    appendPhenomena(out, g);
    out += n > 0 ? " showers" : "showers";
  } else {
    out += intensity;
    out += descriptorPrefix(g.descriptor);
    appendPhenomena(out, g);
  }
  if (g.vicinity) out += " in the vicinity";
}

std::string weatherText(const WeatherGroup& group) {
  std::string out;
  appendWeatherText(out, group);
  return out;
}

std::string weatherText(std::span<const WeatherGroup> groups) {
  std::string out;
  for (const WeatherGroup& g : groups) {
    if (!out.empty()) out += "; ";
    appendWeatherText(out, g);
  }
  return out;
}

namespace {

const char* codeOf(const Code* codes, std::size_t count, std::uint8_t value) {
  for (std::size_t i = 0; i < count; ++i)
    if (codes[i].value == value) return codes[i].text;
  return "";
}

}  // namespace

std::string weatherCode(const WeatherGroup& group) {
  std::string out;
  if (group.recent) out += "RE";
  if (group.intensity == WeatherIntensity::Light) out += '-';
  if (group.intensity == WeatherIntensity::Heavy) out += '+';
  if (group.vicinity) out += "VC";
  if (group.descriptor != WeatherDescriptor::None)
    out += codeOf(kDescriptors, std::size(kDescriptors), static_cast<std::uint8_t>(group.descriptor));
  for (std::size_t i = 0; i < group.phenomenonCount(); ++i)
    out += codeOf(kPhenomena, std::size(kPhenomena), static_cast<std::uint8_t>(group.phenomena[i]));
  return out;
}

}  // namespace nimbrel
