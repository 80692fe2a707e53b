#pragma once

#include <map>
#include <mutex>

#include "platform/FileSystemInfo.h"
#include "platform/sim/SimPathInfo.h"

namespace harbormind {

class SimMachine;

// Answers from the scenario's paths. A named path with space figures describes a file
// system and exists only while a volume is mounted there. A path the scenario does not name
// exists only when it is a current mount point: then it is readable, writable and listable,
// and its total space is the disk's media size. Any other path does not exist.
class SimFileSystemInfo final : public FileSystemInfo {
public:
    SimFileSystemInfo(const std::map<std::string, SimPathInfo>& paths, SimMachine& machine);

    FileSystemSpace space(const std::string& mountPoint) override;
    bool exists(const std::string& path) override { return info(path).exists; }
    bool isReadable(const std::string& path) override;
    bool isWritable(const std::string& path) override;
    bool canListFolder(const std::string& path) override;

    void setPath(const std::string& path, SimPathInfo info);

private:
    SimPathInfo info(const std::string& path);

    std::mutex mutex_;
    std::map<std::string, SimPathInfo> paths_;
    SimMachine& machine_;
};

}  // namespace harbormind
