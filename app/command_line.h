#pragma once
#include <string>
#include <vector>

// What the window program is asked on its command line. Plain C++: --help
// and --version are answered before the application object is made, so they
// work without a display.
struct CommandLine {
    bool help = false;
    bool version = false;
    std::string file;                   // a sound file to analyse, or a project; empty: none
    std::vector<std::string> problems;  // what was not understood, one line each
};

// Reads the arguments after the program's name. Options the toolkit takes
// (one dash, as "-platform offscreen") are removed by it beforehand, so
// call this on what it leaves, except for --help and --version, which
// are looked for first.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// "campanor 0.1.0 (commit 0123456789ab)", the commit only when known.
std::string VersionLine(const std::string& program);

// The text of campanor --help.
std::string CommandLineHelp();
