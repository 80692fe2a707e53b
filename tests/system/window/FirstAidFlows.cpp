// First Aid from a drive's action bar: the sheet that shows the check, read when it ends.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "app/details/DMBaseViewController.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/firstaid/DMFirstAidWindowController.h"
#include "app/widgets/DMMacDockView.h"
#include "app/shell/DMWindowController.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"

namespace harbormind::test {
namespace {

// A check of a small volume ends in seconds; unmounting may wait up to a minute for a drive.
constexpr double checkLimit = 150;

nlohmann::json sheetReport(const DMFirstAidWindowController& sheet) {
    return {{"title", sheet.titleLabel()->text().toStdString()},
            {"tip", sheet.tipLabel()->text().toStdString()},
            {"progress", sheet.progressBar()->value()},
            {"progressShown", !sheet.progressBar()->isHidden()},
            {"completeEnabled", sheet.completeButton()->isEnabled()},
            {"output", sheet.detailView()->toPlainText().toStdString()}};
}

// Clicks "First Aid" on DEVICE's action bar, answers the alerts that follow with ANSWERS, and
// waits until the sheet can be closed (the check ended, or did not start).
nlohmann::json firstAid(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    DMBaseViewController* view = context.select(device);
    if (view == nullptr) {
        return context.notShown(device);
    }
    nlohmann::json report{{"before", context.describe(device)}, {"actionBar", WindowFlowContext::actionBar(*view)}};
    const nlohmann::json& item = report["actionBar"]["First Aid"];
    if (!item.value("enabled", false)) {
        report["clicked"] = false;
        return report;
    }
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        context.presenter().queueAnswer(std::stoi(arguments[index]));
    }
    view->actionBar()->button("First Aid")->click();
    report["clicked"] = true;
    DMFeatureWindowFactory& windows = *context.window().driveWindows();
    report["ended"] = context.waitFor(
        [&] {
            const auto& sheet = windows.checkDiskWindowController();
            return sheet && sheet->completeButton()->isEnabled();
        },
        checkLimit);
    if (const auto& sheet = windows.checkDiskWindowController()) {
        report["sheet"] = sheetReport(*sheet);
    }
    // The tree hears of the mount made again after the sheet's last line.
    const bool mountedBefore = report["before"].value("mounted", false);
    context.waitFor([&] { return context.describe(device).value("mounted", false) == mountedBefore; }, 10);
    context.settle();
    report["after"] = context.describe(device);
    return report;
}

}  // namespace

void registerFirstAidFlows(WindowFlows& flows) {
    flows.add("firstaid", "DEVICE [ANSWER...]: First Aid from the action bar, read from its sheet when it ends",
              firstAid);
}

}  // namespace harbormind::test
