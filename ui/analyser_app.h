#pragma once
#include <QApplication>
#include <functional>
#include <memory>
#include <string>

class Dialog;

// The program's four version texts, shown in the "Application" panel.
struct VersionStrings {
    std::string fileDescription;
    std::string companyName;
    std::string productVersion;
    std::string legalNotice;
};

// The application object: one per process, constructed first in main().
// It reads the version strings compiled into the program and runs the main
// window as the one modal dialog of the whole run; the program ends when it
// returns. User-interface thread.
class AnalyserApp : public QApplication {
public:
    // Makes the main window; given the application so the window can copy
    // the version strings.
    using MainWindowFactory = std::function<std::unique_ptr<Dialog>(const AnalyserApp&)>;

    AnalyserApp(int& argc, char** argv);

    // Fills `versions` from the values compiled in at build time.
    void ReadVersionStrings();

    // Start-up: ReadVersionStrings, then makes the main window, runs it with
    // DoModal and destroys it whatever the result. Returns false, so the
    // caller ends the program without an event loop of its own.
    bool InitInstance(const MainWindowFactory& makeMainWindow);

    VersionStrings versions;  // all empty until ReadVersionStrings
};
