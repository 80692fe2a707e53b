#include "daemon/linux/LoopImageOwners.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/linux/files/WholeFileWriter.h"

namespace harbormind {
namespace {

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string bootId() {
    return firstLine("/proc/sys/kernel/random/boot_id");
}

bool isLoopName(const std::string& name) {
    if (name.size() <= 4 || name.rfind("loop", 0) != 0) {
        return false;
    }
    for (std::size_t i = 4; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

LoopImageOwners::LoopImageOwners(std::string folder, std::string sysfsRoot)
    : folder_(std::move(folder)), sysfsRoot_(std::move(sysfsRoot)) {}

std::string LoopImageOwners::pathOf(const std::string& loop) const {
    return folder_ + "/" + loop;
}

bool LoopImageOwners::prepareFolder() const {
    if (!WholeFileWriter::makeFolders(folder_, 0700)) {
        return false;
    }
    struct stat facts {};
    if (::lstat(folder_.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode) || facts.st_uid != ::geteuid()) {
        return false;
    }
    return (facts.st_mode & 077) == 0 || ::chmod(folder_.c_str(), 0700) == 0;
}

std::optional<std::uint64_t> LoopImageOwners::diskSequence(const std::string& disk) const {
    std::string line = firstLine(sysfsRoot_ + "/block/" + disk + "/diskseq");
    if (line.empty() || line.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoull(line);
}

bool LoopImageOwners::record(const std::string& loop, std::uint64_t diskSequence, std::uint32_t uid) const {
    const std::string boot = bootId();
    if (!isLoopName(loop) || boot.empty() || !prepareFolder()) {
        return false;
    }
    std::ostringstream text;
    text << boot << " " << diskSequence << " " << uid << "\n";
    return WholeFileWriter::write(pathOf(loop), text.str(), 0600, CreateFolders::No);
}

std::optional<std::uint32_t> LoopImageOwners::ownerOf(const std::string& loop) const {
    if (!isLoopName(loop)) {
        return std::nullopt;
    }
    int fd = ::open(pathOf(loop).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    char buffer[256] = {};
    ssize_t count = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (count <= 0) {
        return std::nullopt;
    }
    std::istringstream fields(std::string(buffer, static_cast<std::size_t>(count)));
    std::string boot;
    std::uint64_t sequence = 0;
    std::uint32_t uid = 0;
    if (!(fields >> boot >> sequence >> uid) || boot != bootId() || diskSequence(loop) != sequence) {
        return std::nullopt;
    }
    return uid;
}

void LoopImageOwners::forget(const std::string& loop) const {
    if (isLoopName(loop)) {
        ::unlink(pathOf(loop).c_str());
    }
}

}  // namespace harbormind
