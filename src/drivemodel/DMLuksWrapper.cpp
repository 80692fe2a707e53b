#include "drivemodel/DMLuksWrapper.h"

#include "xpc/DaemonCall.h"
#include "xpc/XPCServiceName.h"

namespace harbormind {
namespace {

const XPCCodeAnswer noAnswer{DMLuksWrapper::noAnswerCode, "the helper daemon gave no answer"};

std::string decodeBase64(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        return c == '+' ? 62 : c == '/' ? 63 : -1;
    };
    std::string bytes;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (char c : text) {
        int v = value(c);
        if (v < 0) {
            if (c == '=') {
                break;
            }
            return {};
        }
        buffer = (buffer << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace

std::shared_ptr<DMLuksWrapper> DMLuksWrapper::create() {
    return std::shared_ptr<DMLuksWrapper>(new DMLuksWrapper());
}

XPCDuplexObject& DMLuksWrapper::luksXPCObj() {
    std::lock_guard lock(mutex_);
    if (!luksXPCObj_) {
        std::weak_ptr<XPCInterface> exported = std::static_pointer_cast<DMBitLockerAppProtocol>(shared_from_this());
        luksXPCObj_ = std::make_unique<XPCDuplexObject>(XPCServiceName::luks, exported);
    }
    return *luksXPCObj_;
}

void DMLuksWrapper::setProgressReceiver(const std::weak_ptr<DMBitLockerAppProtocol>& receiver) {
    std::lock_guard lock(mutex_);
    receiver_ = receiver;
}

XPCCodeAnswer DMLuksWrapper::askCode(const std::string& method, Clock::Duration limit,
                                     const std::function<void(DMLuksServerProtocol&, XPCCodeReply)>& call) {
    return waitForDaemon<DMLuksServerProtocol>(luksXPCObj(), noAnswer, limit, method, call);
}

std::string DMLuksWrapper::askText(const std::string& method, const std::string& bsdname,
                                   void (DMLuksServerProtocol::*call)(const std::string&, XPCStringReply)) {
    return waitForDaemon<DMLuksServerProtocol>(
        luksXPCObj(), std::string(), DaemonCallLimit::query, method,
        [&](DMLuksServerProtocol& proxy, XPCStringReply reply) { (proxy.*call)(bsdname, std::move(reply)); });
}

bool DMLuksWrapper::isLuksDrive(const std::string& bsdname) {
    return waitForDaemon<DMLuksServerProtocol>(
        luksXPCObj(), false, DaemonCallLimit::query, "isLuksDriveWithBsdname",
        [&](DMLuksServerProtocol& proxy, XPCBoolReply reply) { proxy.isLuksDriveWithBsdname(bsdname, reply); });
}

DMLocalDriveStatus DMLuksWrapper::status(const std::string& bsdname) {
    std::int64_t answer = waitForDaemon<DMLuksServerProtocol>(
        luksXPCObj(), std::int64_t{rawValue(DMLocalDriveStatus::invalid)}, DaemonCallLimit::query,
        "luksDriveStatusWithBsdname",
        [&](DMLuksServerProtocol& proxy, XPCIntReply reply) { proxy.luksDriveStatusWithBsdname(bsdname, reply); });
    return localDriveStatusFromRawValue(answer).value_or(DMLocalDriveStatus::invalid);
}

bool DMLuksWrapper::needResume(const std::string& bsdname) {
    return waitForDaemon<DMLuksServerProtocol>(
        luksXPCObj(), false, DaemonCallLimit::query, "needResumeLuksEncryptionWithBsdname",
        [&](DMLuksServerProtocol& proxy, XPCBoolReply reply) {
            proxy.needResumeLuksEncryptionWithBsdname(bsdname, reply);
        });
}

XPCCodeAnswer DMLuksWrapper::layouts(const std::string& bsdname) {
    return askCode("luksEncryptionLayoutsWithBsdname", DaemonCallLimit::query,
                   [&](DMLuksServerProtocol& proxy, XPCCodeReply reply) {
                       proxy.luksEncryptionLayoutsWithBsdname(bsdname, std::move(reply));
                   });
}

XPCCodeAnswer DMLuksWrapper::encrypt(const std::string& bsdname, const std::string& password, bool inFront) {
    return askCode("encryptLuksDriveWithBsdname", jobLimit, [&](DMLuksServerProtocol& proxy, XPCCodeReply reply) {
        proxy.encryptLuksDriveWithBsdname(bsdname, password, inFront, std::move(reply));
    });
}

XPCCodeAnswer DMLuksWrapper::resume(const std::string& bsdname, const std::string& password) {
    return askCode("resumeLuksEncryptionWithBsdname", jobLimit, [&](DMLuksServerProtocol& proxy, XPCCodeReply reply) {
        proxy.resumeLuksEncryptionWithBsdname(bsdname, password, std::move(reply));
    });
}

std::string DMLuksWrapper::recoveryKey(const std::string& bsdname) {
    return askText("getLuksRecoveryKeyWithBsdname", bsdname, &DMLuksServerProtocol::getLuksRecoveryKeyWithBsdname);
}

std::string DMLuksWrapper::detachedHeader(const std::string& bsdname) {
    return decodeBase64(askText("getLuksHeaderWithBsdname", bsdname, &DMLuksServerProtocol::getLuksHeaderWithBsdname));
}

std::string DMLuksWrapper::unlockedDevice(const std::string& bsdname) {
    return askText("getLuksBSDNameWithBsdname", bsdname, &DMLuksServerProtocol::getLuksBSDNameWithBsdname);
}

XPCCodeAnswer DMLuksWrapper::unlock(const std::string& bsdname, const std::string& password, bool readOnly) {
    return askCode("unlockDriveWithBsdname", DaemonCallLimit::operation,
                   [&](DMLuksServerProtocol& proxy, XPCCodeReply reply) {
                       proxy.unlockDriveWithBsdname(bsdname, password, readOnly, std::move(reply));
                   });
}

XPCCodeAnswer DMLuksWrapper::lock(const std::string& bsdname) {
    return askCode("lockDriveWithBsdname", DaemonCallLimit::operation,
                   [&](DMLuksServerProtocol& proxy, XPCCodeReply reply) {
                       proxy.lockDriveWithBsdname(bsdname, std::move(reply));
                   });
}

void DMLuksWrapper::updateProgressWithStatus(std::int64_t status, std::int64_t total, std::int64_t current,
                                             std::int64_t error, XPCIntReply reply) {
    std::shared_ptr<DMBitLockerAppProtocol> receiver;
    {
        std::lock_guard lock(mutex_);
        receiver = receiver_.lock();
    }
    if (receiver) {
        receiver->updateProgressWithStatus(status, total, current, error, std::move(reply));
    } else if (reply) {
        // Nobody here to give a go-ahead, or to be shown a recovery key: stop.
        reply(1);
    }
}

void DMLuksWrapper::continuedWithReply(XPCBoolReply reply) {
    if (reply) {
        reply(true);
    }
}

}  // namespace harbormind
