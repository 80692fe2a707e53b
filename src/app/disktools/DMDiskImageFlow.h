#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/disktools/DMDiskImageWindowController.h"

class QFile;

namespace harbormind {

class DMAlertPresenter;
class DMDriveObjectProtocol;

// "Create Disk Image..." and "Restore Disk Image..." for the selected disk or volume. The image
// file is opened here, with the user's rights, and its descriptor handed to the daemon, which
// copies with the clone's engine; the sheet follows the copy until it ends. A restore is asked
// about last, naming the drive and what is on it, Cancel first.
class DMDiskImageFlow : public std::enable_shared_from_this<DMDiskImageFlow> {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;
    using ChooseFile = DMDiskImageWindowController::ChooseFile;

    static constexpr double pollSeconds = 0.5;

    // `chooseNew` and `chooseExisting` ask for a file (tests give their own).
    DMDiskImageFlow(std::shared_ptr<DMAlertPresenter> presenter, ChooseFile chooseNew = {},
                    ChooseFile chooseExisting = {});

    void createImage(const Drive& drive, QWidget* window);
    void restoreImage(const Drive& drive, QWidget* window);

    DMDiskImageWindowController* windowController() const { return sheet_.data(); }
    // Work still under way (drive reads, daemon calls); tests wait for none.
    static int pending();

private:
    void open(DMDiskImageWindowController::Mode mode, const Drive& drive, QWidget* window);
    void startCreate(const Drive& drive, const DMDiskImageWindowController::Choice& choice);
    void checkRestore(const Drive& drive, const DMDiskImageWindowController::Choice& choice);
    void confirmRestore(const Drive& drive, std::shared_ptr<QFile> image);
    void started(std::int64_t code, const std::string& message, const std::string& failedTitle);
    void poll();
    void alert(QWidget* window, const std::string& title, const std::string& reason);

    std::shared_ptr<DMAlertPresenter> presenter_;
    ChooseFile chooseNew_;
    ChooseFile chooseExisting_;
    QPointer<DMDiskImageWindowController> sheet_;
};

}  // namespace harbormind
