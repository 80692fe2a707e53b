#include "network/DriveKeychains.h"

#include "platform/Platform.h"
#include "platform/UserDatabase.h"

namespace harbormind {
namespace {

// The files' own passwords. They keep other programs from reading the files by accident;
// the files' privacy rests on their mode.
constexpr const char* localPassword = "Lq7vR2xK";
constexpr const char* networkPassword = "Nw4tB9mZ";

std::string inHome(const char* name) {
    std::string home = DriveKeychains::homeDirectory();
    if (!home.empty() && home.back() != '/') {
        home += '/';
    }
    return home + name;
}

}  // namespace

std::string DriveKeychains::homeDirectory() {
    return Platform::current().users().processHome();
}

KeychainType DriveKeychains::local() {
    return KeychainType::nonsystem(inHome(localFileName), localPassword);
}

KeychainType DriveKeychains::network() {
    return KeychainType::nonsystem(inHome(networkFileName), networkPassword);
}

}  // namespace harbormind
