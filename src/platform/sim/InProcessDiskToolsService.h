#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/InProcessDaemon.h"
#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind {

// The disk tools of the simulated daemon. Each request is answered from the scenario's
// "diskTools" object: an answer is {"code": N, "message": TEXT} or {"json": VALUE}, whose
// VALUE becomes the message as JSON text with code 0 (a health report, a partition table).
// A request without an answer fails with -1, and a health question answers "not available".
// Arguments are checked first as the daemon checks them: a refused one gets the daemon's answer;
// a disk image is neither read from nor written onto a mounted device.
class InProcessDiskToolsService final : public DMDiskToolsServerProtocol {
public:
    static constexpr const char* key = "diskTools";

    explicit InProcessDiskToolsService(std::shared_ptr<InProcessDaemon> daemon) : daemon_(std::move(daemon)) {}

    void driveHealthWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void startSelfTestWithBsdname(const std::string& bsdname, bool extended, XPCCodeReply reply) override;
    void partitionTableWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void eraseWithBsdname(const std::string& bsdname, const std::string& fileSystem, const std::string& label,
                          const std::string& password, XPCCodeReply reply) override;
    void createPartitionWithBsdname(const std::string& bsdname, std::int64_t startBytes, std::int64_t sizeBytes,
                                    const std::string& fileSystem, const std::string& label,
                                    const std::string& password, XPCCodeReply reply) override;
    void deletePartitionWithBsdname(const std::string& bsdname, XPCCodeReply reply) override;
    void checkImageRestoreWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void createDiskImageWithBsdname(const std::string& bsdname, int imageFd, bool compress,
                                    XPCCodeReply reply) override;
    void restoreDiskImageWithBsdname(const std::string& bsdname, int imageFd, XPCCodeReply reply) override;
    void diskImageStatusWithReply(XPCCodeReply reply) override;
    void stopDiskImageWithReply(XPCCodeReply reply) override;

    // The JSON text of a platform value (objects, arrays, texts, numbers, flags).
    static std::string jsonText(const PlatformValue& value);

private:
    // `inUse`, when given, answers in place of the scenario's answer unless that is a refusal.
    void answer(const std::string& method, std::vector<std::string> arguments, const std::string& bsdname,
                XPCCodeAnswer fallback, const XPCCodeReply& reply, std::optional<XPCCodeAnswer> inUse = std::nullopt);

    std::shared_ptr<InProcessDaemon> daemon_;
};

}  // namespace harbormind
