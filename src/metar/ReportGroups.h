#pragma once
// Recognisers for the groups METAR and TAF headers and bodies share that
// carry nothing the decoders keep (runway state, sea state, colour state).
#include <string_view>

namespace nimbrel {

struct DayTime {
  int day = 0;
  int hour = 0;
  int minute = 0;
};

// Four characters, a letter first, then letters or digits ("KJFK", "K74V").
bool isStationId(std::string_view text);
// "ddhhmmZ" with day 1..31, hour 0..24, minute 0..59.
bool decodeDayTimeGroup(std::string_view text, DayTime& out);
// The day-time after a report's station, also in the forms a reader still
// takes: without its Z ("272200"), with another letter ("140200E"), or with
// the next group run into it ("140500Z13004KT": `rest` is "13004KT").
bool decodeHeaderDayTime(std::string_view text, DayTime& out, std::string_view& rest);
// "R24/290195", "R88/CLRD//", "R24L/CLRD70", "R/SNOCLO", "SNOCLO", "88290195".
bool isRunwayStateGroup(std::string_view text);
// "W15/S3", "W12/H7", "WM01/S/".
bool isSeaStateGroup(std::string_view text);
// Military colour states: "BLU", "WHT", "GRN", "YLO1", "AMB", "RED", "BLACKRED"...
bool isColourStateGroup(std::string_view text);
// Australian rainfall: "RF00.2/011.2".
bool isRainfallGroup(std::string_view text);
// The runway words that may follow "WS".
bool isWindShearRunwayWord(std::string_view text);

}  // namespace nimbrel
