// The drive tools of the window: the "Erase..." and "New Partition..." sheets filled in and
// confirmed, and the health part of a whole disk's detail view.
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "app/details/DMBaseViewController.h"
#include "app/shell/DMFeatureWindowFactory.h"
#include "app/details/DMLocalDriveViewController.h"
#include "app/widgets/DMMacDockView.h"
#include "app/shell/DMWindowController.h"
#include "app/disktools/DMDiskToolsFlow.h"
#include "app/disktools/DMDriveHealthView.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"
#include "xpc/DMEraseFileSystem.h"

namespace harbormind::test {
namespace {

// Making a file system on a small disk takes seconds; the daemon may first unmount for a minute.
constexpr double workLimit = 120;
// A window opening, or the daemon's answer to a question.
constexpr double stepLimit = 60;

// Clicks ITEM on DEVICE's action bar; the report says why not when it cannot.
bool clickItem(WindowFlowContext& context, const std::string& device, const std::string& item, nlohmann::json& report) {
    DMBaseViewController* view = context.select(device);
    if (view == nullptr) {
        report.update(context.notShown(device));
        return false;
    }
    report["before"] = context.describe(device);
    report["actionBar"] = WindowFlowContext::actionBar(*view);
    if (!report["actionBar"].contains(item) || !report["actionBar"][item].value("enabled", false)) {
        report["clicked"] = false;
        return false;
    }
    view->actionBar()->button(item)->click();
    report["clicked"] = true;
    return true;
}

bool selectFileSystem(QComboBox* box, const std::string& name) {
    std::optional<DMEraseFileSystem> wanted = DMEraseFileSystems::fromName(name);
    int index = wanted ? box->findData(static_cast<int>(*wanted)) : -1;
    if (index < 0) {
        return false;
    }
    box->setCurrentIndex(index);
    return true;
}

// Waits for the work a sheet started to end, and for the tree to hear of it.
void awaitWork(WindowFlowContext& context, const std::string& device, nlohmann::json& report) {
    report["ended"] = context.waitFor([] { return DMDiskToolsFlow::pending() == 0; }, workLimit);
    context.waitFor([] { return false; }, 1);
    context.settle();
    report["after"] = context.describe(device);
}

// DEVICE FILESYSTEM LABEL: "Erase..." on DEVICE, the sheet filled in, "Erase" and the
// confirmation answered with Erase.
nlohmann::json erase(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    DMDiskToolsFlow& tools = *context.window().driveWindows()->diskToolsFlow();
    nlohmann::json report;
    if (!clickItem(context, device, "Erase...", report)) {
        return report;
    }
    QPointer<DMEraseWindowController> sheet;
    context.waitFor(
        [&] {
            sheet = tools.eraseWindowController();
            return sheet != nullptr || context.presenter().count() > 0;
        },
        stepLimit);
    if (!sheet) {
        return report;
    }
    report["sheetTitle"] = sheet->windowTitle().toStdString();
    if (!selectFileSystem(sheet->pbFileSystem(), arguments.at(1))) {
        report["error"] = "no file system " + arguments.at(1) + " on the sheet";
        return report;
    }
    sheet->tfName()->setText(QString::fromStdString(arguments.at(2)));
    report["problem"] = sheet->problem();
    report["eraseEnabled"] = sheet->btnErase()->isEnabled();
    if (!sheet->btnErase()->isEnabled()) {
        return report;
    }
    context.presenter().queueAnswer(1);
    sheet->btnErase()->click();
    awaitWork(context, device, report);
    report["sheetClosed"] = !sheet || !sheet->isVisible();
    return report;
}

// DISK SIZE_MB FILESYSTEM LABEL: "New Partition..." on DISK, the first free space, SIZE_MB of it.
nlohmann::json newPartition(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& disk = arguments.at(0);
    DMDiskToolsFlow& tools = *context.window().driveWindows()->diskToolsFlow();
    nlohmann::json report;
    if (!clickItem(context, disk, "New Partition...", report)) {
        return report;
    }
    QPointer<DMNewPartitionWindowController> sheet;
    context.waitFor(
        [&] {
            sheet = tools.newPartitionWindowController();
            return sheet != nullptr || context.presenter().count() > 0;
        },
        stepLimit);
    if (!sheet) {
        return report;
    }
    report["regions"] = sheet->pbRegion()->count();
    sheet->sbSizeMB()->setValue(std::stoi(arguments.at(1)));
    if (!selectFileSystem(sheet->pbFileSystem(), arguments.at(2))) {
        report["error"] = "no file system " + arguments.at(2) + " on the sheet";
        return report;
    }
    sheet->tfName()->setText(QString::fromStdString(arguments.at(3)));
    report["problem"] = sheet->problem();
    report["createEnabled"] = sheet->btnCreate()->isEnabled();
    if (!sheet->btnCreate()->isEnabled()) {
        return report;
    }
    sheet->btnCreate()->click();
    awaitWork(context, disk, report);
    report["sheetClosed"] = !sheet || !sheet->isVisible();
    return report;
}

// DISK: the health part of the disk's detail view once it has been read.
nlohmann::json health(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& disk = arguments.at(0);
    DMBaseViewController* view = context.select(disk);
    if (view == nullptr) {
        return context.notShown(disk);
    }
    auto* diskView = dynamic_cast<DMLocalDriveViewController*>(view);
    DMDriveHealthView* shown = diskView != nullptr ? diskView->healthView() : nullptr;
    if (shown == nullptr) {
        return {{"error", "the detail view of " + disk + " has no health part"}};
    }
    nlohmann::json report;
    report["read"] = context.waitFor(
        [&] { return shown->identifier() == disk && !shown->isLoading() && DMDriveHealthView::pending() == 0; },
        stepLimit);
    report["assessment"] = shown->assessmentText();
    report["reason"] = shown->reasonText();
    report["selfTest"] = shown->selfTestText();
    report["visible"] = shown->isVisible();
    report["selfTestsOffered"] = !shown->shortTestButton()->isHidden() || !shown->extendedTestButton()->isHidden();
    return report;
}

}  // namespace

void registerDiskToolsFlows(WindowFlows& flows) {
    flows.add("erase", "DEVICE FILESYSTEM LABEL: the erase sheet filled in and confirmed", erase);
    flows.add("new-partition", "DISK SIZE_MB FILESYSTEM LABEL: a new partition in the disk's first free space",
              newPartition);
    flows.add("health", "DISK: the health part of the disk's detail view", health);
}

}  // namespace harbormind::test
