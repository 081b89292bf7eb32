#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "partials/partial_table.h"

// The partials file (.par): one bell's partial table as text. Written in the
// long layout:
//   Partials
//   wave file is NAME, nominal: 523.250000
//   Freq., Splash Amp., Tail Amp., Attack, Decay, Cents, Partial, Note
//   one row per peak: six "%lf" numbers, the partial name, the note
//   an empty line
// every line ending in CR LF, numbers with six decimals whatever the
// user's locale. Read in the long layout and in the short one
//   Partials / File is... / Nominal: F / column header / rows of
//   frequency, amplitude, cents, name, note.
// All functions run on the user-interface thread (or any one thread that
// owns the table).

// Result codes of reading; PartialsFileMessage gives their texts.
inline constexpr std::int16_t PartialsFileRead = 0;
inline constexpr std::int16_t PartialsFileOpenFailed = 1;   // "Failed to open file!"
inline constexpr std::int16_t PartialsFileNotChosen = 2;    // "No file selected!"
inline constexpr std::int16_t PartialsFileNotPartials = 3;  // "Not a partials file!"
inline constexpr std::int16_t PartialsFileFormatError = 4;  // "File format error!"
inline constexpr std::int16_t PartialsFileNoNominal = 5;    // "No nominal in file!"

// The sound-file name a partials file's line 2 gives for the sound at
// `path`, as "wave file is NAME, nominal: F": the file name without its
// folder; ":", "," and control characters as "_" (a reader splits the line
// there), and a long name keeps only its end so the line stays within 78
// characters with `nominal` written as "%lf".
std::string SoundFileName(const std::string& path, double nominal);

// The whole file text of the table's rows 0 ... count - 1, with
// `waveFileName` as the sound-file name in line 2.
std::string FormatPartials(const PartialTable& table, std::string_view waveFileName);

// Writes FormatPartials to `file` (open for binary writing; not closed).
// False when the write came up short.
bool WritePartials(std::FILE* file, const PartialTable& table, std::string_view waveFileName);

// Writes the file at `path` through SaveFileSafely. False when it could not
// be written completely ("Error writing file!"); an earlier file at `path`
// is then left as it was.
bool SavePartialsFile(const std::string& path, const PartialTable& table,
                      std::string_view waveFileName);

// Fills `table` from a partials file's text. Empties the table and its
// nominal first; each row goes through AddPeak; the nominal is the number
// after the last ":" of its header line (0 when none); the partials are then
// named by FindNominal(false, 0, 5000) without storing its result, and
// UpdateCentsAndNotes runs. Returns 0 (read), 3 (not a partials file), 4
// (format error: the file ends before the column header, or no row was
// taken) or 5 (short layout without its "Nominal" line). On 3, 4 and 5 the
// table is left empty (its nominal may hold the header's value).
std::int16_t ParsePartials(std::string_view text, PartialTable& table);

// ParsePartials on a file open for reading, from its current position; does
// not close it. A read error ends the text there.
std::int16_t ParsePartials(std::FILE* file, PartialTable& table);

// Opens `path` and parses it: 1 when it cannot be opened for reading (or is
// a folder) and the table is then untouched; otherwise ParsePartials' code.
std::int16_t ReadPartialsFile(const std::string& path, PartialTable& table);

// The message of a read result code: codes 1 to 5 as listed above; the
// empty text for 0 and for any code that does not occur.
std::string PartialsFileMessage(std::int16_t code);
