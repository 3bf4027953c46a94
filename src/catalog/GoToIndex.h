#pragma once
// The suggestions of the map's "Go to" field over a whole catalogue, as a
// user types: stations whose ICAO code is the text, then whose IATA code is
// the text, then whose name starts with it, then whose name holds it, then
// whose ICAO code starts with it; ASCII letters without case, list order
// within each rank, each station once at its best rank. Stations without a
// position are left out: the map cannot go to them.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/Station.h"

namespace nimbrel {

class GoToIndex {
 public:
  // Keeps upper-case copies of the codes and names; `stations` itself is
  // not kept.
  explicit GoToIndex(const StationList& stations);

  // Catalogue indices, best first, at most `limit`; none for a text of
  // blanks only (blanks around the text are dropped).
  std::vector<std::size_t> matches(std::string_view typed, std::size_t limit = 12) const;
  std::size_t size() const { return entries.size(); }

 private:
  struct Entry {
    std::size_t station;
    std::string icao, iata, name;
  };
  std::vector<Entry> entries;
};

}  // namespace nimbrel
