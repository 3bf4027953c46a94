#pragma once
// The stations a user watches: ICAO codes in the order the user added them,
// kept in the settings file as "EGLL,KJFK,LFPG".
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// Four letters or digits, the first a letter, in capitals ("egll" reads as
// "EGLL"); none for anything else.
std::string watchedCode(std::string_view text);

// The codes of a setting text, split at commas, spaces or semicolons: a bad
// entry is dropped, the order kept, a repeat kept once.
std::vector<std::string> watchListFromSettingText(std::string_view text);
std::string watchListSettingText(const std::vector<std::string>& codes);

}  // namespace nimbrel
