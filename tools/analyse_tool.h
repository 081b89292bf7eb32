#pragma once
#include <string>
#include <vector>

// campanor-analyse: analyses recorded bell sounds from files exactly as the
// main window analyses a live recording, and writes what "Save partials"
// would write (or a table, or JSON).

// Exit statuses.
inline constexpr int kExitOk = 0;           // every file analysed and written
inline constexpr int kExitFileFailed = 1;   // some file could not be read, analysed or written
inline constexpr int kExitUsage = 2;        // bad options or "Bad analysis parameters!"

// Runs the tool with the arguments after the program name; results go to
// standard output or to files, messages to standard error. Returns the exit
// status. Main thread (the engine's worker runs beside it).
int RunAnalyseTool(const std::vector<std::string>& args);
