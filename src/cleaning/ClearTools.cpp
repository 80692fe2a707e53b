#include "cleaning/ClearTools.h"

#include "platform/Platform.h"
#include "platform/UserDatabase.h"

namespace harbormind {

std::string ClearTools::getUserPath() {
    return getUserPath(Platform::current().users());
}

std::string ClearTools::getUserPath(UserDatabase& users) {
    return users.currentUserHome().value_or(std::string());
}

}  // namespace harbormind
