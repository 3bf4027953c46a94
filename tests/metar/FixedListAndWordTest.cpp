// The decoder's two small tools: the in-object list whose room is left
// unwritten until pushed to, and the fixed-word comparisons of a group.
#include <gtest/gtest.h>

#include <string_view>

#include "metar/FixedList.h"
#include "metar/MetarDecoder.h"
#include "metar/Word.h"

namespace nimbrel {
namespace {

struct Item {
  int value = 7;  // a non-zero default: an unwritten slot must never be read as an item
  char tag = 'x';
};

TEST(FixedList, HoldsWhatWasPushedUpToItsRoomAndKeepsItThroughCopies) {
  FixedList<Item, 3> list;
  EXPECT_TRUE(list.empty());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(list.push({i * 10, static_cast<char>('a' + i)}));
  EXPECT_TRUE(list.full());
  EXPECT_FALSE(list.push({99, 'z'}));  // past the room: refused, nothing overwritten

  FixedList<Item, 3> copy = list;
  FixedList<Item, 3> assigned;
  assigned.push({5, 'q'});
  assigned = list;
  for (const FixedList<Item, 3>* l : {&list, &copy, &assigned}) {
    ASSERT_EQ(l->size(), 3u);
    int i = 0;
    for (const Item& item : *l) {
      EXPECT_EQ(item.value, i * 10);
      EXPECT_EQ(item.tag, 'a' + i);
      ++i;
    }
    EXPECT_EQ(l->view().size(), 3u);
    EXPECT_EQ((*l)[2].value, 20);
  }
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(list.push({1, 'b'}));
  EXPECT_EQ(list.back().value, 1);
  EXPECT_EQ(copy.size(), 3u);  // the copy is its own
}

// A report with more trends than the list holds, copied and assigned: every
// list of it (trends, their weather and clouds, runway ranges) survives.
TEST(FixedList, ADecodedReportCopiesWithAllItsLists) {
  const char* text =
      "EDDF 141150Z 24012KT 9999 R25L/P1500N -RA FEW012 BKN030 08/06 Q1001 "
      "BECMG 4000 RA BKN010 TEMPO 2000 +SHRA SCT008CB BECMG NSW FEW020 TEMPO 3000 SN";
  const MetarReport decoded = decodeMetar(text, UtcDateTime{2010, 11, 14, 12, 0});
  MetarReport assigned;
  assigned = decoded;
  const MetarReport copied = decoded;
  for (const MetarReport* r : {&decoded, static_cast<const MetarReport*>(&assigned), &copied}) {
    ASSERT_EQ(r->trends.size(), 3u);
    EXPECT_EQ(r->trends[0].conditions.clouds.size(), 1u);
    EXPECT_EQ(r->trends[1].conditions.clouds[0].type, CloudType::Cumulonimbus);
    EXPECT_EQ(r->trends[1].conditions.weather[0].intensity, WeatherIntensity::Heavy);
    EXPECT_TRUE(r->trends[2].conditions.noSignificantWeather);
    ASSERT_EQ(r->runwayVisualRanges.size(), 1u);
    EXPECT_EQ(r->runwayVisualRanges[0].runwayName(), "25L");
    EXPECT_EQ(r->current.clouds.size(), 2u);
    EXPECT_EQ(r->notDecodedCount, 1u);  // the fourth trend's word, kept apart
  }
}

TEST(Word, ComparesAGroupWithAFixedWordAtEitherEndOrWhole) {
  struct Case {
    std::string_view text;
    bool is, starts, ends;
  };
  // Against "KT": equal, longer, shorter, empty, and the word inside only.
  const Case cases[] = {
      {"KT", true, true, true},      {"KTS", false, true, false}, {"05KT", false, false, true},
      {"K", false, false, false},    {"", false, false, false},   {"AKTB", false, false, false},
      {"kt", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(isWord(c.text, "KT"), c.is);
    EXPECT_EQ(startsWithWord(c.text, "KT"), c.starts);
    EXPECT_EQ(endsWithWord(c.text, "KT"), c.ends);
  }
  // A view into a longer text ends where it ends, not at the text's end.
  constexpr std::string_view line = "10SM BKN";
  EXPECT_TRUE(endsWithWord(line.substr(0, 4), "SM"));
  EXPECT_FALSE(isWord(line.substr(0, 3), "10SM"));
}

TEST(Word, FindsACharacterFromAPlace) {
  struct Case {
    std::string_view text;
    char c;
    std::size_t from, at;
  };
  constexpr auto npos = std::string_view::npos;
  const Case cases[] = {
      {"12/M05", '/', 0, 2}, {"SA/TSRA", '/', 3, npos}, {"1/2/3", '/', 2, 3}, {"27015G25KT", 'G', 0, 5},
      {"", '/', 0, npos},    {"ABC", 'C', 3, npos},     {"ABC", 'C', 7, npos},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text));
    EXPECT_EQ(findChar(c.text, c.c, c.from), c.at);
    EXPECT_EQ(findChar(c.text, c.c, c.from), c.text.find(c.c, c.from));
  }
}

}  // namespace
}  // namespace nimbrel
