#pragma once
// The decoder commands; each takes the arguments after its own name and
// returns the exit code.

int RunMetarCommand(int argc, char** argv);  // metar FILE
int RunTafCommand(int argc, char** argv);    // taf FILE
