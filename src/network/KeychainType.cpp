#include "network/KeychainType.h"

namespace harbormind {

KeychainType KeychainType::nonsystem(const std::string& url, std::string password) {
    constexpr std::string_view scheme = "file://";
    std::string path = url.starts_with(scheme) ? url.substr(scheme.size()) : url;
    return KeychainType(false, std::move(path), std::move(password));
}

KeychainType KeychainType::system() {
    return KeychainType(true, {}, {});
}

}  // namespace harbormind
