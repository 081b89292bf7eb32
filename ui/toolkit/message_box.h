#pragma once
#include <QString>
#include <string_view>

class QWidget;

// The caption of every message box: the title the application object set
// with SetApplicationTitle, or the application's name when none is set.
// Not Qt's display name, which the desktop appends to every window title.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Shows `text` in a message box owned by `owner` (may be nullptr), with the
// application's title as caption and a single OK button. Runs a nested
// event loop until OK is pressed, so posted messages (queued calls) keep
// being handled meanwhile. Under installed DialogHooks the hooks get the
// text and the call returns at once. User-interface thread only.
void MessageBox(QWidget* owner, std::string_view text);
