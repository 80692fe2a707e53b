#include "disktools/SmartctlReport.h"

#include <nlohmann/json.hpp>

namespace harbormind {
namespace {

using Json = nlohmann::json;

// smartctl's exit status bits: the device was not understood (an unknown USB bridge), could
// not be opened, or refused the health command; and the drive's own verdict of failing.
constexpr std::int64_t cannotReport = (1 << 0) | (1 << 1) | (1 << 2);
constexpr std::int64_t diskFailing = 1 << 3;
// ATA attributes counted on their own.
constexpr std::int64_t reallocatedId = 5;
constexpr std::int64_t pendingId = 197;
// An ATA self-test status whose high nibble is 15 is running.
constexpr std::int64_t selfTestRunning = 15;

// Nesting deeper than the limit is refused before parsing, so hostile input cannot exhaust
// the stack of the parser or of the value's destruction.
bool nestsTooDeep(const std::string& text) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            escaped = !escaped && c == '\\';
            if (c == '"' && !escaped) {
                inString = false;
            }
            if (c != '\\') {
                escaped = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > SmartctlReport::maximumDepth) {
                return true;
            }
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

const Json* child(const Json* node, const char* name) {
    if (!node || !node->is_object()) {
        return nullptr;
    }
    auto it = node->find(name);
    return it == node->end() ? nullptr : &*it;
}

template <typename... Names>
const Json* at(const Json& root, Names... names) {
    const Json* node = &root;
    ((node = child(node, names)), ...);
    return node;
}

std::optional<std::int64_t> number(const Json* node) {
    if (!node) {
        return std::nullopt;
    }
    if (node->is_number_integer()) {
        return node->get<std::int64_t>();
    }
    if (node->is_number_unsigned()) {
        auto value = node->get<std::uint64_t>();
        return value > static_cast<std::uint64_t>(INT64_MAX) ? std::nullopt
                                                              : std::optional<std::int64_t>(static_cast<std::int64_t>(value));
    }
    return std::nullopt;
}

// A count that cannot be negative; anything else is left out.
std::optional<std::int64_t> count(const Json* node) {
    auto value = number(node);
    return value && *value >= 0 ? value : std::nullopt;
}

std::string text(const Json* node) {
    return node && node->is_string() ? node->get<std::string>() : std::string();
}

std::optional<bool> flag(const Json* node) {
    return node && node->is_boolean() ? std::optional<bool>(node->get<bool>()) : std::nullopt;
}

std::string firstMessage(const Json& root) {
    const Json* messages = at(root, "smartctl", "messages");
    if (!messages || !messages->is_array()) {
        return {};
    }
    for (const Json& message : *messages) {
        std::string line = text(child(&message, "string"));
        if (!line.empty()) {
            return line;
        }
    }
    return {};
}

void readAtaAttributes(const Json& root, DMDriveHealth& health) {
    const Json* table = at(root, "ata_smart_attributes", "table");
    if (!table || !table->is_array()) {
        return;
    }
    for (const Json& row : *table) {
        auto id = number(child(&row, "id"));
        if (!id) {
            continue;
        }
        DMDriveHealthAttribute attribute;
        attribute.id = *id;
        attribute.name = text(child(&row, "name"));
        attribute.value = number(child(&row, "value"));
        attribute.worst = number(child(&row, "worst"));
        attribute.threshold = number(child(&row, "thresh"));
        const Json* raw = child(&row, "raw");
        attribute.raw = text(child(raw, "string"));
        auto rawValue = count(child(raw, "value"));
        if (attribute.raw.empty() && rawValue) {
            attribute.raw = std::to_string(*rawValue);
        }
        attribute.failingNow = text(child(&row, "when_failed")) == "now";
        if (*id == reallocatedId) {
            health.reallocatedSectors = rawValue;
        } else if (*id == pendingId) {
            health.pendingSectors = rawValue;
        }
        health.attributes.push_back(std::move(attribute));
    }
}

void readAtaSelfTests(const Json& root, DMDriveHealth& health) {
    if (const Json* selfTest = at(root, "ata_smart_data", "self_test")) {
        auto status = number(at(*selfTest, "status", "value"));
        if (status && (*status >> 4) == selfTestRunning) {
            auto remaining = count(at(*selfTest, "status", "remaining_percent"));
            health.selfTestProgress = 100 - std::min<std::int64_t>(100, remaining.value_or((*status & 0xF) * 10));
        }
        health.shortTestMinutes = count(at(*selfTest, "polling_minutes", "short"));
        health.extendedTestMinutes = count(at(*selfTest, "polling_minutes", "extended"));
    }
    if (flag(at(root, "ata_smart_data", "capabilities", "self_tests_supported")).value_or(false)) {
        health.selfTestSupported = true;
    }
    const Json* table = at(root, "ata_smart_self_test_log", "standard", "table");
    if (!table || !table->is_array()) {
        return;
    }
    for (const Json& row : *table) {
        DMDriveSelfTestEntry entry;
        entry.kind = text(at(row, "type", "string"));
        entry.result = text(at(row, "status", "string"));
        entry.passed = flag(at(row, "status", "passed")).value_or(false);
        entry.powerOnHours = count(child(&row, "lifetime_hours"));
        health.selfTests.push_back(std::move(entry));
    }
}

void readNvme(const Json& root, DMDriveHealth& health) {
    const Json* log = child(&root, "nvme_smart_health_information_log");
    if (log) {
        health.mediaErrors = count(child(log, "media_errors"));
        health.percentageUsed = count(child(log, "percentage_used"));
        health.availableSpare = count(child(log, "available_spare"));
        if (!health.powerOnHours) {
            health.powerOnHours = count(child(log, "power_on_hours"));
        }
        if (!health.temperatureCelsius) {
            health.temperatureCelsius = number(child(log, "temperature"));
        }
        if (auto warning = number(child(log, "critical_warning")); warning && *warning != 0) {
            health.assessment = DMDriveHealthAssessment::failing;
            health.reason = "the drive reports a critical warning";
        }
    }
    const Json* tests = child(&root, "nvme_self_test_log");
    if (!tests) {
        return;
    }
    health.selfTestSupported = true;
    if (auto operation = number(at(*tests, "current_self_test_operation", "value")); operation && *operation != 0) {
        health.selfTestProgress = std::min<std::int64_t>(100, count(child(tests, "current_self_test_completion_percent")).value_or(0));
    }
    const Json* table = child(tests, "table");
    if (!table || !table->is_array()) {
        return;
    }
    for (const Json& row : *table) {
        DMDriveSelfTestEntry entry;
        entry.kind = text(at(row, "self_test_code", "string"));
        entry.result = text(at(row, "self_test_result", "string"));
        entry.passed = number(at(row, "self_test_result", "value")) == std::optional<std::int64_t>(0);
        entry.powerOnHours = count(child(&row, "power_on_hours"));
        health.selfTests.push_back(std::move(entry));
    }
}

void readScsi(const Json& root, DMDriveHealth& health) {
    if (auto defects = count(child(&root, "scsi_grown_defect_list"))) {
        health.reallocatedSectors = defects;
    }
    for (int i = 0; i < 20; ++i) {
        const Json* row = child(&root, ("scsi_self_test_" + std::to_string(i)).c_str());
        if (!row) {
            break;
        }
        health.selfTestSupported = true;
        DMDriveSelfTestEntry entry;
        entry.kind = text(at(*row, "code", "string"));
        entry.result = text(at(*row, "result", "string"));
        entry.passed = number(at(*row, "result", "value")) == std::optional<std::int64_t>(0);
        entry.powerOnHours = count(at(*row, "power_on_time", "hours"));
        health.selfTests.push_back(std::move(entry));
    }
    if (text(at(root, "device", "protocol")) == "SCSI") {
        health.selfTestSupported = true;
    }
}

void assess(const Json& root, DMDriveHealth& health) {
    const std::int64_t exitStatus = number(at(root, "smartctl", "exit_status")).value_or(0);
    const auto passed = flag(at(root, "smart_status", "passed"));
    const auto available = flag(at(root, "smart_support", "available"));
    bool attributeFailing = false;
    for (const auto& attribute : health.attributes) {
        attributeFailing = attributeFailing || attribute.failingNow;
    }
    if (passed == std::optional<bool>(false) || (exitStatus & diskFailing) != 0) {
        health.assessment = DMDriveHealthAssessment::failing;
        health.reason = "the drive's own assessment is that it is failing";
    } else if (attributeFailing) {
        health.assessment = DMDriveHealthAssessment::failing;
        health.reason = "an attribute is below the drive's threshold";
    } else if (health.assessment == DMDriveHealthAssessment::failing) {
        // A critical warning of an NVMe drive, already said.
    } else if (passed == std::optional<bool>(true)) {
        health.assessment = DMDriveHealthAssessment::good;
    } else if (available == std::optional<bool>(false)) {
        health.assessment = DMDriveHealthAssessment::notAvailable;
        std::string message = firstMessage(root);
        health.reason = message.empty() ? "the drive does not support SMART" : message;
    } else if ((exitStatus & cannotReport) != 0) {
        health.assessment = DMDriveHealthAssessment::notAvailable;
        std::string message = firstMessage(root);
        health.reason = message.empty() ? "the drive did not answer the health query" : message;
    } else {
        health.assessment = DMDriveHealthAssessment::unknown;
        health.reason = "the drive gave no overall assessment";
    }
}

}  // namespace

DMDriveHealth SmartctlReport::parse(const std::string& textIn) {
    if (textIn.size() > maximumSize || nestsTooDeep(textIn)) {
        DMDriveHealth health;
        health.reason = "smartctl's report is too large to read";
        return health;
    }
    Json root = Json::parse(textIn, nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        DMDriveHealth health;
        health.reason = "smartctl's report could not be read";
        return health;
    }
    DMDriveHealth health;
    health.protocol = text(at(root, "device", "protocol"));
    health.model = text(child(&root, "model_name"));
    if (health.model.empty()) {
        health.model = text(child(&root, "scsi_model_name"));
    }
    health.serial = text(child(&root, "serial_number"));
    health.temperatureCelsius = number(at(root, "temperature", "current"));
    health.powerOnHours = count(at(root, "power_on_time", "hours"));
    readAtaAttributes(root, health);
    readAtaSelfTests(root, health);
    readNvme(root, health);
    readScsi(root, health);
    assess(root, health);
    return health;
}

}  // namespace harbormind
