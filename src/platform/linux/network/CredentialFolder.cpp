#include "platform/linux/network/CredentialFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include "platform/linux/files/WholeFileWriter.h"

namespace harbormind {

CredentialFolder::CredentialFolder(const std::string& parent) {
    std::string pattern = parent + "/harbormind-mount-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) != nullptr) {
        path_ = name.data();
    }
}

CredentialFolder::~CredentialFolder() {
    for (const std::string& file : files_) {
        ::unlink(file.c_str());
    }
    if (!path_.empty()) {
        ::rmdir(path_.c_str());
    }
}

std::optional<std::string> CredentialFolder::write(const std::string& name, const std::string& contents) {
    if (path_.empty()) {
        return std::nullopt;
    }
    std::string file = path_ + "/" + name;
    files_.push_back(file);
    if (!WholeFileWriter::write(file, contents, 0600, CreateFolders::No)) {
        return std::nullopt;
    }
    return file;
}

}  // namespace harbormind
