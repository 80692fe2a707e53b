#include "disktools/DMDiskImageStatus.h"

#include <nlohmann/json.hpp>

#include "support/DMByteCountFormatter.h"

namespace harbormind {
namespace {

DMDiskImageStatus::State stateOf(const std::string& text) {
    using S = DMDiskImageStatus::State;
    if (text == "running") {
        return S::running;
    }
    if (text == "finished") {
        return S::finished;
    }
    if (text == "stopped") {
        return S::stopped;
    }
    return text == "none" ? S::none : S::failed;
}

std::uint64_t count(const nlohmann::json& report, const char* key) {
    auto it = report.find(key);
    return it != report.end() && it->is_number_unsigned() ? it->get<std::uint64_t>() : 0;
}

std::string text(const nlohmann::json& report, const char* key) {
    auto it = report.find(key);
    return it != report.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

DMDiskImageStatus DMDiskImageStatus::unknown(const std::string& reason) {
    DMDiskImageStatus status;
    status.state = State::failed;
    status.reason = reason;
    return status;
}

DMDiskImageStatus DMDiskImageStatus::parse(const std::string& json) {
    auto report = nlohmann::json::parse(json, nullptr, false);
    if (!report.is_object() || !report.contains("state")) {
        return unknown("the daemon's report of the disk image could not be read");
    }
    DMDiskImageStatus status;
    status.state = stateOf(text(report, "state"));
    status.restoring = text(report, "kind") == "restore";
    status.device = text(report, "device");
    status.totalBytes = count(report, "totalBytes");
    status.doneBytes = std::min(count(report, "doneBytes"), status.totalBytes);
    status.unreadableBytes = count(report, "unreadableBytes");
    status.imageBytes = count(report, "imageBytes");
    status.reason = text(report, "reason");
    if (status.state == State::failed && status.reason.empty()) {
        status.reason = "the daemon gave no reason";
    }
    return status;
}

std::string DMDiskImageStatus::progressText() const {
    std::string line = DMByteCountFormatter::string(static_cast<std::int64_t>(doneBytes)) + " of " +
                       DMByteCountFormatter::string(static_cast<std::int64_t>(totalBytes));
    if (unreadableBytes > 0) {
        line += "; " + DMByteCountFormatter::string(static_cast<std::int64_t>(unreadableBytes)) +
                " could not be read (written as zeros)";
    }
    return line;
}

}  // namespace harbormind
