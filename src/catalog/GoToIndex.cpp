#include "catalog/GoToIndex.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace nimbrel {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upper(c);
  return out;
}

}  // namespace

GoToIndex::GoToIndex(const StationList& stations) {
  entries.reserve(stations.size());
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const Station& s = stations[i];
    if (!s.hasPosition) continue;
    entries.push_back({i, upperCopy(s.icao), upperCopy(s.iata), upperCopy(s.name)});
  }
}

std::vector<std::size_t> GoToIndex::matches(std::string_view typed, std::size_t limit) const {
  const std::size_t first = typed.find_first_not_of(' ');
  if (first == std::string_view::npos || limit == 0) return {};
  const std::string text = upperCopy(typed.substr(first, typed.find_last_not_of(' ') - first + 1));
  enum Rank { kIcao, kIata, kNameStart, kNameHolds, kIcaoStart, kRanks };
  std::array<std::vector<std::size_t>, kRanks> ranked;
  // Once the better ranks alone fill the list, a worse one cannot enter it.
  auto full = [&](int upTo) {
    std::size_t n = 0;
    for (int r = 0; r <= upTo; ++r) n += ranked[static_cast<std::size_t>(r)].size();
    return n >= limit;
  };
  for (const Entry& e : entries) {
    int rank = kRanks;
    if (e.icao == text) rank = kIcao;
    else if (e.iata == text) rank = kIata;
    else if (e.name.starts_with(text)) rank = kNameStart;
    else if (e.name.find(text) != std::string::npos) rank = kNameHolds;
    else if (e.icao.starts_with(text)) rank = kIcaoStart;
    if (rank == kRanks) continue;
    auto& list = ranked[static_cast<std::size_t>(rank)];
    // Within a rank list order: only the first `limit` can ever be shown.
    if (list.size() < limit && !(rank > kIcao && full(rank - 1))) list.push_back(e.station);
  }
  std::vector<std::size_t> out;
  for (const auto& list : ranked)
    for (const std::size_t station : list) {
      if (out.size() == limit) return out;
      out.push_back(station);
    }
  return out;
}

}  // namespace nimbrel
