#pragma once
// Horizontal visibility in metres; statute miles are converted.
#include <optional>
#include <string_view>

namespace nimbrel {

inline constexpr double kMetresPerStatuteMile = 1609.344;

struct Visibility {
  bool reported = false;               // a visibility group was there, even "////"
  std::optional<double> prevailingM;   // "9999" and CAVOK give 10,000
  bool lessThan = false;               // "M1/4SM", "0000"
  bool moreThan = false;               // "P6SM", "9999"
  bool inStatuteMiles = false;
  bool noDirectionalVariation = false;  // NDV
  std::optional<double> minimumM;       // "3100NE" after the prevailing one
  char minimumDirection[3] = {0, 0, 0};
};

// Whether `text` may still be a visibility group: once the prevailing
// visibility is read, only a metric directional minimum of four or more
// characters may follow. Inline: most groups of a report are asked.
inline bool mayBeVisibilityGroup(std::string_view text, const Visibility& seen) {
  return !seen.reported || (text.size() >= 4 && !seen.minimumM && !seen.inStatuteMiles);
}

// Reads a visibility at `text`, looking at `next` and `afterNext` for the
// forms split by spaces ("1 1/2SM", "1/2 SM", "2 1/2 SM"). Returns how many
// groups it took (0 to 3). A directional minimum is read only when a
// prevailing visibility is already there.
int decodeVisibilityGroups(std::string_view text, std::string_view next, Visibility& out,
                           std::string_view afterNext = {});

}  // namespace nimbrel
