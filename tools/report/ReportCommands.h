#pragma once
#include <cstdint>
#include <optional>

// Each command takes the arguments after its own name and returns the exit code.

int runStationsCommand(int argc, char** argv);  // stations FILE
int runDecodeCommand(int argc, char** argv);    // decode FILE
int runFetchCommand(int argc, char** argv);     // fetch ICAO [--hours N] [--host HOST[:PORT]]
int runUpdateStationsCommand(int argc, char** argv);  // update-stations [--url BASE] [--current FILE]
// chart ICAO [--hours N] [--units ...] [--time utc|local] [--store FILE | --url URL]
//       [--text | --png FILE [--size WxH]]: a station's chart as its window shows it
int runChartCommand(int argc, char** argv);
// verify ICAO [--hours N] [--store FILE] [--now TIME]: how the stored
// forecasts fared against the stored reports, hour by hour
int runVerifyCommand(int argc, char** argv);
// watch ICAO... [--minima FILE] [--once] [--store FILE] ...: the watched
// stations' table; exits 1 when one is below its minima. Without --once it
// goes on printing alerts until interrupted.
int runWatchCommand(int argc, char** argv);

// "YYYY-MM-DDTHH:MMZ" as seconds since 1970, the --now of the commands.
std::optional<std::int64_t> readUtcTime(const char* text);
