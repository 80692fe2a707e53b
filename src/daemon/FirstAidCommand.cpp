#include "daemon/FirstAidCommand.h"



namespace harbormind {
namespace {

constexpr const char* checkerName = "fsck_NTFS";
constexpr const char* checkMark = "kestrane_chkdsk";

bool plainWord(const std::string& word) {
    return !word.empty() && word.find_first_of(" \t'\"\\") == std::string::npos;
}

// "diskutil repairVolume NAME"
std::optional<FirstAidCommand> repairVolume(const std::vector<std::string>& words) {
    if (words.size() != 3 || words[0] != "diskutil" || words[1] != "repairVolume" || !plainWord(words[2])) {
        return std::nullopt;
    }
    return FirstAidCommand{FirstAidCommand::Checker::repairVolume, words[2], true, {}};
}

// CHECKER /dev/NAME [-F] kestrane_chkdsk
std::optional<FirstAidCommand> ntfsCheck(const std::vector<std::string>& words) {
    if (words.size() != 3 && words.size() != 4) {
        return std::nullopt;
    }
    const std::string& checker = words[0];
    bool namedChecker = checker == checkerName || checker.ends_with(std::string("/") + checkerName);
    bool repair = words.size() == 4;
    if (!namedChecker || checker.find('\'') != std::string::npos || (repair && words[2] != "-F") ||
        words.back() != checkMark || !words[1].starts_with("/dev/") || !plainWord(words[1])) {
        return std::nullopt;
    }
    return FirstAidCommand{FirstAidCommand::Checker::ntfs, words[1].substr(5), repair, {}};
}

// Splits a line at single spaces; a first word in single quotes may hold spaces. Nothing
// else of a shell's syntax is understood, so anything else fails to match a form.
std::optional<std::vector<std::string>> words(const std::string& line) {
    std::vector<std::string> result;
    std::string rest = line;
    if (rest.starts_with("'")) {
        auto close = rest.find('\'', 1);
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ' ') {
            return std::nullopt;
        }
        result.push_back(rest.substr(1, close - 1));
        rest = rest.substr(close + 2);
    }
    std::size_t start = 0;
    for (;;) {
        auto space = rest.find(' ', start);
        result.push_back(rest.substr(start, space == std::string::npos ? std::string::npos : space - start));
        if (space == std::string::npos) {
            break;
        }
        start = space + 1;
    }
    return result;
}

std::optional<FirstAidCommand> fromWords(const std::vector<std::string>& list) {
    if (auto command = repairVolume(list)) {
        return command;
    }
    return ntfsCheck(list);
}

}  // namespace

std::optional<FirstAidCommand> FirstAidCommand::parse(const std::vector<std::string>& arguments) {
    std::optional<FirstAidCommand> command;
    if (arguments.size() == 2 && arguments[0] == "-c") {
        if (auto list = words(arguments[1])) {
            command = fromWords(*list);
        }
    } else {
        command = fromWords(arguments);
    }
    if (command) {
        command->arguments = arguments;
    }
    return command;
}

}  // namespace harbormind
