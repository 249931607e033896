#pragma once

#include <optional>

class wxCmdLineParser;

// True (after printing "1.1.146.734\n" to standard output) when the parser found "v".
bool HandleVersionOption(wxCmdLineParser& parser);

// Parses the command line before the GUI toolkit starts, so --help and --version work without
// a display and never touch the catalogue. Returns the process's exit status when the program
// must end now (help or version: 0, a bad command line: 1, after printing the usage and the
// reason to standard error), nothing when start-up goes on.
std::optional<int> HandleCommandLine(int argc, char** argv);
