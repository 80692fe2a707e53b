#include "xpc/XPCTransport.h"

#include <mutex>

#include "xpc/XPCErrorText.h"

namespace harbormind {
namespace {

// A connection that no daemon answers: it reports invalidation on resume and hands out no proxy.
class UnreachableConnection final : public XPCConnection {
public:
    bool setExportedObject(std::weak_ptr<XPCInterface>) override { return true; }
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()> handler) override { invalidation_ = std::move(handler); }
    void resume() override {
        if (invalidation_) {
            invalidation_();
        }
    }
    void invalidate() override {}
    // The invalidation on resume has already been reported.
    std::shared_ptr<XPCInterface> remoteObjectProxyWithErrorHandler(ErrorHandler) override { return nullptr; }

private:
    std::function<void()> invalidation_;
};

class UnreachableTransport final : public XPCTransport {
public:
    std::shared_ptr<XPCConnection> newConnection(const std::string&) override {
        return std::make_shared<UnreachableConnection>();
    }
};

std::mutex& transportMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<XPCTransport>& transportSlot() {
    static auto* slot = new std::shared_ptr<XPCTransport>();
    return *slot;
}

}  // namespace

std::shared_ptr<XPCTransport> XPCTransport::current() {
    std::lock_guard lock(transportMutex());
    if (!transportSlot()) {
        transportSlot() = std::make_shared<UnreachableTransport>();
    }
    return transportSlot();
}

void XPCTransport::setCurrent(std::shared_ptr<XPCTransport> transport) {
    std::lock_guard lock(transportMutex());
    transportSlot() = std::move(transport);
}

}  // namespace harbormind
