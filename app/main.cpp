// The program: the application object runs the main window, and the
// program ends when the window closes.
#include "app/main_window.h"
#include "ui/analyser_app.h"

int main(int argc, char** argv) {
    AnalyserApp app(argc, argv);
    app.InitInstance([](const AnalyserApp& application) {
        return std::make_unique<MainWindow>(application.versions);
    });
    return 0;
}
