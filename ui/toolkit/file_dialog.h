#pragma once
#include <QString>
#include <string>
#include <string_view>

class QWidget;

// Save and open file dialogs. `filter` holds one entry written as a
// description and a pattern, each followed by "|", e.g.
// "Partials file (*.par)|*.par|"; several patterns are separated by ";".
// `defaultExtension` (without the dot, may be empty) is added to a chosen
// name that has no extension. The save dialog asks before an existing file
// is replaced and refuses a name in a folder that does not exist with a
// message, staying open; the open dialog also takes
// the typed name of a file that does not exist (the caller then reports
// that it cannot open it). Both return true with the chosen path, or false
// when the user cancelled (path unchanged). Under installed DialogHooks
// their answer is taken instead. User-interface thread only.
bool SaveFileDialog(QWidget* owner, std::string_view filter, std::string_view defaultExtension,
                    std::string_view initialName, std::string& path);
bool OpenFileDialog(QWidget* owner, std::string_view filter, std::string_view defaultExtension,
                    std::string& path);

// The filter in Qt's form "Description (*.a *.b)"; the description is kept
// as it is when it already ends with the patterns in parentheses.
QString FileFilterToQt(std::string_view filter);

// `path` with "." + extension appended when its file name has no dot and
// the extension is not empty.
std::string ApplyDefaultExtension(std::string_view path, std::string_view extension);
