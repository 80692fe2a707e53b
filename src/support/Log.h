#pragma once

#include <string>

namespace harbormind {

enum class LogLevel { Debug, Info, Warning, Error, Off };

// Process-wide logging to standard error. The level comes from HARBORMIND_LOG
// (debug, info, warning, error, off) and defaults to warning; tests turn it off.
class Log {
public:
    static void setLevel(LogLevel level);
    static LogLevel level();
    static bool enabled(LogLevel level);

    static void debug(const std::string& message);
    static void info(const std::string& message);
    static void warning(const std::string& message);
    static void error(const std::string& message);

private:
    static void write(LogLevel level, const std::string& message);
};

}  // namespace harbormind
