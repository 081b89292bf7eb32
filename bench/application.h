#pragma once
// The one application object of the benchmarks (fonts and widgets need it),
// on the offscreen platform, which needs no display. Made at first use.
#include <QApplication>
#include <QByteArray>

inline void NeedApplication() {
    static int argc = 1;
    static char name[] = "campanor-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
}
