#include "watch/WatchList.h"

#include <algorithm>
#include <cctype>

namespace nimbrel {

std::string watchedCode(std::string_view text) {
  if (text.size() != 4 || !std::isalpha(static_cast<unsigned char>(text[0]))) return {};
  std::string code;
  for (const char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return {};
    code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return code;
}

std::vector<std::string> watchListFromSettingText(std::string_view text) {
  std::vector<std::string> codes;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find_first_of(", ;\t\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string code = watchedCode(text.substr(at, end - at));
    if (!code.empty() && std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    at = end + 1;
  }
  return codes;
}

std::string watchListSettingText(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += (text.empty() ? "" : ",") + code;
  return text;
}

}  // namespace nimbrel
