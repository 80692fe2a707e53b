#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/FileContents.h"

namespace harbormind {

class SimFileEvents;

// Files of the simulated machine, kept in memory. Every folder exists unless declared
// missing. Each change posts a file event when an event service is attached.
class SimFileContents final : public FileContents {
public:
    explicit SimFileContents(SimFileEvents* events = nullptr) : events_(events) {}

    bool exists(const std::string& path) override;
    FileReadResult read(const std::string& path, std::size_t limit) override;
    bool createEmpty(const std::string& path) override;
    bool append(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;

    // Scenario and test set-up.
    void setFile(const std::string& path, std::string bytes);
    void removeFile(const std::string& path);
    void setFolderMissing(const std::string& folder);

private:
    bool folderExists(const std::string& path) const;
    void changed(const std::string& path, std::uint32_t flags);

    SimFileEvents* events_;
    std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::map<std::string, bool> missingFolders_;
};

}  // namespace harbormind
