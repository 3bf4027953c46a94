// Any bytes as a report page: reading must not crash, every read report
// must be whole, and the one-pass entity decoding must agree with the
// replacements applied one after another.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "observations/ReportPage.h"

namespace {

std::string SequentialDecode(std::string text) {
  static const std::pair<std::string_view, std::string_view> kRules[] = {
      {"  ", " "},    {"\n", " "},    {"&#34;", "\""}, {"&#33;", "!"},  {"&#36;", "$"},
      {"&#37;", "%"}, {"&#38;", "&"}, {"&#45;", "-"},  {"&#46;", "."},  {"&#47;", "/"},
      {"&#60;", "<"}, {"&#62;", ">"}, {"&#160;", " "}, {"&#247;", "-"}, {"&deg;", "\xB0"}};
  for (const auto& [from, to] : kRules) {
    std::string out;
    std::size_t done = 0;
    for (std::size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, done)) {
      out.append(text, done, hit - done);
      out.append(to);
      done = hit + from.size();
    }
    out.append(text, done, std::string::npos);
    text.swap(out);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  nimbrel::ObservationList observations;
  const nimbrel::ReportPageStatus status = nimbrel::readReportPage(page, &observations);
  if (status == nimbrel::ReportPageStatus::kReports && observations.empty()) __builtin_trap();
  for (const nimbrel::Observation& o : observations) {
    // Texts are decoded and trimmed: no line break and no edge blank left.
    for (const std::string* text : {&o.source.conditionsText, &o.source.windsText, &o.source.reportText}) {
      if (!text->empty() && (text->front() == ' ' || text->back() == ' ')) __builtin_trap();
      if (text->find('\n') != std::string::npos) __builtin_trap();
    }
  }
  if (size < 4096 && nimbrel::decodeEntities(page) != SequentialDecode(std::string(page))) __builtin_trap();
  // The first bytes pick the markers for a chained extraction.
  if (size > 8) {
    const std::string_view anchor = page.substr(0, data[0] % 4);
    const std::string_view start = page.substr(1, data[1] % 3 + 1);
    const std::string_view end = page.substr(2, data[2] % 3 + 1);
    (void)nimbrel::extractBetween(page.substr(3), anchor, start, end, data[3] % 5 + 1);
  }
  return 0;
}
