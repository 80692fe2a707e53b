#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/disktools/DMNewVolumeFields.h"
#include "disktools/DMPartitionTable.h"
#include "xpc/DMEraseFileSystem.h"

class QComboBox;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace harbormind {

// The "New Partition..." sheet of a disk: which free space, how much of it (in MB), the file
// system and the name (and a password for an encrypted volume).
class DMNewPartitionWindowController : public QDialog {
public:
    struct Choice {
        std::int64_t startBytes = 0;
        std::int64_t sizeBytes = 0;
        DMEraseFileSystem fileSystem = DMEraseFileSystem::ext4;
        std::string label;
        std::string password;
    };
    using Create = std::function<void(const Choice&)>;

    DMNewPartitionWindowController(std::string diskTitle, std::vector<DMFreeRegion> regions, Create create,
                                   QWidget* parent = nullptr);

    QComboBox* pbRegion() const { return pbRegion_; }
    QSpinBox* sbSizeMB() const { return sbSizeMB_; }
    QComboBox* pbFileSystem() const { return fields_.pbFileSystem(); }
    QLineEdit* tfName() const { return fields_.tfName(); }
    QPushButton* btnCreate() const { return btnCreate_; }
    std::string problem() const { return problem_; }
    void working();

private:
    void check();
    void regionChosen();

    std::vector<DMFreeRegion> regions_;
    Create create_;
    QComboBox* pbRegion_;
    QSpinBox* sbSizeMB_;
    DMNewVolumeFields fields_;
    QProgressBar* piWorking_;
    QPushButton* btnCancel_;
    QPushButton* btnCreate_;
    std::string problem_;
};

}  // namespace harbormind
