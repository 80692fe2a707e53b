// Flows of the drive tree and a detail view's action bar: select a drive, look at it, click an
// item of its action bar and wait until the work is done.
#include <QToolButton>

#include "app/details/DMBaseViewController.h"
#include "app/widgets/DMMacDockView.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"

namespace harbormind::test {
namespace {

// How long the work a click starts may take before the flow gives up on it.
constexpr double workLimit = 90;

bool changed(const nlohmann::json& before, const nlohmann::json& now) {
    // A loop device's name is taken again at once by the next image attached anywhere on the
    // machine, so a disk under the same name but another image counts as the old one gone.
    return before.value("inTree", false) != now.value("inTree", false) ||
           before.value("name", "") != now.value("name", "") ||
           before.value("mounted", false) != now.value("mounted", false);
}

nlohmann::json show(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    DMBaseViewController* view = context.select(arguments.at(0));
    if (view == nullptr) {
        return context.notShown(arguments.at(0));
    }
    return {{"drive", context.describe(arguments.at(0))}, {"actionBar", WindowFlowContext::actionBar(*view)}};
}

// Clicks ITEM of DEVICE's action bar; ANSWERS are the buttons chosen in the alerts that follow.
// Done when the drive's state changed (mounted, unmounted, gone from the tree) or an alert
// beyond those answered is shown.
nlohmann::json clickAction(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    const std::string& item = arguments.at(1);
    DMBaseViewController* view = context.select(device);
    if (view == nullptr) {
        return context.notShown(device);
    }
    nlohmann::json report{{"before", context.describe(device)}, {"actionBar", WindowFlowContext::actionBar(*view)}};
    if (!report["actionBar"].contains(item)) {
        report["error"] = "no item " + item + " in the action bar";
        return report;
    }
    if (!report["actionBar"][item]["enabled"].get<bool>()) {
        report["clicked"] = false;
        return report;
    }
    for (std::size_t index = 2; index < arguments.size(); ++index) {
        context.presenter().queueAnswer(std::stoi(arguments[index]));
    }
    const std::size_t expectedAlerts = context.presenter().count() + (arguments.size() - 2);
    view->actionBar()->button(item)->click();
    report["clicked"] = true;
    const nlohmann::json before = report["before"];
    report["finished"] = context.waitFor(
        [&] { return context.presenter().count() > expectedAlerts || changed(before, context.describe(device)); },
        workLimit);
    context.settle();
    report["after"] = context.describe(device);
    return report;
}

}  // namespace

void registerDriveActionFlows(WindowFlows& flows) {
    flows.add("show", "DEVICE: the drive as the tree and its detail view show it", show);
    flows.add("click", "DEVICE ITEM [ANSWER...]: click an action bar item, answer the alerts that follow", clickAction);
}

}  // namespace harbormind::test
