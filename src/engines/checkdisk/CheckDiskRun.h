#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engines/checkdisk/CheckDiskRequest.h"
#include "engines/checkdisk/CheckDiskSink.h"
#include "engines/checkdisk/CheckDiskVerdict.h"
#include "engines/checkdisk/CheckerFamily.h"
#include "engines/checkdisk/CheckerTable.h"
#include "engines/checkdisk/DeviceIdentity.h"

namespace harbormind {

class CheckDiskEngine;

// One First Aid run of CheckDiskEngine, from the first checker to the last line.
class CheckDiskRun {
public:
    CheckDiskRun(CheckDiskEngine& engine, const CheckDiskRequest& request, const CheckDiskSink& sink,
                 CheckerFamily family, std::string program, DeviceIdentity identity);

    // Runs the checkers and ends the stream.
    CheckDiskVerdict run();

private:
    struct Result {
        CheckerOutcome outcome = CheckerOutcome::failed;
        int exitStatus = 0;
        // The lines in which a repair run said it changed something.
        std::vector<std::string> repairs;
    };

    CheckDiskVerdict repair();
    // A read-only check, with NTFS's dirty flag; none when the run was interrupted.
    std::optional<CheckerOutcome> checkOnce();
    std::optional<Result> runChecker(const std::vector<std::string>& arguments, CheckDiskMode mode);
    bool ntfsIsDirty() const;
    void line(const std::string& text);
    void listRepairs(const std::vector<std::string>& repairs);
    CheckDiskVerdict end(CheckDiskVerdict verdict);
    CheckDiskVerdict interrupted();

    CheckDiskEngine& engine_;
    const CheckDiskRequest& request_;
    const CheckDiskSink& sink_;
    CheckerFamily family_;
    std::string program_;
    DeviceIdentity identity_;
};

}  // namespace harbormind
