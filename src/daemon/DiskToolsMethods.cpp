#include "daemon/DiskToolsMethods.h"

#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

using Args = std::vector<DaemonValue>;
using R = ArgumentRole;

const std::string& text(const Args& args, std::size_t index) {
    return std::get<std::string>(args[index]);
}

std::int64_t number(const Args& args, std::size_t index) {
    return std::get<std::int64_t>(args[index]);
}

int file(const Args& args, std::size_t index) {
    return std::get<DaemonFileDescriptor>(args[index]).get();
}

std::shared_ptr<DMDiskToolsServerProtocol> tools(DaemonBackend& backend, const DaemonCallContext& context) {
    return backend.diskTools({context.caller.uid, context.authorizedFor});
}

XPCCodeReply asCode(DaemonReply reply) {
    return [reply = std::move(reply)](XPCCodeAnswer answer) {
        reply(DaemonValue(std::move(answer)));
    };
}

DaemonMethod method(std::string name, std::string input, DaemonAction action, std::vector<ArgumentRole> roles,
                    DaemonMethod::Invoke invoke) {
    return {XPCServiceName::diskTools, std::move(name), std::move(input), "xs", action, std::move(roles),
            DaemonValue(CodeResult{DMDiskToolsServerProtocol::notPermitted, "refused"}), std::move(invoke),
            // The answer itself says why a call was refused.
            {}};
}

}  // namespace

// Erasing and partitioning write over a disk: which action that needs depends on the disk
// (removable media the caller may mount, or anything else), so the service asks for it.
std::vector<DaemonMethod> DiskToolsMethods::all() {
    return {
        method("driveHealthWithBsdname", "s", DaemonAction::health, {R::deviceName},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->driveHealthWithBsdname(text(args, 0), asCode(std::move(reply)));
               }),
        method("startSelfTestWithBsdname", "sb", DaemonAction::selfTest, {R::deviceName, R::plain},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->startSelfTestWithBsdname(text(args, 0), std::get<bool>(args[1]),
                                                                     asCode(std::move(reply)));
               }),
        method("partitionTableWithBsdname", "s", DaemonAction::query, {R::deviceName},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->partitionTableWithBsdname(text(args, 0), asCode(std::move(reply)));
               }),
        method("eraseWithBsdname", "ssss", DaemonAction::perDevice,
               {R::deviceName, R::shortText, R::shortText, R::secret},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->eraseWithBsdname(text(args, 0), text(args, 1), text(args, 2), text(args, 3),
                                                             asCode(std::move(reply)));
               }),
        method("createPartitionWithBsdname", "sxxsss", DaemonAction::perDevice,
               {R::deviceName, R::plain, R::plain, R::shortText, R::shortText, R::secret},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->createPartitionWithBsdname(text(args, 0), number(args, 1), number(args, 2),
                                                                       text(args, 3), text(args, 4), text(args, 5),
                                                                       asCode(std::move(reply)));
               }),
        method("deletePartitionWithBsdname", "s", DaemonAction::perDevice, {R::deviceName},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->deletePartitionWithBsdname(text(args, 0), asCode(std::move(reply)));
               }),
        // The image is a file the caller opened: the daemon never opens a path for them.
        method("checkImageRestoreWithBsdname", "sh", DaemonAction::query, {R::deviceName, R::openFile},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->checkImageRestoreWithBsdname(text(args, 0), file(args, 1),
                                                                         asCode(std::move(reply)));
               }),
        method("createDiskImageWithBsdname", "shb", DaemonAction::perDevice,
               {R::deviceName, R::openFile, R::plain},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->createDiskImageWithBsdname(text(args, 0), file(args, 1),
                                                                       std::get<bool>(args[2]),
                                                                       asCode(std::move(reply)));
               }),
        method("restoreDiskImageWithBsdname", "sh", DaemonAction::perDevice, {R::deviceName, R::openFile},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args& args, DaemonReply reply) {
                   tools(backend, context)->restoreDiskImageWithBsdname(text(args, 0), file(args, 1),
                                                                        asCode(std::move(reply)));
               }),
        // A caller follows and stops only their own image job.
        method("diskImageStatusWithReply", "", DaemonAction::query, {},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
                   tools(backend, context)->diskImageStatusWithReply(asCode(std::move(reply)));
               }),
        method("stopDiskImageWithReply", "", DaemonAction::query, {},
               [](DaemonBackend& backend, const DaemonCallContext& context, const Args&, DaemonReply reply) {
                   tools(backend, context)->stopDiskImageWithReply(asCode(std::move(reply)));
               }),
    };
}

}  // namespace harbormind
