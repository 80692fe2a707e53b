// USB Warden's windows as the application opens them: the white-list password before a disk
// joins the list, the lists page of the settings, and the password that turns the Warden off.
// The lists and the Warden are the daemon's; the windows reach it through its wrapper.
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

#include "app/shell/DMWindowController.h"
#include "app/usb/DMUSBBlockerControl.h"
#include "app/usb/USBBLockerWindowController.h"
#include "app/usb/USBBlockerSettingEntryWindowController.h"
#include "app/usb/USBBlockerStopWindowController.h"
#include "app/usb/USBViewController.h"
#include "app/usb/USBWhiteListViewController.h"
#include "system/window/WindowFlowContext.h"
#include "system/window/WindowFlows.h"
#include "usbblocker/USBDiskList.h"

namespace harbormind::test {
namespace {

// A daemon call that waits for an administrator waits at most this long.
constexpr double answerLimit = 60;
// The lists page is the third row of the settings' sidebar.
constexpr int listsPage = 2;

std::unique_ptr<DMUSBBlockerControl> control(WindowFlowContext& context) {
    QMainWindow* window = context.window().window();
    return std::make_unique<DMUSBBlockerControl>(
        DMUSBBlockerControl::platformServices(context.sharedPresenter()),
        [window]() -> QWidget* { return window; });
}

void type(QLineEdit* field, const std::string& text) {
    field->setText(QString::fromStdString(text));
    emit field->textEdited(field->text());
}

std::string shown(const QLabel* label) { return label->isHidden() ? std::string() : label->text().toStdString(); }

nlohmann::json rows(const QTableWidget* table) {
    nlohmann::json names = nlohmann::json::array();
    for (int row = 0; row < table->rowCount(); ++row) {
        names.push_back(table->item(row, 0)->text().toStdString());
    }
    return names;
}

nlohmann::json whiteList() {
    USBDiskList& lists = USBDiskList::shared();
    lists.load();
    nlohmann::json names = nlohmann::json::array();
    for (const Drive& entry : lists.whiteList()) {
        names.push_back(entry.name);
    }
    return names;
}

// Types the password into the open white-list or settings password sheet and clicks OK; the
// sheet's refusal, if any, is reported.
nlohmann::json enterPassword(WindowFlowContext& context, DMUSBBlockerControl& usb, const std::string& password) {
    USBBlockerSettingEntryWindowController* sheet = usb.usbEntryWindowController();
    if (sheet == nullptr) {
        return {{"error", "no password sheet opened"}};
    }
    type(sheet->editPassword, password);
    sheet->btnOk->click();
    context.settle();
    return {{"refusal", usb.usbEntryWindowController() ? shown(sheet->lblengthError) : std::string()},
            {"closed", usb.usbEntryWindowController() == nullptr}};
}

// DEVICE PASSWORD: "Add whitelist" for the disk of DEVICE, the password typed into its sheet.
nlohmann::json addWhiteList(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    const std::string& device = arguments.at(0);
    if (context.select(device) == nullptr) {
        return context.notShown(device);
    }
    auto usb = control(context);
    nlohmann::json report{{"on", usb->isOn()}, {"offered", usb->offersAddWhiteList(device)}, {"before", whiteList()}};
    const std::size_t alerts = context.presenter().count();
    if (!usb->addWhiteList(device)) {
        report["error"] = "no disk for " + device;
        return report;
    }
    report["sheet"] = enterPassword(context, *usb, arguments.at(1));
    context.waitFor([&] { return context.presenter().count() > alerts; }, answerLimit);
    report["after"] = whiteList();
    return report;
}

// NAME PASSWORD: opens the settings behind the password, shows the lists page, selects NAME on
// the white list and clicks "Remove whitelist".
nlohmann::json removeWhiteListed(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    auto usb = control(context);
    usb->settingUSBBlokcerWithSender();
    nlohmann::json report{{"sheet", enterPassword(context, *usb, arguments.at(1))}};
    USBBLockerWindowController* settings = usb->usbBLockerWindowController();
    if (!settings->isVisible()) {
        report["error"] = "the settings did not open";
        return report;
    }
    settings->select(listsPage);
    USBWhiteListViewController* page = settings->usbViewController->usbWhiteListViewController;
    report["rowsBefore"] = rows(page->table);
    const auto& names = report["rowsBefore"];
    const auto found = std::find(names.begin(), names.end(), arguments.at(0));
    if (found == names.end()) {
        report["error"] = arguments.at(0) + " is not on the white list page";
        return report;
    }
    page->table->setCurrentCell(static_cast<int>(found - names.begin()), 0);
    page->btnRemove->click();
    context.settle();
    report["rowsAfter"] = rows(page->table);
    report["after"] = whiteList();
    return report;
}

// PASSWORD...: the sheet that turns USB Warden off, each password typed and OK clicked in turn;
// what the sheet said to each, and whether the Warden is off when the sheet closed.
nlohmann::json stopWarden(WindowFlowContext& context, const std::vector<std::string>& arguments) {
    auto usb = control(context);
    nlohmann::json report{{"onBefore", usb->isOn()}, {"tries", nlohmann::json::array()}};
    usb->startUSBBlockerWithSender(1);
    // The sheet deletes itself once it has turned the Warden off.
    QPointer<USBBlockerStopWindowController> sheet = usb->usbBlockerStopwindowController();
    if (sheet.isNull()) {
        report["error"] = "no password sheet opened";
        return report;
    }
    const std::size_t alerts = context.presenter().count();
    bool stopped = false;
    for (const std::string& password : arguments) {
        type(sheet->editPassword, password);
        sheet->btnOk->click();
        context.settle();
        stopped = sheet.isNull() || sheet->stopSuccess;
        report["tries"].push_back(sheet.isNull() ? std::string() : shown(sheet->lbErrorTip));
        if (stopped) {
            break;
        }
    }
    if (stopped) {
        report["closed"] = context.waitFor([&] { return context.presenter().count() > alerts; }, answerLimit);
    } else {
        sheet->btnCancel->click();
    }
    report["onAfter"] = usb->isOn();
    return report;
}

}  // namespace

void registerUSBBlockerFlows(WindowFlows& flows) {
    flows.add("usb-add-whitelist", "DEVICE PASSWORD: Add whitelist for the disk of DEVICE behind the password",
              addWhiteList);
    flows.add("usb-remove-whitelist", "NAME PASSWORD: the settings' lists page removes NAME from the white list",
              removeWhiteListed);
    flows.add("usb-stop", "PASSWORD...: turn USB Warden off, trying each password in turn", stopWarden);
}

}  // namespace harbormind::test
