#include "platform/sim/SimCommandResponder.h"

#include "platform/sim/SimMachine.h"

namespace harbormind {
namespace {

// Puts captured groups in place of "$1".."$9"; "$$" is a dollar sign.
std::string substitute(const std::string& text, const std::smatch* groups) {
    if (groups == nullptr) {
        return text;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '$' && i + 1 < text.size()) {
            char next = text[i + 1];
            if (next == '$') {
                out += '$';
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9') {
                auto group = static_cast<std::size_t>(next - '0');
                if (group < groups->size()) {
                    out += (*groups)[group].str();
                }
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

SimCommandRule::Output substituted(SimCommandRule::Output output, const std::smatch* groups) {
    output.standardOutput = substitute(output.standardOutput, groups);
    output.standardError = substitute(output.standardError, groups);
    return output;
}

}  // namespace

SimCommandResponder::SimCommandResponder(std::vector<SimCommandRule> rules, SimMachine& machine)
    : rules_(std::move(rules)), machine_(machine) {}

void SimCommandResponder::addRule(SimCommandRule rule) {
    std::lock_guard lock(mutex_);
    rules_.insert(rules_.begin(), std::move(rule));
}

std::optional<SimCommandRule::Output> SimCommandResponder::respond(const std::string& line,
                                                                   std::optional<ScriptPrivilege> privilege) {
    std::optional<SimCommandRule> matched;
    std::smatch groups;
    {
        std::lock_guard lock(mutex_);
        for (const auto& rule : rules_) {
            if (rule.privilege && privilege && *rule.privilege != *privilege) {
                continue;
            }
            bool matches = rule.pattern ? std::regex_match(line, groups, *rule.pattern) : rule.text == line;
            if (matches) {
                matched = rule;
                break;
            }
        }
    }
    if (!matched) {
        return std::nullopt;
    }
    const std::smatch* captured = matched->pattern ? &groups : nullptr;
    bool carriedOut = true;
    for (SimAction effect : matched->effects) {
        effect.bsdName = substitute(effect.bsdName, captured);
        effect.disk.bsdName = substitute(effect.disk.bsdName, captured);
        if (effect.path) {
            effect.path = substitute(*effect.path, captured);
        }
        carriedOut = machine_.apply(effect, SimRequest::Origin::Command) && carriedOut;
    }
    if (!carriedOut && matched->failure) {
        return substituted(*matched->failure, captured);
    }
    return substituted(matched->output, captured);
}

}  // namespace harbormind
