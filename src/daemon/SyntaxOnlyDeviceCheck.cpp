#include "daemon/SyntaxOnlyDeviceCheck.h"

#include "daemon/DeviceNameSyntax.h"

namespace harbormind {

std::optional<std::string> SyntaxOnlyDeviceCheck::check(const std::string& argument, DeviceArgumentForm form,
                                                        DeviceUse) {
    if (!DeviceNameSyntax::problem(argument, form).empty()) {
        return std::nullopt;
    }
    return argument;
}

}  // namespace harbormind
