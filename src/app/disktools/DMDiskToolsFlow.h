#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "app/disktools/DMEraseWindowController.h"
#include "app/disktools/DMNewPartitionWindowController.h"

namespace harbormind {

class DMAlertPresenter;
class DMDriveObjectProtocol;

// The dispatcher's erase, new-partition and delete-partition actions. Drives are read and the
// daemon asked away from the window's thread; every refusal and failure reaches the user in an
// alert with the system's reason, and nothing is written before the user's explicit yes.
class DMDiskToolsFlow : public std::enable_shared_from_this<DMDiskToolsFlow> {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;

    explicit DMDiskToolsFlow(std::shared_ptr<DMAlertPresenter> presenter);

    void erase(const Drive& drive, QWidget* window);
    void newPartition(const Drive& drive, QWidget* window);
    void deletePartition(const Drive& drive, QWidget* window);

    DMEraseWindowController* eraseWindowController() const { return eraseWnd_.data(); }
    DMNewPartitionWindowController* newPartitionWindowController() const { return partitionWnd_.data(); }
    // Work of any flow still under way; tests wait for none.
    static int pending();

private:
    void confirmErase(const Drive& drive, const DMEraseWindowController::Choice& choice);
    void runErase(const Drive& drive, const DMEraseWindowController::Choice& choice);
    void openNewPartition(const Drive& drive, const DMPartitionTable& table, QWidget* window);
    void alert(QWidget* window, const std::string& title, const std::string& reason);

    std::shared_ptr<DMAlertPresenter> presenter_;
    QPointer<DMEraseWindowController> eraseWnd_;
    QPointer<DMNewPartitionWindowController> partitionWnd_;
};

}  // namespace harbormind
