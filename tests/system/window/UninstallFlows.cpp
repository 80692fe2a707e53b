// "Uninstall" from the window's menu, answered Yes: what the application did before it would
// end (it is not ended here: the flow reports that it asked to end).
#include <QMainWindow>

#include "app/install/DMUninstaller.h"
#include "app/shell/DMWindowController.h"
#include "platform/Platform.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"

namespace harbormind::test {
namespace {

constexpr double uninstallLimit = 60;

nlohmann::json uninstall(WindowFlowContext& context, const std::vector<std::string>&) {
    auto ended = std::make_shared<bool>(false);
    DMUninstaller uninstaller(context.sharedPresenter(), Platform::current().userData(),
                              Platform::current().packageManager(), [ended] { *ended = true; });
    const std::size_t alerts = context.presenter().count();
    // Yes to the question; any alert after it is the uninstaller's word on a failure.
    context.presenter().queueAnswer(0);
    uninstaller.start(context.window().window());
    nlohmann::json report;
    report["finished"] = context.waitFor([&] { return *ended || context.presenter().count() > alerts + 1; }, uninstallLimit);
    report["ended"] = *ended;
    return report;
}

}  // namespace

void registerUninstallFlows(WindowFlows& flows) {
    flows.add("uninstall", ": Uninstall, answered Yes; whether the application asked to end", uninstall);
}

}  // namespace harbormind::test
