#include "platform/linux/desktop/LogindSleepWatcher.h"

#include <sdbus-c++/sdbus-c++.h>

#include "support/Log.h"

namespace harbormind {
namespace {

constexpr const char* logindName = "org.freedesktop.login1";
constexpr const char* logindPath = "/org/freedesktop/login1";
constexpr const char* managerInterface = "org.freedesktop.login1.Manager";

}  // namespace

LogindSleepWatcher::LogindSleepWatcher() = default;

LogindSleepWatcher::~LogindSleepWatcher() {
    stopObserving();
}

bool LogindSleepWatcher::observe(Handler handler) {
    stopObserving();
    handler_ = std::move(handler);
    try {
        connection_ = sdbus::createSystemBusConnection();
        proxy_ = sdbus::createProxy(*connection_, logindName, logindPath);
        proxy_->uponSignal("PrepareForSleep").onInterface(managerInterface).call([this](bool start) {
            prepareForSleep(start);
        });
        proxy_->finishRegistration();
    } catch (const sdbus::Error& error) {
        Log::info("Sleep and wake are not followed: no system bus (" + error.getMessage() + ")");
        proxy_.reset();
        connection_.reset();
        return false;
    }
    if (!takeLock(*proxy_)) {
        proxy_.reset();
        connection_.reset();
        return false;
    }
    connection_->enterEventLoopAsync();
    return true;
}

void LogindSleepWatcher::stopObserving() {
    if (connection_) {
        connection_->leaveEventLoop();
    }
    proxy_.reset();
    releaseLock();
    connection_.reset();
}

bool LogindSleepWatcher::takeLock(sdbus::IProxy& proxy) {
    try {
        sdbus::UnixFd fd;
        proxy.callMethod("Inhibit")
            .onInterface(managerInterface)
            .withArguments(std::string("sleep"), std::string(who), std::string(why), std::string("delay"))
            .storeResultsTo(fd);
        std::lock_guard<std::mutex> guard(mutex_);
        lock_ = std::make_unique<sdbus::UnixFd>(std::move(fd));
        return true;
    } catch (const sdbus::Error& error) {
        Log::info("Sleep and wake are not followed: logind is not available (" + error.getMessage() + ")");
        return false;
    }
}

void LogindSleepWatcher::releaseLock() {
    std::lock_guard<std::mutex> guard(mutex_);
    // Closing the descriptor is what lets logind go on.
    lock_.reset();
}

bool LogindSleepWatcher::holdsSleep() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return lock_ && lock_->isValid();
}

void LogindSleepWatcher::sleepWorkDone() {
    releaseLock();
}

void LogindSleepWatcher::prepareForSleep(bool start) {
    if (!start && !holdsSleep()) {
        // Awake again: hold the next sleep back too. Called on the bus thread, so the call
        // to logind runs on a connection of its own rather than this one's event loop.
        try {
            auto connection = sdbus::createSystemBusConnection();
            auto proxy = sdbus::createProxy(*connection, logindName, logindPath);
            takeLock(*proxy);
        } catch (const sdbus::Error& error) {
            Log::warning("The sleep delay lock could not be taken again: " + error.getMessage());
        }
    }
    if (handler_) {
        handler_(start);
    }
}

}  // namespace harbormind
