#include "drivemodel/DriveModelFixture.h"

#include "support/Dispatch.h"

namespace harbormind::test {

using Key = DiskDescriptionKey;

void RecordingDelegate::record(const std::string& kind, const std::shared_ptr<DMDriveObjectProtocol>& drive) {
    // The time is read before the lock: the clock evaluates a waiting test's condition (which
    // reads the events) under its own lock.
    const double at = toSeconds(Clock::current().now());
    std::lock_guard lock(mutex_);
    events_.push_back({kind, drive->identifier(), at, Dispatch::main().isCurrent(), drive});
}

void DriveModelTest::SetUp() {
    VirtualClockTest::SetUp();
    platform = std::make_shared<FakePlatform>();
    Platform::setCurrent(platform);
    setDaemonAnswers({});
    delegate = std::make_shared<RecordingDelegate>();
}

void DriveModelTest::TearDown() {
    settle();
    manager.reset();
    settle();
    XPCTransport::setCurrent(nullptr);
    VirtualClockTest::TearDown();
}

void DriveModelTest::setDaemonAnswers(PlatformValue::Dictionary answers) {
    daemon = std::make_shared<InProcessDaemon>(std::move(answers));
    XPCTransport::setCurrent(std::make_shared<InProcessXPCTransport>(daemon));
}

void DriveModelTest::settle() {
    Dispatch::main().runUntil([] { return false; }, seconds(0.001));
}

std::shared_ptr<DMLocalDriveManager> DriveModelTest::startManager() {
    manager = DMLocalDriveManager::create(delegate);
    manager->start();
    settle();
    return manager;
}

std::shared_ptr<DMLocalDriveObject> DriveModelTest::objectFor(const std::string& bsdName) {
    if (!manager) {
        manager = DMLocalDriveManager::create(delegate);
    }
    auto object = DMLocalDriveObject::create(bsdName, manager, manager);
    object->update();
    return object;
}

RegistryEntryId DriveModelTest::addWholeDisk(const std::string& bsdName, const std::string& mediaName, bool internal,
                                            const std::string& protocol, std::int64_t size,
                                            const std::string& content) {
    RegistryEntryId controller =
        platform->addEntry(std::nullopt, {{"Device Characteristics",
                                           PlatformValue::Dictionary{{"Medium Type", "Solid State"}}},
                                          {"Serial Number", "SER-" + bsdName}});
    return platform->addDisk(bsdName,
                             {{Key::mediaName, mediaName},
                              {Key::mediaWhole, true},
                              {Key::mediaSize, size},
                              {Key::deviceInternal, internal},
                              {Key::deviceProtocol, protocol},
                              {Key::mediaContent, content}},
                             controller);
}

RegistryEntryId DriveModelTest::addVolume(const std::string& bsdName, RegistryEntryId parentMedia,
                                         const std::string& volumeName, const std::string& kind, std::int64_t size,
                                         std::optional<std::string> mountPoint) {
    PlatformValue::Dictionary description{{Key::mediaWhole, false},
                                          {Key::mediaSize, size},
                                          {Key::volumeName, volumeName},
                                          {Key::volumeKind, kind}};
    if (mountPoint) {
        description[Key::volumePath] = *mountPoint;
    }
    auto parentInternal = platform->describe(platform->property(parentMedia, "BSD Name")->asText().value());
    if (parentInternal) {
        if (auto internal = parentInternal->boolean(Key::deviceInternal)) {
            description[Key::deviceInternal] = *internal;
        }
        if (auto protocol = parentInternal->text(Key::deviceProtocol)) {
            description[Key::deviceProtocol] = *protocol;
        }
    }
    return platform->addDisk(bsdName, std::move(description), parentMedia);
}

void DriveModelTest::buildLaptop() {
    constexpr std::int64_t gb = 1000LL * 1000 * 1000;
    RegistryEntryId disk0 = addWholeDisk("disk0", "APPLE SSD AP0512", true, "PCI-Express", 500 * gb);
    addVolume("disk0s1", disk0, "EFI", "msdos", 314572800);
    RegistryEntryId store = platform->addDisk(
        "disk0s2",
        {{Key::mediaWhole, false},
         {Key::mediaSize, 499 * gb},
         {Key::mediaContent, "41504653-0000-11AA-AA11-00306543ECAC"},
         {Key::deviceInternal, true},
         {Key::deviceProtocol, "PCI-Express"}},
        disk0);
    RegistryEntryId container = platform->addEntry(store, {{"IOClass", "AppleAPFSContainer"}});
    RegistryEntryId disk3 = platform->addDisk("disk3",
                                              {{Key::mediaName, "AppleAPFSMedia"},
                                               {Key::mediaWhole, true},
                                               {Key::mediaSize, 499 * gb},
                                               {Key::deviceInternal, true},
                                               {Key::deviceProtocol, "PCI-Express"}},
                                              container);
    addVolume("disk3s1", disk3, "Macintosh HD", "apfs", 499 * gb, "/");
    addVolume("disk3s2", disk3, "Preboot", "apfs", 499 * gb);
    addVolume("disk3s3", disk3, "Recovery", "apfs", 499 * gb);
    addVolume("disk3s4", disk3, "VM", "apfs", 499 * gb);
    addVolume("disk3s5", disk3, "Data", "apfs", 499 * gb, "/System/Volumes/Data");
    RegistryEntryId disk4 = addWholeDisk("disk4", "SanDisk Cruzer", false, "USB", 32 * gb, "FDisk_partition_scheme");
    addVolume("disk4s1", disk4, "STICK", "exfat", 32 * gb, "/Volumes/STICK");
    for (const char* name : {"disk0", "disk0s1", "disk0s2", "disk3", "disk3s1", "disk3s2", "disk3s3", "disk3s4",
                             "disk3s5", "disk4", "disk4s1"}) {
        platform->appear(name);
    }
}

}  // namespace harbormind::test
