#include "platform/linux/network/NetworkMountComplaint.h"

#include "platform/NetworkMountStatus.h"
#include "support/TextCase.h"

namespace harbormind {

int NetworkMountComplaint::classify(const std::string& output, int exitStatus, bool namedUser) {
    std::string text = TextCase::lower(output);
    auto has = [&text](const char* needle) { return text.find(needle) != std::string::npos; };
    if (has("logon is invalid") || has("logon_failure") || has("logon failure") || has("login incorrect") ||
        has("530 ") || has("401 unauthorized") || has("authentication failed") || has("wrong password")) {
        return NetworkMountStatus::authenticationRefused;
    }
    if (has("mount error(13)")) {
        // The kernel's cifs client says "permission denied" for a refused login too.
        return namedUser ? NetworkMountStatus::authenticationRefused : NetworkMountStatus::permissionDenied;
    }
    if (has("permission denied") || has("access denied") || has("access_denied") || has("403 forbidden")) {
        return NetworkMountStatus::permissionDenied;
    }
    if (has("network name not found") || has("bad_network_name") || has("directory not found") ||
        has("no such file") || has("404 not found")) {
        return NetworkMountStatus::noSuchShare;
    }
    if (has("timeout") || has("timed out")) {
        return NetworkMountStatus::timedOut;
    }
    if (has("connection refused") || has("no route to host") || has("no such host") ||
        has("network is unreachable") || has("host is down") || has("name or service not known") ||
        has("temporary failure in name resolution") || has("server misbehaving") ||
        has("could not resolve") || has("unable to find suitable address") || has("couldn't connect") ||
        has("failed to make ftp connection") || has("connection reset")) {
        return NetworkMountStatus::hostDown;
    }
    return exitStatus > 0 ? exitStatus : NetworkMountStatus::hostDown;
}

std::string NetworkMountComplaint::lastLine(const std::string& output) {
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    auto newline = text.rfind('\n');
    std::string line = newline == std::string::npos ? text : text.substr(newline + 1);
    return withoutLogStamp(line);
}

// Some mounting programs begin each line of their log with "YYYY/MM/DD HH:MM:SS ": the time
// says nothing to the person reading why a connection failed.
std::string NetworkMountComplaint::withoutLogStamp(const std::string& line) {
    const std::string shape = "dddd/dd/dd dd:dd:dd ";
    if (line.size() <= shape.size()) {
        return line;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = line[i] >= '0' && line[i] <= '9';
        if (shape[i] == 'd' ? !digit : line[i] != shape[i]) {
            return line;
        }
    }
    return line.substr(shape.size());
}

}  // namespace harbormind
