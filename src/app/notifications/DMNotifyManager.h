#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/notifications/DMDriveEventKind.h"

namespace harbormind {

class DMConfigurationManager;
class DMDriveObjectProtocol;
class DMUserNotifier;

// Decides whether a drive event is worth a notification (each kind has its setting) and
// with which title and text, by the kind and by whether the drive is local or a network drive.
class DMNotifyManager {
public:
    // The one manager of the process, with the shared notifier and configuration.
    static DMNotifyManager& shared();
    DMNotifyManager(DMUserNotifier& notifier, DMConfigurationManager& configMgr);

    void notify(const std::shared_ptr<DMDriveObjectProtocol>& drive, DMDriveEventKind kind);

    // The title and the text format ("%@" for the name) of an event.
    static std::pair<const char*, const char*> texts(DMDriveEventKind kind, bool localDrive);
    bool isEnabled(DMDriveEventKind kind) const;

private:
    DMUserNotifier& notifier_;
    DMConfigurationManager& configMgr_;
};

}  // namespace harbormind
