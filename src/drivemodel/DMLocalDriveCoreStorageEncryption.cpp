#include "drivemodel/DMLocalDriveCoreStorageEncryption.h"

#include "drivemodel/DMCommandLine.h"
#include "platform/CommandTable.h"
#include "platform/Platform.h"

namespace harbormind {

void DMLocalDriveCoreStorageEncryption::encrypt(const std::string& bsdName, const std::string& password) {
    DMCommandOutput output =
        DMCommandLine::run(Platform::current().commands().convertToCoreStorage(bsdName, password));
    bool failed = output.standardError || output.standardOutput.empty();
    finish(failed ? DMProgressError::UnsupportedPartitionTable : DMProgressError::noError);
}

}  // namespace harbormind
