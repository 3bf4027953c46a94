#pragma once
// Each command takes the arguments after its own name and returns the exit code.

int RunStationsCommand(int argc, char** argv);  // stations FILE
int RunDecodeCommand(int argc, char** argv);    // decode FILE
int RunFetchCommand(int argc, char** argv);     // fetch ICAO [--hours N] [--host HOST[:PORT]]
