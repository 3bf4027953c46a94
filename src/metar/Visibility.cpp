#include "metar/Visibility.h"

#include "metar/Digits.h"
#include "metar/Word.h"

namespace nimbrel {

namespace {

bool isDirection(std::string_view text) {
  return isWord(text, "N") || isWord(text, "NE") || isWord(text, "E") || isWord(text, "SE") || isWord(text, "S") || isWord(text, "SW") ||
         isWord(text, "W") || isWord(text, "NW");
}

// "1/2", "3/16", and the run-together "11/2" (one and a half) in miles.
bool readMiles(std::string_view text, double& miles) {
  const std::size_t slash = findChar(text, '/');
  if (slash == std::string_view::npos) {
    const int whole = digits::value(text);
    if (whole < 0 || text.size() > 3) return false;
    miles = whole;
    return true;
  }
  std::string_view top = text.substr(0, slash);
  const int bottom = digits::value(text.substr(slash + 1));
  int numerator = digits::value(top);
  if (numerator < 0 || bottom <= 0 || top.size() > 2 || text.size() - slash - 1 > 2) return false;
  int whole = 0;
  if (numerator >= bottom && top.size() == 2) {
    // Reported fractions are proper, so "11/2" is 1 1/2 with the space lost.
    whole = top[0] - '0';
    numerator = top[1] - '0';
  }
  if (numerator >= bottom) return false;
  miles = whole + static_cast<double>(numerator) / bottom;
  return true;
}

bool decodeMiles(std::string_view text, Visibility& v) {
  if (!endsWithWord(text, "SM")) return false;
  text.remove_suffix(2);
  bool less = false, more = false;
  if (!text.empty() && text[0] == 'M') {
    less = true;
    text.remove_prefix(1);
  } else if (!text.empty() && text[0] == 'P') {
    more = true;
    text.remove_prefix(1);
  }
  if (digits::allSlashes(text)) {  // "////SM": not observed
    v.reported = true;
    return true;
  }
  double miles = 0;
  if (!readMiles(text, miles)) return false;
  v.reported = true;
  v.prevailingM = miles * kMetresPerStatuteMile;
  v.lessThan = less;
  v.moreThan = more;
  v.inStatuteMiles = true;
  return true;
}

}  // namespace

int decodeVisibilityGroups(std::string_view text, std::string_view next, Visibility& out,
                           std::string_view afterNext) {
  if (text.empty() || !mayBeVisibilityGroup(text, out)) return 0;
  if (out.reported) {
    // A directional minimum after the prevailing visibility; the direction
    // may be left out when the minimum has none.
    const int metres = digits::value(text.substr(0, 4));
    const std::string_view direction = text.substr(4);
    if (metres < 0 || !(direction.empty() || isDirection(direction))) return 0;
    out.minimumM = metres == 9999 ? 10000 : metres;
    out.minimumDirection[0] = direction.empty() ? 0 : direction[0];
    out.minimumDirection[1] = direction.size() > 1 ? direction[1] : 0;
    return 1;
  }
  Visibility v;
  // Metres: "0800", "9999", "4000NDV", "////"; some stations put P or M first.
  std::string_view metric = text;
  char bound = 0;
  if (metric[0] == 'P' || metric[0] == 'M') {
    bound = metric[0];
    metric.remove_prefix(1);
  }
  if (metric.size() >= 4 && !endsWithWord(metric, "SM")) {
    const std::string_view figure = metric.substr(0, 4);
    std::string_view rest = metric.substr(4);
    if (isWord(rest, "M")) rest = {};  // "2000M": the unit written out
    const int metres = digits::value(figure);
    if ((metres >= 0 || (isWord(figure, "////") && bound == 0)) && (rest.empty() || isWord(rest, "NDV") || isDirection(rest))) {
      v.reported = true;
      v.noDirectionalVariation = isWord(rest, "NDV");
      if (metres >= 0) {
        v.prevailingM = metres == 9999 ? 10000 : metres;
        v.moreThan = metres == 9999 || bound == 'P';
        v.lessThan = metres == 0 || bound == 'M';
      }
      out = v;
      return 1;
    }
  }
  if (digits::isDigit(text[0])) {
    if (endsWithWord(text, "KM") && text.size() <= 4) {
      const int km = digits::value(text.substr(0, text.size() - 2));
      if (km < 0) return 0;
      v.reported = true;
      v.prevailingM = km * 1000.0;
      out = v;
      return 1;
    }
    // "1 SM": the unit split off by a space.
    if (text.size() <= 2 && isWord(next, "SM") && digits::allDigits(text)) {
      v.reported = true;
      v.inStatuteMiles = true;
      v.prevailingM = digits::value(text) * kMetresPerStatuteMile;
      out = v;
      return 2;
    }
    // "1 1/2SM": a whole number of miles, then the fraction in the next
    // group, its unit perhaps split off too ("2 1/2 SM").
    const bool unitApart = isWord(afterNext, "SM") && !endsWithWord(next, "SM");
    if (text.size() == 1 && (endsWithWord(next, "SM") || unitApart) && findChar(next, '/') != std::string_view::npos &&
        next.size() <= 6) {
      char fraction[8];
      next.copy(fraction, next.size());
      std::size_t size = next.size();
      if (unitApart) {
        fraction[size++] = 'S';
        fraction[size++] = 'M';
      }
      if (decodeMiles({fraction, size}, v) && !v.lessThan && !v.moreThan && *v.prevailingM < kMetresPerStatuteMile) {
        v.prevailingM = *v.prevailingM + (text[0] - '0') * kMetresPerStatuteMile;
        out = v;
        return unitApart ? 3 : 2;
      }
      v = Visibility{};
    }
  }
  // "1/2 SM", "M1/4 SM": a fraction with its unit split off.
  if (isWord(next, "SM") && findChar(text, '/') != std::string_view::npos && text.size() <= 6) {
    char miles[8];
    text.copy(miles, text.size());
    miles[text.size()] = 'S';
    miles[text.size() + 1] = 'M';
    if (decodeMiles({miles, text.size() + 2}, v)) {
      out = v;
      return 2;
    }
    v = Visibility{};
  }
  if (decodeMiles(text, v)) {
    out = v;
    return 1;
  }
  return 0;
}

}  // namespace nimbrel
