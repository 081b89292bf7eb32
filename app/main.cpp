// The program: the application object runs the main window, and the
// program ends when the window closes. --help and --version are answered
// first, without a display.
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "ui/analyser_app.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine first = ParseCommandLine(Arguments(argc, argv));
    if (first.help || first.version) {
        const std::string text = first.help ? CommandLineHelp() : VersionLine("campanor") + "\n";
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    AnalyserApp app(argc, argv);
    // What the toolkit left of the arguments.
    const CommandLine line = ParseCommandLine(Arguments(argc, argv));
    for (const std::string& problem : line.problems) std::fprintf(stderr, "campanor: %s\n", problem.c_str());
    app.InitInstance([&line](const AnalyserApp& application) {
        auto window = std::make_unique<MainWindow>(application.versions);
        if (!line.file.empty()) {
            // Once the window runs, as if the file had been dropped on it.
            MainWindow* target = window.get();
            QTimer::singleShot(0, target, [target, file = line.file] { target->OpenGivenFile(file); });
        }
        return window;
    });
    return 0;
}
