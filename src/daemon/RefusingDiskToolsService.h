#pragma once

#include "xpc/DMDiskToolsServerProtocol.h"

namespace harbormind {

// The disk tools where the daemon has none (a backend of another machine).
class RefusingDiskToolsService final : public DMDiskToolsServerProtocol {
public:
    void driveHealthWithBsdname(const std::string&, XPCCodeReply reply) override {
        reply({notAvailable, "this daemon cannot read drive health"});
    }
    void startSelfTestWithBsdname(const std::string&, bool, XPCCodeReply reply) override { refuse(reply); }
    void partitionTableWithBsdname(const std::string&, XPCCodeReply reply) override { refuse(reply); }
    void eraseWithBsdname(const std::string&, const std::string&, const std::string&, const std::string&,
                          XPCCodeReply reply) override {
        refuse(reply);
    }
    void createPartitionWithBsdname(const std::string&, std::int64_t, std::int64_t, const std::string&,
                                    const std::string&, const std::string&, XPCCodeReply reply) override {
        refuse(reply);
    }
    void deletePartitionWithBsdname(const std::string&, XPCCodeReply reply) override { refuse(reply); }
    void checkImageRestoreWithBsdname(const std::string&, int, XPCCodeReply reply) override { refuse(reply); }
    void createDiskImageWithBsdname(const std::string&, int, bool, XPCCodeReply reply) override { refuse(reply); }
    void restoreDiskImageWithBsdname(const std::string&, int, XPCCodeReply reply) override { refuse(reply); }
    void diskImageStatusWithReply(XPCCodeReply reply) override { refuse(reply); }
    void stopDiskImageWithReply(XPCCodeReply reply) override { refuse(reply); }

private:
    static void refuse(const XPCCodeReply& reply) { reply({failed, "this daemon has no disk tools"}); }
};

}  // namespace harbormind
