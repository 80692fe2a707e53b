#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/DADisk.h"
#include "platform/DADissenter.h"
#include "platform/DiskArbitrationSession.h"
#include "platform/DiskDescription.h"
#include "platform/RegistryEntryId.h"
#include "platform/sim/SimAction.h"
#include "platform/sim/SimAttachedSessions.h"
#include "platform/sim/SimRegistryEntries.h"
#include "platform/sim/SimRequest.h"
#include "platform/sim/SimScenario.h"

namespace harbormind {

// The state of a simulated machine: its disks with their descriptions, its device registry,
// the disk-arbitration sessions attached to it, and every mount, unmount and eject request.
// Every service of the simulated platform reads and changes the machine through here.
//
// Lock order: the machine's lock, then a session's lock. Callbacks never run under either:
// they are posted to the sessions' queues, and approvals are asked with no lock held.
class SimMachine : public std::enable_shared_from_this<SimMachine> {
public:
    explicit SimMachine(SimScenario scenario);

    const SimScenario& scenario() const { return scenario_; }

    // Disks.
    std::vector<std::string> diskNames();
    bool hasDisk(const std::string& bsdName);
    // A gone disk still answers with its last description, as a held disk object does.
    std::optional<DiskDescription> description(const std::string& bsdName, bool allowDeparted);
    std::optional<std::string> diskMountedAt(const std::string& path);
    std::optional<RegistryEntryId> mediaEntry(const std::string& bsdName);
    std::vector<std::string> mountPoints();

    // The device registry.
    std::optional<RegistryEntryId> entryFromPath(const std::string& path);
    std::optional<RegistryEntryId> parentEntry(RegistryEntryId entry);
    std::vector<RegistryEntryId> childEntries(RegistryEntryId entry);
    std::optional<PlatformValue> property(RegistryEntryId entry, const std::string& key);
    std::optional<std::string> registryPath(RegistryEntryId entry);
    void addRegistryEntry(const SimRegistryEntryDefinition& definition);

    // Changes. Each reports to every attached session as disk arbitration would.
    bool addDisk(const SimDiskDefinition& definition);
    bool removeDisk(const std::string& bsdName);
    bool setDescriptionValue(const std::string& bsdName, const std::string& key, const PlatformValue& value);
    bool removeDescriptionValue(const std::string& bsdName, const std::string& key);
    bool setBusy(const std::string& bsdName, bool busy);
    std::optional<DADissenter> mount(const std::string& bsdName, const std::optional<std::string>& path,
                                     std::uint32_t options, SimRequest::Origin origin);
    std::optional<DADissenter> unmount(const std::string& bsdName, std::uint32_t options, SimRequest::Origin origin);
    std::optional<DADissenter> eject(const std::string& bsdName, std::uint32_t options, SimRequest::Origin origin);
    // True when the action was carried out.
    bool apply(const SimAction& action, SimRequest::Origin origin);

    bool externalAdapter() const { return externalAdapter_.load(); }
    void setExternalAdapter(bool attached) { externalAdapter_ = attached; }

    // Sessions.
    void attach(const std::shared_ptr<SimAttachedSession>& session);
    bool refusesSessions() const { return refusesSessions_.load(); }
    void setRefusesSessions(bool refuse) { refusesSessions_ = refuse; }
    // Reports every present disk to the session's appeared callbacks that have not had it.
    void reportPresentDisks(SimAttachedSession& session);

    // The timeline of the scenario's events; starting twice does nothing.
    void start();
    bool isStarted() const { return started_.load(); }

    std::vector<SimRequest> requests();

private:
    struct Disk {
        SimDiskDefinition definition;
        PlatformValue::Dictionary description;
    };

    Disk* findDisk(const std::string& bsdName);
    // The disk and every disk below it in the registry, deepest first.
    std::vector<std::string> familyDeepestFirst(const std::string& bsdName);
    std::string topmostDisk(const std::string& bsdName);
    std::string wholeDiskOf(const std::string& bsdName);
    std::vector<std::string> mountedAmong(const std::vector<std::string>& names);
    std::string freeMountPath(const Disk& disk, const std::optional<std::string>& path);
    // Unmounts a mounted volume once the sessions agree: their dissent, or busy.
    std::optional<DADissenter> unmountVolume(const std::string& volume, const SimAttachedSessions::Approvals& asked,
                                             bool force);
    bool removeFamily(const std::vector<std::string>& family);
    void record(SimRequest request);

    const SimScenario scenario_;
    std::mutex mutex_;
    std::vector<Disk> disks_;
    std::map<std::string, PlatformValue::Dictionary> departed_;
    SimRegistryEntries registry_;
    SimAttachedSessions sessions_;
    std::vector<SimRequest> requests_;
    std::atomic<bool> externalAdapter_;
    std::atomic<bool> refusesSessions_{false};
    std::atomic<bool> started_{false};
};

}  // namespace harbormind
