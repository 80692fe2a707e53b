#include "app/drives/DMDriveSnapshotLoader.h"

#include <atomic>

#include "drivemodel/DMDriveObjectProtocol.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

std::atomic<int>& pendingLoads() {
    static std::atomic<int> count{0};
    return count;
}

}  // namespace

void DMDriveSnapshotLoader::load(Drives drives, Done done, std::set<std::string> refresh) {
    ++pendingLoads();
    Dispatch::global()->async([drives = std::move(drives), done = std::move(done), refresh = std::move(refresh)] {
        std::vector<DMDriveSnapshot> snapshots;
        snapshots.reserve(drives.size());
        for (const auto& drive : drives) {
            if (refresh.count(drive->identifier()) != 0) {
                drive->update();
            }
            snapshots.push_back(DMDriveSnapshotReader::read(drive));
        }
        Dispatch::main().async([done, snapshots = std::move(snapshots)]() mutable {
            --pendingLoads();
            done(std::move(snapshots));
        });
    });
}

int DMDriveSnapshotLoader::pending() {
    return pendingLoads().load();
}

}  // namespace harbormind
