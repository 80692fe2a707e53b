// The verbs for the application's settings: `settings list`, `settings get KEY` and
// `settings set KEY VALUE`, each with `--json`. KEY is a key as stored (such as
// "notifyWhenDrivesAvailable"); every setting is on or off, so VALUE is true or false
// (yes/no, on/off and 1/0 are taken too).
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliVerbGroups.h"
#include "config/DMConfigurationManager.h"
#include "config/DMSetting.h"
#include "platform/Platform.h"
#include "platform/SettingsStores.h"
#include "support/PrintableText.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

struct SettingsOptions {
    bool json = false;
    std::string key;
    std::string value;
};

std::optional<bool> booleanNamed(const std::string& text) {
    const std::string lower = TextCase::lower(text);
    if (lower == "true" || lower == "yes" || lower == "on" || lower == "1") {
        return true;
    }
    if (lower == "false" || lower == "no" || lower == "off" || lower == "0") {
        return false;
    }
    return std::nullopt;
}

// The configuration of the chosen platform's settings store, without the application's
// effects: a running application reads the new value the next time it needs it.
std::unique_ptr<DMConfigurationManager> configuration() {
    Platform& platform = Platform::current();
    return std::make_unique<DMConfigurationManager>(platform.bundleIdentifier(), platform.settings().standard(),
                                                    nullptr, nullptr);
}

// Whether the store holds a usable value for the setting; a value of another type counts as none.
bool isStored(const DMSetting& setting) {
    auto stored = Platform::current().settings().standard()->value(setting.key);
    return stored && stored->asBool().has_value();
}

nlohmann::json describe(const DMSetting& setting, const DMConfigurationManager& config) {
    return {{"key", setting.key},
            {"value", (config.*setting.read)()},
            {"default", setting.defaultValue},
            {"stored", isStored(setting)}};
}

void print(std::ostream& out, const DMSetting& setting, const DMConfigurationManager& config) {
    out << setting.key << "  " << ((config.*setting.read)() ? "true" : "false");
    if (!isStored(setting)) {
        out << "  (default)";
    }
    out << "\n";
}

const DMSetting* settingNamed(CliContext& context, const std::string& verb, const std::string& key) {
    const DMSetting* setting = DMSetting::withKey(key);
    if (setting == nullptr) {
        context.fail("settings " + verb + ": unknown key " + key + " (`harbormindctl settings list` shows the keys)");
    }
    return setting;
}

int list(CliContext& context, const SettingsOptions& options) {
    if (!context.preparePlatform()) {
        return 1;
    }
    auto config = configuration();
    nlohmann::json array = nlohmann::json::array();
    for (const DMSetting& setting : DMSetting::all()) {
        if (options.json) {
            array.push_back(describe(setting, *config));
        } else {
            print(context.out, setting, *config);
        }
    }
    if (options.json) {
        context.out << array.dump(2) << "\n";
    }
    return 0;
}

int get(CliContext& context, const SettingsOptions& options) {
    const DMSetting* setting = settingNamed(context, "get", options.key);
    if (setting == nullptr) {
        return 2;
    }
    if (!context.preparePlatform()) {
        return 1;
    }
    auto config = configuration();
    if (options.json) {
        context.out << describe(*setting, *config).dump(2) << "\n";
    } else {
        context.out << (((*config).*setting->read)() ? "true" : "false") << "\n";
    }
    return 0;
}

int set(CliContext& context, const SettingsOptions& options) {
    const DMSetting* setting = settingNamed(context, "set", options.key);
    if (setting == nullptr) {
        return 2;
    }
    std::optional<bool> value = booleanNamed(options.value);
    if (!value) {
        context.fail("settings set: " + options.key + " is on or off; give true or false, not " + options.value);
        return 2;
    }
    if (!context.preparePlatform()) {
        return 1;
    }
    auto config = configuration();
    ((*config).*setting->write)(*value);
    // Read back: a store that refused the change is not reported as changed.
    if (!isStored(*setting) || ((*config).*setting->read)() != *value) {
        return context.fail("settings set: " + options.key + " could not be saved");
    }
    if (options.json) {
        context.out << describe(*setting, *config).dump(2) << "\n";
    } else {
        print(context.out, *setting, *config);
    }
    return 0;
}

}  // namespace

void registerSettingsVerbs(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SettingsOptions>();
    CLI::App* settings = app.add_subcommand("settings", "show and change the application's settings");
    settings->require_subcommand(1);

    CLI::App* listVerb = settings->add_subcommand("list", "show every setting, its value and whether it is the default");
    listVerb->add_flag("--json", options->json, "answer in JSON");
    listVerb->callback([&context, options] { context.exitStatus = list(context, *options); });

    CLI::App* getVerb = settings->add_subcommand("get", "show one setting");
    getVerb->add_option("key", options->key, "the setting's key, as `settings list` shows it")->required();
    getVerb->add_flag("--json", options->json, "answer in JSON");
    getVerb->callback([&context, options] { context.exitStatus = get(context, *options); });

    CLI::App* setVerb = settings->add_subcommand("set", "change one setting");
    setVerb->add_option("key", options->key, "the setting's key, as `settings list` shows it")->required();
    setVerb->add_option("value", options->value, "true or false")->required();
    setVerb->add_flag("--json", options->json, "answer in JSON");
    setVerb->callback([&context, options] { context.exitStatus = set(context, *options); });
}

}  // namespace harbormind
