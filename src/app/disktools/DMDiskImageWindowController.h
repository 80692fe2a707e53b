#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "disktools/DMDiskImageStatus.h"
#include "disktools/DMEraseTarget.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace harbormind {

// The "Create Disk Image..." and "Restore Disk Image..." sheet of a disk or a volume: the image
// file (typed or chosen), whether to compress a new one, then the copy's progress with a Stop
// button, and at the end what was done or why not.
class DMDiskImageWindowController : public QDialog {
public:
    enum class Mode { create, restore };
    struct Choice {
        std::string path;
        bool compress = false;
    };
    using Go = std::function<void(const Choice&)>;
    using ChooseFile = std::function<std::string(QWidget* parent, const std::string& current)>;

    static constexpr const char* createTitle = "Create a Disk Image of \"%@\"";
    static constexpr const char* restoreTitle = "Restore a Disk Image onto \"%@\"";
    static constexpr const char* createText =
        "Every byte of %@ is copied into an image file of yours; what reads as zeros takes no space.";
    static constexpr const char* restoreText =
        "The image (.img, .iso, .img.zst or .img.xz) is written over %@, which must be at least as large.";

    DMDiskImageWindowController(Mode mode, DMEraseTarget target, Go go, ChooseFile choose, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    const DMEraseTarget& target() const { return target_; }
    QLineEdit* tfFile() const { return tfFile_; }
    QCheckBox* cbCompress() const { return cbCompress_; }
    QPushButton* btnGo() const { return btnGo_; }
    QPushButton* btnCancel() const { return btnCancel_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* lbStatus() const { return lbStatus_; }
    // The copy runs: the choices are locked, Cancel becomes Stop (which calls `stop`).
    void working(std::function<void()> stop);
    void showProgress(const DMDiskImageStatus& status);
    // The end, in words; the only button left closes the sheet.
    void finished(const DMDiskImageStatus& status);
    bool isWorking() const { return working_; }

private:
    void check();

    Mode mode_;
    DMEraseTarget target_;
    Go go_;
    ChooseFile choose_;
    QLineEdit* tfFile_;
    QPushButton* btnChoose_;
    QCheckBox* cbCompress_;
    QProgressBar* progress_;
    QLabel* lbStatus_;
    QPushButton* btnCancel_;
    QPushButton* btnGo_;
    std::function<void()> stop_;
    bool working_ = false;
};

}  // namespace harbormind
