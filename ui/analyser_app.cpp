#include "ui/analyser_app.h"

#include "campanor_version_info.h"  // generated from ui/version_info.h.in
#include "ui/app_icon.h"
#include "ui/toolkit/dialog.h"
#include "ui/toolkit/message_box.h"

AnalyserApp::AnalyserApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("campanor"));
    // No display name: the desktop would add it to every window title.
    SetApplicationTitle(QStringLiteral("Campanor"));
    setWindowIcon(CampanorIcon());
}

void AnalyserApp::ReadVersionStrings() {
    versions.companyName = CAMPANOR_COMPANY_NAME;
    versions.fileDescription = CAMPANOR_FILE_DESCRIPTION;
    versions.productVersion = CAMPANOR_PRODUCT_VERSION;
    versions.legalNotice = CAMPANOR_LEGAL_NOTICE;
}

bool AnalyserApp::InitInstance(const MainWindowFactory& makeMainWindow) {
    ReadVersionStrings();
    std::unique_ptr<Dialog> mainWindow = makeMainWindow(*this);
    mainWindow->DoModal();
    mainWindow.reset();
    return false;
}
