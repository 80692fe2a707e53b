// Benchmark driver for the cleaning engine; bench/cleaning/run drives it.
//
//   cleaning_bench generate DIR FILES FOLDERS SEED   make a reproducible tree under DIR
//   cleaning_bench scan DIR                           scan DIR, print totals, time and memory
//   cleaning_bench delete DIR                         scan DIR, mark everything, delete it

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cleaning/FileDeleter.h"
#include "cleaning/FolderScanner.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"

using namespace harbormind;

namespace {

// Resident set size figures of this process in bytes: {current, peak}.
std::pair<long long, long long> memory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    long long current = 0;
    long long peak = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            current = std::atoll(line.c_str() + 6) * 1024;
        } else if (line.rfind("VmHWM:", 0) == 0) {
            peak = std::atoll(line.c_str() + 6) * 1024;
        }
    }
    return {current, peak};
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Folders in four levels (50 at the top, then ten per folder, the rest spread over the third
// level), files spread evenly over all folders. About one file in twenty is hidden, one in a
// hundred is a symbolic link (to a folder of the tree or to a folder outside it). File sizes are
// apparent sizes set with ftruncate, so the tree costs inodes but almost no blocks.
int generate(const std::string& dir, long files, long folders, unsigned long seed) {
    std::mt19937_64 random(seed);
    if (::mkdir(dir.c_str(), 0755) != 0) {
        std::perror(dir.c_str());
        return 1;
    }
    std::vector<std::string> made;
    made.reserve(static_cast<std::size_t>(folders));
    long top = std::min(50L, folders);
    for (long i = 0; i < top; ++i) {
        made.push_back(dir + "/d" + std::to_string(i));
    }
    for (std::size_t parent = 0; static_cast<long>(made.size()) < folders; ++parent) {
        long children = made.size() < 550 ? 10 : 9;
        for (long k = 0; k < children && static_cast<long>(made.size()) < folders; ++k) {
            made.push_back(made[parent] + "/s" + std::to_string(k));
        }
    }
    for (const auto& folder : made) {
        if (::mkdir(folder.c_str(), 0755) != 0) {
            std::perror(folder.c_str());
            return 1;
        }
    }
    std::uniform_int_distribution<std::int64_t> size(0, 16384);
    std::uniform_int_distribution<int> percent(0, 99);
    std::int64_t total = 0;
    long links = 0;
    long hidden = 0;
    for (long i = 0; i < files; ++i) {
        const std::string& folder = made[static_cast<std::size_t>(i % folders)];
        int roll = percent(random);
        std::string name = (roll < 5 ? ".h" : "f") + std::to_string(i) + ".dat";
        std::string path = folder + "/" + name;
        if (roll == 99) {
            const std::string& target = percent(random) < 50 ? made[static_cast<std::size_t>(random() % made.size())]
                                                              : std::string("/usr");
            if (::symlink(target.c_str(), path.c_str()) != 0) {
                std::perror(path.c_str());
                return 1;
            }
            ++links;
            continue;
        }
        hidden += roll < 5 ? 1 : 0;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        std::int64_t bytes = size(random);
        if (fd < 0 || ::ftruncate(fd, bytes) != 0) {
            std::perror(path.c_str());
            return 1;
        }
        ::close(fd);
        total += bytes;
    }
    std::printf("generated folders=%ld files=%ld links=%ld hidden=%ld bytes=%lld\n", folders, files - links, links,
                hidden, static_cast<long long>(total));
    return 0;
}

int scan(const std::string& dir) {
    LinuxDirectoryWalker walker;
    auto before = memory();
    auto start = std::chrono::steady_clock::now();
    auto top = FolderScanner::scanPath(walker, dir, {});
    double elapsed = secondsSince(start);
    auto after = memory();
    long long nodes = top->iFileCount + top->iFolderCount + 1;
    std::printf("scan nodes=%lld files=%lld folders=%lld bytes=%lld seconds=%.3f rss_before=%lld peak_rss=%lld\n",
                nodes, static_cast<long long>(top->iFileCount), static_cast<long long>(top->iFolderCount),
                static_cast<long long>(top->iTotalSize), elapsed, before.first, after.second);
    return 0;
}

int deleteTree(const std::string& dir) {
    LinuxDirectoryWalker walker;
    auto start = std::chrono::steady_clock::now();
    auto top = FolderScanner::scanPath(walker, dir, {});
    double scanned = secondsSince(start);
    long long nodes = top->iFileCount + top->iFolderCount + 1;
    top->selectStatus = FolderTreeNode::statusMarked;
    top->updateChildStatus();
    DMDeleteFaileRecord record;
    auto deleting = std::chrono::steady_clock::now();
    FileDeleter(walker, record).driveClearPass(top.get());
    double deleted = secondsSince(deleting);
    std::printf("delete nodes=%lld scan_seconds=%.3f delete_seconds=%.3f seconds=%.3f failed_files=%lld "
                "failed_folders=%lld\n",
                nodes, scanned, deleted, scanned + deleted, static_cast<long long>(record.iFileCount),
                static_cast<long long>(record.iFolderCount));
    return record.iFileCount + record.iFolderCount == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 5 && args[0] == "generate") {
        return generate(args[1], std::atol(args[2].c_str()), std::atol(args[3].c_str()),
                        std::strtoul(args[4].c_str(), nullptr, 10));
    }
    if (args.size() == 2 && args[0] == "scan") {
        return scan(args[1]);
    }
    if (args.size() == 2 && args[0] == "delete") {
        return deleteTree(args[1]);
    }
    std::fprintf(stderr, "usage: cleaning_bench generate DIR FILES FOLDERS SEED | scan DIR | delete DIR\n");
    return 2;
}
