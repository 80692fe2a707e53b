#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace harbormind {

class CDMaskView;
class CDScanDelegate;
class DMAlertPresenter;
class Workspace;

// What the contents of the two cleaning windows share: the presenter and the desktop, the scan
// delegate whose reports reach the window only while it lives, the progress mask that follows
// the scan, and the busy state while a scan or a deletion runs.
class CDCleaningViewController : public QWidget {
public:
    // The background work still running is stopped and its late reports dropped.
    ~CDCleaningViewController() override;

    void stopScan();
    bool isBusy() const { return busy_; }

protected:
    CDCleaningViewController(std::shared_ptr<DMAlertPresenter> presenter, Workspace* workspace, QWidget* parent);

    // The scan's names go to `mask`, and its stop button stops the scan.
    void follow(CDMaskView* mask);
    virtual void searchFinished() = 0;
    virtual void deleteFinished() = 0;
    // Asks the desktop to show an item away from the window's thread (it may block), and tells
    // the user the file or folder is gone when `ask` answers false.
    void askDesktop(std::function<bool(Workspace&)> ask, bool folder);

    std::shared_ptr<DMAlertPresenter> presenter_;
    Workspace* workspace_;
    std::shared_ptr<CDScanDelegate> delegate_;
    bool busy_ = false;

private:
    CDMaskView* followingMask_ = nullptr;
};

}  // namespace harbormind
