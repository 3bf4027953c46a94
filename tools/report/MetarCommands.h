#pragma once
// The decoder commands; each takes the arguments after its own name and
// returns the exit code.

int runMetarCommand(int argc, char** argv);  // metar FILE
int runTafCommand(int argc, char** argv);    // taf FILE
