#include "system/support/PolkitTestRules.h"

#include <filesystem>
#include <regex>

#include "testsupport/WholeFile.h"

namespace harbormind::test {

std::map<std::string, std::string> PolkitTestRules::activeSessionDefaults(const std::string& actionsFolder) {
    std::map<std::string, std::string> defaults;
    const std::regex action(R"re(<action\s+id="([^"]+)"[\s\S]*?<allow_active>\s*([a-z_]+)\s*</allow_active>)re");
    for (const auto& entry : std::filesystem::directory_iterator(actionsFolder)) {
        if (entry.path().extension() != ".policy") {
            continue;
        }
        const std::string policy = readWholeFile(entry.path());
        for (std::sregex_iterator found(policy.begin(), policy.end(), action), end; found != end; ++found) {
            defaults[(*found)[1]] = (*found)[2];
        }
    }
    return defaults;
}

std::string PolkitTestRules::text(const std::map<std::string, std::string>& activeSession,
                                  const PolkitTestGroups& groups) {
    std::string table;
    for (const auto& [action, result] : activeSession) {
        table += "        \"" + action + "\": \"" + result + "\",\n";
    }
    return "// Written by a system test of Kestrane Harbormind for its own run, removed when it ends.\n"
           "polkit.addRule(function(action, subject) {\n"
           "    var activeSession = {\n" +
           table +
           "    };\n"
           "    if (!(action.id in activeSession)) {\n"
           "        return polkit.Result.NOT_HANDLED;\n"
           "    }\n"
           "    if (subject.isInGroup(\"" + groups.administrator + "\")) {\n"
           "        return polkit.Result.YES;\n"
           "    }\n"
           "    if (subject.isInGroup(\"" + groups.refused + "\")) {\n"
           "        return polkit.Result.NO;\n"
           "    }\n"
           "    if (subject.isInGroup(\"" + groups.desktop + "\")) {\n"
           "        return activeSession[action.id];\n"
           "    }\n"
           "    return polkit.Result.NOT_HANDLED;\n"
           "});\n";
}

}  // namespace harbormind::test
