#pragma once

#include <string>
#include <vector>

#include "platform/UserData.h"

namespace harbormind {

// This user's files of the application: whole folders (settings, the data folder with the
// keychains and saved network drives) and single files (the autostart entry). A link is
// removed itself, never what it points to.
class LinuxUserData final : public UserData {
public:
    LinuxUserData(std::vector<std::string> folders, std::vector<std::string> files)
        : folders_(std::move(folders)), files_(std::move(files)) {}

    bool removeAll() override;

private:
    std::vector<std::string> folders_;
    std::vector<std::string> files_;
};

}  // namespace harbormind
