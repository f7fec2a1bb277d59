// Runs Unix commands from inside Wine: a script in the Linux home started through Wine's start.
#pragma once

#include <string>

namespace wine {

// Wine's version text, fetched by the first bridge call that finds it empty.
extern std::string WineVersionCache;

// Writes dues.sh in the Wine home ("#!/bin/bash", the command, LF endings) anew and marks it
// executable; waits for chmod.
void WriteUnixScript(const std::string& command);
// Runs the command through dues.sh without waiting for it to end (pauses 250 ms after the start).
void RunUnixCommand(const std::string& command);
// Runs the command with its standard output in the home's dues.log and returns the first
// non-empty text read from it, polling for up to 3 s; empty when nothing arrived.
std::string RunUnixCaptured(const std::string& command);

}  // namespace wine
