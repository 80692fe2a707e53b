#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/FileStore.h"

namespace harbormind {

// The user's files kept in memory.
class SimFileStore final : public FileStore {
public:
    std::optional<Bytes> read(const std::string& path) override;
    bool exists(const std::string& path) override;
    bool write(const std::string& path, const Bytes& contents, Privacy privacy) override;
    std::optional<std::string> moveAside(const std::string& path, const std::string& suffix) override;

    // For tests and scenarios.
    void put(const std::string& path, const std::string& contents);
    std::optional<std::string> text(const std::string& path);
    std::map<std::string, Bytes> files();
    void setWritable(bool writable);
    int writeCount(const std::string& path);

private:
    std::mutex mutex_;
    std::map<std::string, Bytes> files_;
    std::map<std::string, int> writes_;
    bool writable_ = true;
};

}  // namespace harbormind
