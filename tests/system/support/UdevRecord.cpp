#include "system/support/UdevRecord.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testsupport/ProgramRun.h"

namespace harbormind::test {

std::unique_ptr<UdevRecord> UdevRecord::write(const std::string& devicePath) {
    struct stat facts {};
    if (::access("/run/udev/control", F_OK) == 0 || ::stat(devicePath.c_str(), &facts) != 0 ||
        !S_ISBLK(facts.st_mode)) {
        return nullptr;
    }
    std::unique_ptr<UdevRecord> record(new UdevRecord());
    record->devicePath_ = devicePath;
    record->recordPath_ = std::string(dataFolder) + "/b" + std::to_string(major(facts.st_rdev)) + ":" +
                          std::to_string(minor(facts.st_rdev));
    record->refresh();
    return record;
}

void UdevRecord::refresh() {
    Outcome probed = runProgram({"blkid", "-p", "-o", "udev", devicePath_}, {}, "/dev/null");
    std::istringstream lines(probed.out);
    std::string line;
    std::string text;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            text += "E:" + line + "\n";
        }
    }
    const std::string written = recordPath_ + ".new";
    // Another test's record going may take the (then empty) folder with it meanwhile.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::error_code failed;
        std::filesystem::create_directories(dataFolder, failed);
        std::ofstream(written) << text;
        ::chmod(written.c_str(), 0644);
        std::filesystem::rename(written, recordPath_, failed);
        if (!failed) {
            return;
        }
    }
}

UdevRecord::~UdevRecord() {
    std::error_code ignored;
    std::filesystem::remove(recordPath_, ignored);
    // The folders go when no record of anyone's is left in them (no udev runs here).
    std::filesystem::remove(dataFolder, ignored);
    std::filesystem::remove("/run/udev", ignored);
}

}  // namespace harbormind::test
