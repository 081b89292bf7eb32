#pragma once
#include <cstdint>
#include <string>

// What Project's operations return. Two families: opening (Create, Open)
// and everything done with an open project. ProjectOpenText and
// ProjectResultText give each a text for the user that names the file.

// Results of Create and Open.
inline constexpr std::int16_t ProjectOpened = 0;
inline constexpr std::int16_t ProjectOpenedReadOnly = 1;  // the user may not write the file (or its folder)
inline constexpr std::int16_t ProjectNotAProject = 2;     // no SQLite file, another application's, tables missing
inline constexpr std::int16_t ProjectTooNew = 3;          // a later format version than this program knows
inline constexpr std::int16_t ProjectBusy = 4;            // another program held the file past the wait
inline constexpr std::int16_t ProjectMissing = 5;         // no file at the path
inline constexpr std::int16_t ProjectCannotOpen = 6;      // a folder, unreadable, damaged, or an old version read-only
inline constexpr std::int16_t ProjectAlreadyExists = 7;   // Create only
inline constexpr std::int16_t ProjectRingRefused = 8;     // Create only: RingAcceptable said no

// Results of reading and changing an open project.
inline constexpr std::int16_t ProjectDone = 0;
inline constexpr std::int16_t ProjectReadOnly = 1;       // opened read-only: no change is made
inline constexpr std::int16_t ProjectWasBusy = 2;        // another program held the file past the wait
inline constexpr std::int16_t ProjectNoSuchBell = 3;     // a bell number outside 1 ... bellCount
inline constexpr std::int16_t ProjectPassTaken = 4;      // the bell already has a pass of that label
inline constexpr std::int16_t ProjectPassUnnamed = 5;    // an empty pass label
inline constexpr std::int16_t ProjectBellsMeasured = 6;  // fewer bells would drop a measured bell
inline constexpr std::int16_t ProjectRingInvalid = 7;    // RingAcceptable said no
inline constexpr std::int16_t ProjectNoSuchPass = 8;     // no measurement of that id, or none of the bell
inline constexpr std::int16_t ProjectNotOpen = 9;        // no project is open
inline constexpr std::int16_t ProjectFailed = 10;        // SQLite failed: disk full, I/O, a damaged file, a NaN

// The text of an open result for the file at `path`; "" for ProjectOpened
// and for codes that do not occur.
std::string ProjectOpenText(std::int16_t code, const std::string& path);

// The text of a read or change result for the project at `path` (every
// text but ProjectNotOpen's names it); "" for ProjectDone and for codes
// that do not occur.
std::string ProjectResultText(std::int16_t code, const std::string& path);
