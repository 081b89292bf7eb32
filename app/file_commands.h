#pragma once
#include <cstdint>
#include <string>

class PartialTable;
class QWidget;
struct Recording;

// The window's file commands around the Qt-free file formats (data/): the
// file dialogs of the toolkit, then the saving or reading itself. Every
// function runs on the user-interface thread; `owner` owns the dialogs.

// The message the window shows when a save fails.
inline constexpr const char* kErrorWritingFile = "Error writing file!";

// Save dialog (filter "Waveform files (.wav)|*.wav|", default extension
// "wav", confirmation before replacing), then the recording written as a
// .wav file through a synced temporary file. True when saved (`saved` then
// set); true also when the user cancelled, with nothing changed. False when
// the file could not be written completely: any earlier file of that name
// is left as it was.
bool SaveRecording(QWidget* owner, const Recording& recording, bool& saved);

// Save dialog (filter "Partials files (.par)|*.par|", default extension
// "par", `offeredName` as the offered name), then the table in the long
// layout with `waveFileName` as its sound-file name. True when written or
// cancelled; false as for SaveRecording.
bool SavePartials(QWidget* owner, const PartialTable& table, const std::string& waveFileName,
                  const std::string& offeredName);

// Open dialog (filter "Partials files (.par)|*.par|"; a name that does not
// exist may be typed), then the file read into the table under the wait
// cursor. Returns 0 when read (the table then holds the file's rows), 2
// when the user cancelled, 1 when the file cannot be opened, or the
// parser's 3, 4 or 5; on every code but 0 the table is left exactly as it
// was. PartialsFileMessage gives the texts.
std::int16_t ReadPartials(QWidget* owner, PartialTable& table);
