// system_window_flow: runs one flow of the window against this machine (the helper daemon on the
// system bus, the Linux platform), as the user it is started as, and prints its JSON report as
// the last line of standard output. The system tests run it through runuser.
#include <QApplication>

#include <iostream>

#include "app/shell/DMTranslationLoader.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"

using namespace harbormind::test;

int main(int argc, char** argv) {
    WindowFlows flows;
    registerDiskToolsFlows(flows);
    registerDriveActionFlows(flows);
    registerEncryptionFlows(flows);
    registerFirstAidFlows(flows);
    registerUSBBlockerFlows(flows);
    registerUninstallFlows(flows);
    if (argc < 2 || flows.find(argv[1]) == nullptr) {
        std::cerr << flows.usage();
        return 2;
    }
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    if (!harbormind::DMTranslationLoader::install(QStringLiteral("en"),
                                                  {QStringLiteral(HARBORMIND_TEST_TRANSLATIONS_DIR)})) {
        std::cerr << "system_window_flow: the English catalogue is missing from " HARBORMIND_TEST_TRANSLATIONS_DIR "\n";
        return 2;
    }
    nlohmann::json report;
    {
        WindowFlowContext context;
        try {
            report = (*flows.find(argv[1]))(context, arguments);
        } catch (const std::exception& failure) {
            report = {{"error", std::string("the flow failed: ") + failure.what()}};
        }
        report["alerts"] = context.presenter().report();
    }
    std::cout << "\n" << report.dump() << std::endl;
    return 0;
}
