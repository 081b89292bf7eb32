#pragma once
#include <string>
#include <string_view>

// What a file dialog is asked for.
struct FileDialogRequest {
    bool save = false;             // save dialog (true) or open dialog
    std::string filter;            // "Description|*.ext|" as given
    std::string defaultExtension;  // without the dot; may be empty
    std::string initialName;       // file name offered; may be empty
};

// Something that answers message boxes and file dialogs in place of the
// user: tests install one, the program never does. User-interface thread
// only.
class DialogHooks {
public:
    virtual ~DialogHooks() = default;

    // Called instead of showing a message box with this caption and text.
    virtual void ShowMessage(const std::string& caption, std::string_view text) = 0;

    // Called instead of running a file dialog: true with the chosen path
    // (the caller adds the default extension), false for Cancel.
    virtual bool AnswerFileDialog(const FileDialogRequest& request, std::string& path) = 0;
};

// Installs `hooks` (not owned); nullptr restores the real dialogs.
void SetDialogHooks(DialogHooks* hooks);

// The installed hooks or nullptr.
DialogHooks* CurrentDialogHooks();
