// A caller of the encrypted-volume service that goes silent: it starts an encryption of the
// device named first on its command line (the password on standard input, the header
// detached) and, at the first report of the stage named second ("initialized" or "running"),
// writes that word on standard output and holds the report unanswered until it is killed.
// Every other report is answered "go on". Tests kill it there, as a crashed application.
#include <unistd.h>

#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "drivemodel/DMLuksWrapper.h"
#include "xpc/DMProgressStatus.h"
#include "xpc/XPCTransport.h"
#include "xpc/dbus/DBusXPCTransport.h"

namespace {

using namespace harbormind;

class SilentAt final : public DMBitLockerAppProtocol {
public:
    explicit SilentAt(std::int64_t stage) : stage_(stage) {}

    void updateProgressWithStatus(std::int64_t status, std::int64_t, std::int64_t, std::int64_t,
                                  XPCIntReply reply) override {
        if (status != stage_) {
            reply(0);
            return;
        }
        std::cout << (status == static_cast<std::int64_t>(DMProgressStatus::initialized) ? "initialized" : "running")
                  << std::endl;
        for (;;) {
            ::pause();
        }
    }
    void continuedWithReply(XPCBoolReply reply) override { reply(true); }

private:
    std::int64_t stage_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: silent-luks-client DEVICE initialized|running < password\n";
        return 2;
    }
    std::string password((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    auto stage = std::string(argv[2]) == "initialized" ? DMProgressStatus::initialized : DMProgressStatus::running;
    XPCTransport::setCurrent(std::make_shared<DBusXPCTransport>());
    auto wrapper = DMLuksWrapper::create();
    // Held here: the wrapper keeps only a weak reference.
    auto receiver = std::make_shared<SilentAt>(static_cast<std::int64_t>(stage));
    wrapper->setProgressReceiver(receiver);
    XPCCodeAnswer answer = wrapper->encrypt(argv[1], password, false);
    std::cout << "answered " << answer.code << " " << answer.message << std::endl;
    return 0;
}
