#include "app/network/DMNewNetworkCloudDrivesWindowController.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/details/DMNetworkDriveViewController.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTr.h"
#include "app/network/DMNetworkDriveConfigurableViewController.h"
#include "app/network/DMNetworkEditorTexts.h"
#include "config/DMConfigurationManager.h"
#include "drivemodel/DMDriveManager.h"
#include "network/DMNetworkDriveManager.h"
#include "network/NetworkDriveCommands.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

// A drive that connected is opened this long after the sheet closed.
constexpr double openAfterConnectingDelay = 2.0;
// Its volume is taken up about as late; until it is, opening is tried again this often, a few times.
constexpr double openRetryInterval = 0.5;
constexpr int openRetries = 16;

// Opens the drive once its volume is known to the manager.
void openWhenMounted(std::weak_ptr<DMNetworkDriveManager> manager, std::shared_ptr<DMNetworkDriveObject> drive,
                     int retriesLeft) {
    auto owner = manager.lock();
    if (!owner) {
        return;
    }
    if (drive->isMounted()) {
        owner->open(drive, [](int, std::optional<std::string>) {});
        return;
    }
    if (retriesLeft > 0) {
        Dispatch::mainQueue()->asyncAfter(seconds(openRetryInterval), [manager, drive, retriesLeft] {
            openWhenMounted(manager, drive, retriesLeft - 1);
        });
    }
}

// The fields a connection needs that are still empty, as the form names them.
std::vector<std::string> missingFields(const DMNetworkDriveObject& drive) {
    std::vector<std::string> missing;
    if (drive.name().empty()) {
        missing.emplace_back(DMTr::text(DMNetworkEditorTexts::nicknameField));
    }
    if (drive.host().empty()) {
        missing.emplace_back(DMTr::text(DMNetworkEditorTexts::folderField));
    }
    if (!drive.anonymous() && drive.userName().empty()) {
        missing.emplace_back(DMTr::text(DMNetworkEditorTexts::usernameField));
    }
    return missing;
}

int typeIndexOf(const DMNetworkDriveObject& drive) {
    auto type = NetworkDriveCommands::typeNamed(drive.scheme());
    return static_cast<int>(type.value_or(DMNetworkDriveType::smb));
}

}  // namespace

DMNewNetworkCloudDrivesWindowController::DMNewNetworkCloudDrivesWindowController(
    std::shared_ptr<DMNetworkDriveManager> driveMgr, std::shared_ptr<DMNetworkDriveObject> driveObj, QWidget* parent,
    DMConfigurationManager* config)
    : QDialog(parent),
      driveMgr_(std::move(driveMgr)),
      driveObj_(std::move(driveObj)),
      config_(config != nullptr ? config : &DMConfigurationManager::shared()),
      pbDriveType_(new QComboBox(this)),
      configContentView_(new QWidget(this)),
      piConnecting_(new QProgressBar(this)),
      lbConnecting_(new QLabel(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::connecting)), this)),
      lbTips_(new QLabel(this)),
      btnOk_(new QPushButton(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::connect)), this)),
      btnClose_(new QPushButton(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::close)), this)),
      btnSave_(new QPushButton(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::save)), this)),
      btnHelp_(new QPushButton(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::help)), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::windowTitle)));
    for (const char* type : DMNetworkEditorTexts::types) {
        pbDriveType_->addItem(QString::fromUtf8(type));
    }
    // A busy bar: no range, it only moves.
    piConnecting_->setRange(0, 0);
    piConnecting_->setMaximumWidth(80);
    piConnecting_->setTextVisible(false);
    lbTips_->setWordWrap(true);
    lbTips_->setStyleSheet(QStringLiteral("color: #e0484b;"));
    btnOk_->setDefault(true);
    // The status line keeps its room whether or not it shows something, so that the buttons
    // below it never move under the cursor.
    for (QWidget* status : std::initializer_list<QWidget*>{piConnecting_, lbConnecting_, lbTips_}) {
        QSizePolicy policy = status->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        status->setSizePolicy(policy);
    }
    lbTips_->setMinimumHeight(2 * lbTips_->fontMetrics().lineSpacing());

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(new QLabel(QString::fromUtf8(DMTr::text(DMNetworkEditorTexts::driveType)), this));
    typeRow->addWidget(pbDriveType_, 1);
    auto* content = new QVBoxLayout(configContentView_);
    content->setContentsMargins(0, 0, 0, 0);
    auto* status = new QHBoxLayout;
    status->addWidget(piConnecting_);
    status->addWidget(lbConnecting_);
    status->addWidget(lbTips_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp_);
    buttons->addStretch(1);
    buttons->addWidget(btnClose_);
    buttons->addWidget(btnSave_);
    buttons->addWidget(btnOk_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addWidget(configContentView_);
    layout->addLayout(status);
    layout->addLayout(buttons);

    const int typeIndex = driveObj_ ? typeIndexOf(*driveObj_) : 0;
    pbDriveType_->setCurrentIndex(typeIndex);
    showForm(typeIndex);
    updateControls();
    lbTips_->hide();

    QObject::connect(pbDriveType_, &QComboBox::activated, this,
                     [this](int index) { driveTypeChange_clickWithSender(index); });
    QObject::connect(btnOk_, &QPushButton::clicked, this, [this] { connect_clickWithSender(); });
    QObject::connect(btnClose_, &QPushButton::clicked, this, [this] { close_clickWithSender(); });
    QObject::connect(btnSave_, &QPushButton::clicked, this, [this] { save_clickWithSender(); });
    QObject::connect(btnHelp_, &QPushButton::clicked, this, [this] { help_clickWithSender(); });
}

DMNewNetworkCloudDrivesWindowController::~DMNewNetworkCloudDrivesWindowController() {
    cancelConnection();
}

DMNewNetworkCloudDrivesWindowController* DMNewNetworkCloudDrivesWindowController::present(
    QPointer<DMNewNetworkCloudDrivesWindowController>& slot, std::shared_ptr<DMNetworkDriveObject> drive,
    QWidget* window) {
    if (slot) {
        slot->close_clickWithSender();
    }
    auto manager = drive ? std::dynamic_pointer_cast<DMNetworkDriveManager>(drive->manager())
                         : DMDriveManager::shared().manager<DMNetworkDriveManager>("");
    if (!manager) {
        return nullptr;
    }
    slot = new DMNewNetworkCloudDrivesWindowController(manager, std::move(drive), window);
    slot->setWindowModality(window != nullptr ? Qt::WindowModal : Qt::NonModal);
    slot->show();
    return slot.data();
}

std::shared_ptr<DMNetworkDriveObject> DMNewNetworkCloudDrivesWindowController::editedDrive() const {
    return currentConfigurableViewController_ ? currentConfigurableViewController_->obj() : nullptr;
}

void DMNewNetworkCloudDrivesWindowController::showForm(int typeIndex) {
    // The new form keeps what was typed; a saved drive fills the first one.
    NetworkDriveForm initial;
    if (currentConfigurableViewController_) {
        initial = currentConfigurableViewController_->form();
        delete currentConfigurableViewController_;
    } else if (driveObj_) {
        initial = NetworkDriveForm::from(*driveObj_);
    }
    auto drive = driveMgr_->makeDriveObject(static_cast<DMNetworkDriveType>(typeIndex));
    currentConfigurableViewController_ = new DMNetworkDriveConfigurableViewController(drive, initial, configContentView_);
    currentConfigurableViewController_->setDriveConfigureDelegate(this);
    configContentView_->layout()->addWidget(currentConfigurableViewController_);
}

void DMNewNetworkCloudDrivesWindowController::driveTypeChange_clickWithSender(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(DMNetworkEditorTexts::types)) || isConnecting_) {
        return;
    }
    showForm(index);
    updateControls();
}

void DMNewNetworkCloudDrivesWindowController::driveConfigurationDidChange() {
    // A list of missing fields follows the typing, and goes once nothing is missing.
    if (showsMissingFields_) {
        showMissingFields();
    }
}

bool DMNewNetworkCloudDrivesWindowController::showMissingFields() {
    std::shared_ptr<DMNetworkDriveObject> drive = editedDrive();
    const std::vector<std::string> missing = drive ? missingFields(*drive) : std::vector<std::string>{};
    showsMissingFields_ = !missing.empty();
    if (missing.empty()) {
        lbTips_->hide();
        return false;
    }
    std::string names;
    for (const std::string& name : missing) {
        names += (names.empty() ? "" : ", ") + name;
    }
    showTip(DMTextFormat::withText(DMTr::text(DMNetworkEditorTexts::missingFields), names));
    showsMissingFields_ = true;
    return true;
}

void DMNewNetworkCloudDrivesWindowController::updateControls() {
    btnSave_->setEnabled(!isConnecting_);
    piConnecting_->setVisible(isConnecting_);
    lbConnecting_->setVisible(isConnecting_);
    if (isConnecting_) {
        lbTips_->hide();
    }
    pbDriveType_->setEnabled(!isConnecting_);
    if (currentConfigurableViewController_) {
        currentConfigurableViewController_->setEditable(!isConnecting_);
    }
}

void DMNewNetworkCloudDrivesWindowController::showTip(const std::string& text) {
    showsMissingFields_ = false;
    lbTips_->setText(QString::fromStdString(text));
    lbTips_->show();
}

void DMNewNetworkCloudDrivesWindowController::connect_clickWithSender() {
    std::shared_ptr<DMNetworkDriveObject> drive = editedDrive();
    if (!drive) {
        return;
    }
    if (isConnecting_) {
        cancelConnection();
        updateControls();
        return;
    }
    if (showMissingFields()) {
        return;
    }
    isConnecting_ = true;
    const std::uint64_t attempt = ++attempt_;
    updateControls();
    QPointer<DMNewNetworkCloudDrivesWindowController> self(this);
    driveMgr_->mount(drive, [self, attempt](int code, std::optional<std::string> reason) {
        Dispatch::main().async([self, attempt, code, reason] {
            if (self && self->isConnecting_ && self->attempt_ == attempt) {
                self->connectionFinished(code, reason.value_or(""));
            }
        });
    });
}

void DMNewNetworkCloudDrivesWindowController::cancelConnection() {
    if (!isConnecting_) {
        return;
    }
    isConnecting_ = false;
    if (auto drive = editedDrive()) {
        driveMgr_->cancelMount(*drive);
    }
}

void DMNewNetworkCloudDrivesWindowController::connectionFinished(int code, const std::string& reason) {
    isConnecting_ = false;
    updateControls();
    if (code != 0) {
        std::string detail = DMNetworkDriveViewController::connectFailureDetail(code, reason);
        showTip(DMNetworkDriveViewController::connectFailureText(code, reason) + (detail.empty() ? "" : "\n" + detail));
        return;
    }
    saveConnectedDrive();
    close();
}

void DMNewNetworkCloudDrivesWindowController::saveConnectedDrive() {
    std::shared_ptr<DMNetworkDriveObject> drive = editedDrive();
    if (driveObj_ && std::dynamic_pointer_cast<DMNetworkDriveManager>(driveObj_->manager()) == driveMgr_) {
        driveMgr_->remove(driveObj_);
    }
    drive->setSaved(true);
    if (!driveMgr_->contains(*drive)) {
        driveMgr_->add(drive);
    }
    if (!config_->automaticallyOpenDrivesAfterConnecting()) {
        return;
    }
    std::weak_ptr<DMNetworkDriveManager> manager = driveMgr_;
    Dispatch::mainQueue()->asyncAfter(seconds(openAfterConnectingDelay),
                                      [manager, drive] { openWhenMounted(manager, drive, openRetries); });
}

void DMNewNetworkCloudDrivesWindowController::save_clickWithSender() {
    std::shared_ptr<DMNetworkDriveObject> drive = editedDrive();
    if (!drive || isConnecting_ || showMissingFields()) {
        return;
    }
    const bool replaces = driveObj_ && std::dynamic_pointer_cast<DMNetworkDriveManager>(driveObj_->manager()) == driveMgr_;
    driveMgr_->saveWithoutConnecting(drive, replaces ? driveObj_ : nullptr);
    close();
}

void DMNewNetworkCloudDrivesWindowController::close_clickWithSender() {
    cancelConnection();
    close();
}

void DMNewNetworkCloudDrivesWindowController::reject() {
    // Escape and the window's close button end a connection attempt too.
    cancelConnection();
    QDialog::reject();
}

void DMNewNetworkCloudDrivesWindowController::help_clickWithSender() {
    Platform::current().workspace().openURL(DMNetworkEditorTexts::helpURL);
}

}  // namespace harbormind
