#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A test hook that stands in for the user at message boxes and file
// dialogs. While a script is installed (SetUiScript), MessageBox records its
// text and returns at once without a modal loop, and each file dialog takes
// the next queued answer instead of asking. Without a script the real
// dialogs run. User-interface thread only.

struct ShownMessage {
    std::string title;  // the caption the box would carry
    std::string text;
};

struct FileDialogRequest {
    bool save = false;             // save dialog (true) or open dialog
    std::string filter;            // "Description|*.ext|" as given
    std::string defaultExtension;  // without the dot; may be empty
    std::string initialName;       // file name offered; may be empty
};

struct UiScript {
    // Every message box shown, in order.
    std::vector<ShownMessage> messages;
    // Called with each message as if from inside the box's modal loop;
    // a test can post messages and process events here.
    std::function<void(const ShownMessage&)> whileMessageOpen;
    // Answers for the next file dialogs: a path, or nullopt for Cancel. An
    // empty queue answers Cancel.
    std::deque<std::optional<std::string>> fileAnswers;
    // Every file dialog asked for, in order.
    std::vector<FileDialogRequest> fileRequests;
};

// Installs `script` (not owned; nullptr restores the real dialogs).
void SetUiScript(UiScript* script);

// The installed script or nullptr.
UiScript* CurrentUiScript();
