#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/AppDelegate.h"
#include "app/shell/DMDisplayCheck.h"
#include "app/shell/DMLaunchOptions.h"
#include "app/common/DMShellTexts.h"
#include "app/common/DMTr.h"
#include "app/shell/DMTranslationLoader.h"
#include "app/instance/DMSingleInstance.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"
#include "support/MainQueueLatencyProbe.h"

int main(int argc, char** argv) {
    // Help needs no display and no second look at the other options.
    for (int index = 1; index < argc; ++index) {
        if (harbormind::DMLaunchOptions::isHelp(argv[index])) {
            std::printf("%s\n", harbormind::DMLaunchOptions::helpText());
            return 0;
        }
        if (harbormind::DMLaunchOptions::takesValue(argv[index])) {
            ++index;
        }
    }
    // Qt reads "--platform" as its own option; ours are taken out before it sees them.
    std::vector<char*> qtArguments;
    QStringList ours;
    for (int index = 0; index < argc; ++index) {
        if (index > 0 && harbormind::DMLaunchOptions::isOwnOption(argv[index])) {
            ours << QString::fromLocal8Bit(argv[index]);
            if (harbormind::DMLaunchOptions::takesValue(argv[index]) && index + 1 < argc) {
                ours << QString::fromLocal8Bit(argv[++index]);
            }
            continue;
        }
        qtArguments.push_back(argv[index]);
    }
    std::vector<std::string> qtWords(qtArguments.begin(), qtArguments.end());
    if (auto missing = harbormind::DMDisplayCheck::missingDisplay([](const char* name) { return std::getenv(name); },
                                                                   qtWords)) {
        std::fprintf(stderr, "%s\n", missing->c_str());
        return 1;
    }
    int qtArgc = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication application(qtArgc, qtArguments.data());
    ours.prepend(QApplication::applicationFilePath());
    harbormind::DMTranslationLoader::installForEnvironment([](const char* name) { return std::getenv(name); });
    harbormind::AppDelegate delegate;
    // A second start raises the first window and ends; a screenshot or installer run is its
    // own short-lived process and never takes part.
    harbormind::DMSingleInstance instance(harbormind::DMSingleInstance::defaultSocketPath());
    const bool guarded = !ours.contains(QStringLiteral("--screenshot")) && !ours.contains(QStringLiteral("-install"));
    if (guarded && instance.handOverToRunningInstance()) {
        std::fprintf(stderr, "%s\n", harbormind::DMTr::text(harbormind::DMShellTexts::alreadyRunning));
        return 0;
    }
    int status = delegate.applicationDidFinishLaunching(ours);
    if (status >= 0) {
        harbormind::Platform::shutDownAll();
        return status;
    }
    if (guarded) {
        instance.listen([&delegate] { delegate.applicationShouldHandleReopen(); });
    }
    // HARBORMIND_LATENCY_PROBE=1 measures how late the window's thread runs its work and prints
    // the longest wait, the 99th percentile and the median when the application ends.
    std::unique_ptr<harbormind::MainQueueLatencyProbe> probe;
    if (const char* wanted = std::getenv("HARBORMIND_LATENCY_PROBE"); wanted != nullptr && *wanted != '\0') {
        probe = std::make_unique<harbormind::MainQueueLatencyProbe>(harbormind::Dispatch::mainQueue());
        probe->start();
    }
    int result = QApplication::exec();
    // The disk watcher and the bus threads end before the static objects they use.
    harbormind::Platform::shutDownAll();
    if (probe) {
        probe->stop();
        std::fprintf(stderr, "main thread latency: %s\n",
                     harbormind::MainQueueLatencyProbe::describe(probe->summary()).c_str());
    }
    return result;
}
