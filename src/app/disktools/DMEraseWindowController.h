#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/disktools/DMNewVolumeFields.h"
#include "disktools/DMEraseTarget.h"
#include "xpc/DMEraseFileSystem.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

// The "Erase..." sheet of a disk or a volume: the new volume's name and file system (and a
// password for an encrypted one), what will be lost, and the name checked against the file
// system's rules as it is typed. "Erase" hands the choice over; the sheet then shows the work
// until the caller calls finished().
class DMEraseWindowController : public QDialog {
public:
    struct Choice {
        DMEraseFileSystem fileSystem = DMEraseFileSystem::exfat;
        std::string label;  // as the file system will keep it
        std::string password;
    };
    using Erase = std::function<void(const Choice&)>;

    static constexpr const char* eraseTitle = "Erase \"%@\"";
    static constexpr const char* wholeDiskText =
        "Erasing %@ deletes everything on it and gives it a new GUID partition table with one volume.";
    static constexpr const char* volumeText = "Erasing the volume %@ deletes everything on it.";

    DMEraseWindowController(DMEraseTarget target, Erase erase, QWidget* parent = nullptr);

    const DMEraseTarget& target() const { return target_; }
    QLineEdit* tfName() const { return fields_.tfName(); }
    QComboBox* pbFileSystem() const { return fields_.pbFileSystem(); }
    QLineEdit* tfPassword() const { return fields_.tfPassword(); }
    QLineEdit* tfPasswordAgain() const { return fields_.tfPasswordAgain(); }
    QPushButton* btnErase() const { return btnErase_; }
    QPushButton* btnCancel() const { return btnCancel_; }
    // Why "Erase" is disabled: the name's problem, or the passwords'; empty when enabled.
    std::string problem() const { return problem_; }
    void selectFileSystem(DMEraseFileSystem fileSystem);
    // The work is under way: every control is disabled and a spinner turns.
    void working();
    bool isWorking() const;

private:
    void check();

    DMEraseTarget target_;
    Erase erase_;
    DMNewVolumeFields fields_;
    QProgressBar* piWorking_;
    QLabel* lbWorking_;
    QPushButton* btnCancel_;
    QPushButton* btnErase_;
    std::string problem_;
};

}  // namespace harbormind
