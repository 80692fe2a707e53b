#include "support/Log.h"

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string_view>

namespace harbormind {
namespace {

LogLevel levelFromEnvironment() {
    const char* value = std::getenv("HARBORMIND_LOG");
    if (value == nullptr) {
        return LogLevel::Warning;
    }
    std::string_view text(value);
    if (text == "debug") return LogLevel::Debug;
    if (text == "info") return LogLevel::Info;
    if (text == "error") return LogLevel::Error;
    if (text == "off") return LogLevel::Off;
    return LogLevel::Warning;
}

std::atomic<LogLevel>& currentLevel() {
    static std::atomic<LogLevel> level{levelFromEnvironment()};
    return level;
}

const char* prefix(LogLevel level) {
    switch (level) {
        case LogLevel::Debug: return "debug";
        case LogLevel::Info: return "info";
        case LogLevel::Warning: return "warning";
        case LogLevel::Error: return "error";
        case LogLevel::Off: break;
    }
    return "";
}

}  // namespace

void Log::setLevel(LogLevel level) { currentLevel() = level; }
LogLevel Log::level() { return currentLevel(); }
bool Log::enabled(LogLevel level) { return level >= currentLevel() && level != LogLevel::Off; }

void Log::debug(const std::string& message) { write(LogLevel::Debug, message); }
void Log::info(const std::string& message) { write(LogLevel::Info, message); }
void Log::warning(const std::string& message) { write(LogLevel::Warning, message); }
void Log::error(const std::string& message) { write(LogLevel::Error, message); }

void Log::write(LogLevel level, const std::string& message) {
    if (!enabled(level)) {
        return;
    }
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::cerr << "harbormind " << prefix(level) << ": " << message << '\n';
}

}  // namespace harbormind
