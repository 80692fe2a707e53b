#pragma once

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace harbormind {

class DMDriveObjectProtocol;

// The windows and sheets the dispatcher opens for a drive. The dispatcher decides whether an
// action may go ahead; the application hands it one of these, which knows the feature windows
// above the dispatcher, so the dispatcher never names them. `window` carries the sheets.
class DMDriveWindowFactory {
public:
    using Drive = std::shared_ptr<DMDriveObjectProtocol>;
    virtual ~DMDriveWindowFactory() = default;

    // The password window; `unlocked` hears of a drive it unlocked.
    virtual void unlock(const Drive& drive, QWidget* window, std::function<void(const Drive&)> unlocked) = 0;
    virtual void encrypt(const Drive& drive, QWidget* window) = 0;
    virtual void exportHeader(const Drive& drive, QWidget* window) = 0;
    virtual void clone(const Drive& source, QWidget* window) = 0;
    virtual void resumeClone(const Drive& destination, QWidget* window) = 0;
    virtual void erase(const Drive& drive, QWidget* window) = 0;
    virtual void newPartition(const Drive& drive, QWidget* window) = 0;
    virtual void deletePartition(const Drive& drive, QWidget* window) = 0;
    virtual void junkClean(QWidget* window) = 0;
    // The drive clear window on the folder `path` (the drive's mount point).
    virtual void driveClean(const std::string& path, QWidget* window) = 0;
    // The First Aid sheet, checking `drive` (and repairing it when `repair`).
    virtual void firstAid(const Drive& drive, bool repair, QWidget* window) = 0;
    // The editor of a saved network drive.
    virtual void editNetworkDrive(const Drive& drive, QWidget* window) = 0;
};

}  // namespace harbormind
