#include "daemon/linux/DiskImageStatus.h"

#include <nlohmann/json.hpp>

namespace harbormind {

std::string DiskImageStatus::json() const {
    return nlohmann::json{{"state", state},
                          {"kind", kind},
                          {"device", device},
                          {"totalBytes", totalBytes},
                          {"doneBytes", doneBytes},
                          {"unreadableBytes", unreadableBytes},
                          {"imageBytes", imageBytes},
                          {"reason", reason}}
        .dump();
}

}  // namespace harbormind
