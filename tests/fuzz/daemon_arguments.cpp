// The daemon's argument checks on arbitrary arguments: the first byte picks a method, the rest
// is split at 0xFF bytes into the method's arguments, each shaped to the type its role expects
// (a leading 0x01 in a piece makes it the wrong type, so type refusals are reached too; a list
// argument is split into words at 0xFE). Whatever is allowed must be text a C string carries
// whole: strict UTF-8 without NUL.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "daemon/DaemonGuard.h"
#include "daemon/DaemonMethodTable.h"
#include "daemon/SyntaxOnlyDeviceCheck.h"
#include "support/Utf8Text.h"

namespace {

class AllowingAuthorizer final : public harbormind::DaemonAuthorizer {
public:
    bool authorize(const harbormind::CallerIdentity&, harbormind::DaemonAction) override { return true; }
};

std::vector<std::string> pieces(const char* data, std::size_t size) {
    std::vector<std::string> result(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) == 0xFE) {
            result.emplace_back();
        } else {
            result.back().push_back(data[i]);
        }
    }
    return result;
}

harbormind::DaemonValue shaped(harbormind::ArgumentRole role, const std::string& piece) {
    using harbormind::ArgumentRole;
    if (!piece.empty() && piece[0] == '\x01') {
        return std::int64_t{static_cast<unsigned char>(piece.size() > 1 ? piece[1] : 0)};
    }
    switch (role) {
    case ArgumentRole::plain: return piece.empty() || piece[0] < 'm';
    case ArgumentRole::firstAidArguments:
    case ArgumentRole::firstAidToCome: return pieces(piece.data(), piece.size());
    default: return piece;
    }
}

bool carriedWhole(const harbormind::DaemonValue& value) {
    using harbormind::Utf8Text;
    if (const auto* text = std::get_if<std::string>(&value)) {
        return Utf8Text::isValidWithoutNul(*text);
    }
    if (const auto* words = std::get_if<std::vector<std::string>>(&value)) {
        for (const auto& word : *words) {
            if (!Utf8Text::isValidWithoutNul(word)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace harbormind;
    static const DaemonGuard guard(std::make_shared<AllowingAuthorizer>(), std::make_shared<SyntaxOnlyDeviceCheck>());
    const auto& methods = DaemonMethodTable::all();
    if (size == 0 || methods.empty()) {
        return 0;
    }
    const DaemonMethod& method = methods[data[0] % methods.size()];
    // A piece separator of its own: 0xFF splits arguments, so NUL bytes can sit inside them.
    std::vector<std::string> split(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF) {
            split.emplace_back();
        } else {
            split.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<DaemonValue> arguments;
    for (std::size_t i = 0; i < split.size() && i < method.roles.size() + 1; ++i) {
        arguments.push_back(shaped(i < method.roles.size() ? method.roles[i] : ArgumentRole::plain, split[i]));
    }
    CallerIdentity caller{":1.42", 1000, 4242, {1000}};
    DaemonGuardDecision decision = guard.check(method, caller, std::move(arguments));
    if (decision.allowed && decision.arguments.size() != method.roles.size()) {
        __builtin_trap();  // an allowed call always carries exactly its method's arguments
    }
    for (const auto& argument : decision.arguments) {
        if (!carriedWhole(argument)) {
            __builtin_trap();  // an allowed string would reach a backend cut short or misread
        }
    }
    return 0;
}
