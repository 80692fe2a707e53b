// `health DEVICE [--json] [--self-test short|extended]`: a drive's health as the drive reports
// it, through the helper daemon, and its self-tests.
#include <CLI/CLI.hpp>

#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "disktools/DMDiskToolsWrapper.h"
#include "disktools/DMDriveHealthText.h"
#include "disktools/DMWholeDisk.h"
#include "drivemodel/DMLocalDriveObject.h"
#include "support/PrintableText.h"

namespace harbormind {
namespace {

// Exit statuses a script can tell apart.
constexpr int driveFailing = 2;
constexpr int healthUnknown = 3;

struct HealthOptions {
    std::string device;
    bool json = false;
    std::string selfTest;
};

const char* jsonAssessment(DMDriveHealthAssessment assessment) {
    switch (assessment) {
    case DMDriveHealthAssessment::good: return "good";
    case DMDriveHealthAssessment::failing: return "failing";
    case DMDriveHealthAssessment::unknown: return "unknown";
    case DMDriveHealthAssessment::notAvailable: return "notAvailable";
    }
    return "unknown";
}

nlohmann::json toJson(const std::string& device, const DMDriveHealth& health) {
    nlohmann::json out{{"device", device},
                       {"health", jsonAssessment(health.assessment)},
                       {"reason", health.reason},
                       {"protocol", health.protocol},
                       {"model", health.model},
                       {"serial", health.serial},
                       {"selfTestSupported", health.selfTestSupported}};
    auto optional = [&out](const char* key, const std::optional<std::int64_t>& value) {
        out[key] = value ? nlohmann::json(*value) : nlohmann::json(nullptr);
    };
    optional("temperatureCelsius", health.temperatureCelsius);
    optional("powerOnHours", health.powerOnHours);
    optional("reallocatedSectors", health.reallocatedSectors);
    optional("pendingSectors", health.pendingSectors);
    optional("mediaErrors", health.mediaErrors);
    optional("percentageUsed", health.percentageUsed);
    optional("availableSpare", health.availableSpare);
    optional("selfTestProgress", health.selfTestProgress);
    out["attributes"] = nlohmann::json::array();
    for (const auto& attribute : health.attributes) {
        out["attributes"].push_back({{"id", attribute.id},
                                     {"name", attribute.name},
                                     {"value", attribute.value ? nlohmann::json(*attribute.value) : nlohmann::json()},
                                     {"worst", attribute.worst ? nlohmann::json(*attribute.worst) : nlohmann::json()},
                                     {"threshold", attribute.threshold ? nlohmann::json(*attribute.threshold)
                                                                       : nlohmann::json()},
                                     {"raw", attribute.raw},
                                     {"failingNow", attribute.failingNow}});
    }
    out["selfTests"] = nlohmann::json::array();
    for (const auto& test : health.selfTests) {
        out["selfTests"].push_back({{"kind", test.kind},
                                    {"result", test.result},
                                    {"passed", test.passed},
                                    {"powerOnHours", test.powerOnHours ? nlohmann::json(*test.powerOnHours)
                                                                       : nlohmann::json()}});
    }
    return out;
}

void printText(std::ostream& out, const DMDriveHealth& health) {
    out << DMDriveHealthText::healthKey << ": " << DMDriveHealthText::assessment(health.assessment);
    if (!health.reason.empty() && health.assessment != DMDriveHealthAssessment::good) {
        out << " (" << PrintableText::escaped(health.reason) << ")";
    }
    out << "\n";
    if (!health.model.empty()) {
        out << "Model: " << PrintableText::escaped(health.model)
            << (health.protocol.empty() ? "" : " (" + PrintableText::escaped(health.protocol) + ")") << "\n";
    }
    for (const auto& [key, value] : DMDriveHealthText::facts(health)) {
        out << key << ": " << PrintableText::escaped(value) << "\n";
    }
    if (!health.attributes.empty()) {
        out << "Attributes (id, name, value, worst, threshold, raw):\n";
        for (const auto& a : health.attributes) {
            auto show = [](const std::optional<std::int64_t>& v) { return v ? std::to_string(*v) : std::string("-"); };
            out << "  " << a.id << " " << PrintableText::escaped(a.name) << " " << show(a.value) << " "
                << show(a.worst) << " " << show(a.threshold) << " " << PrintableText::escaped(a.raw)
                << (a.failingNow ? "  FAILING NOW" : "") << "\n";
        }
    }
}

int exitStatusOf(const DMDriveHealth& health) {
    switch (health.assessment) {
    case DMDriveHealthAssessment::good: return 0;
    case DMDriveHealthAssessment::failing: return driveFailing;
    default: return healthUnknown;
    }
}

int health(CliContext& context, const HealthOptions& options) {
    const std::string name = options.device.rfind("/dev/", 0) == 0 ? options.device.substr(5) : options.device;
    if (!context.preparePlatform()) {
        return 1;
    }
    // Health belongs to the whole disk; a volume stands for its disk.
    auto drive = context.drive(name);
    if (!drive) {
        return 1;
    }
    const std::string disk = DMWholeDisk::of(drive)->identifier();
    DMDiskToolsWrapper tools;
    if (!options.selfTest.empty()) {
        XPCCodeAnswer started = tools.startSelfTest(disk, options.selfTest == "extended");
        if (started.code != 0) {
            return context.fail("health " + disk + ": " + started.message);
        }
        context.out << PrintableText::escaped(started.message) << "\n";
        return 0;
    }
    DMDriveHealth result = tools.health(disk);
    if (options.json) {
        context.out << toJson(disk, result).dump(2) << "\n";
    } else {
        printText(context.out, result);
    }
    return exitStatusOf(result);
}

}  // namespace

void registerHealthVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<HealthOptions>();
    auto* command = app.add_subcommand(
        "health", "show a drive's health as it reports it (exit 0 good, 2 failing, 3 unknown or not available)");
    command->add_option("DEVICE", options->device, "the disk or one of its volumes, such as sda")->required();
    command->add_flag("--json", options->json, "print the health as JSON");
    command->add_option("--self-test", options->selfTest, "start the drive's short or extended self-test")
        ->check(CLI::IsMember({"short", "extended"}));
    command->callback([&context, options] { context.exitStatus = health(context, *options); });
}

}  // namespace harbormind
