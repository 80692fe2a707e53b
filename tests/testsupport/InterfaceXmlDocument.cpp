#include "testsupport/InterfaceXmlDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace harbormind::test {
namespace {

std::string attribute(const std::string& tag, const std::string& name) {
    std::smatch match;
    if (std::regex_search(tag, match, std::regex("\\b" + name + "=\"([^\"]*)\""))) {
        return match[1];
    }
    return {};
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

InterfaceXmlDocument::Interfaces InterfaceXmlDocument::read(std::string document) {
    document = std::regex_replace(document, std::regex("<!--[\\s\\S]*?-->"), "");
    Interfaces interfaces;
    std::string interface;
    std::string method;
    const std::regex tag("<(interface|method|arg|signal|property)\\b([^>]*)>");
    for (auto it = std::sregex_iterator(document.begin(), document.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string kind = (*it)[1];
        const std::string attributes = (*it)[2];
        if (kind == "interface") {
            interface = attribute(attributes, "name");
            interfaces[interface];
        } else if (kind == "method") {
            method = attribute(attributes, "name");
            interfaces[interface][method];
        } else if (kind == "arg" && !method.empty()) {
            auto& [input, output] = interfaces[interface][method];
            (attribute(attributes, "direction") == "out" ? output : input) += attribute(attributes, "type");
        } else {
            method.clear();  // a signal's or property's arguments are no method's
        }
    }
    return interfaces;
}

InterfaceXmlDocument::Interfaces InterfaceXmlDocument::interfaceFiles() {
    const std::filesystem::path folder = std::filesystem::path(HARBORMIND_TEST_SOURCE_DIR) / "src/xpc/dbus/interfaces";
    Interfaces all;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        Interfaces one = read(readFile(entry.path()));
        EXPECT_EQ(one.size(), 1u) << entry.path();
        EXPECT_TRUE(one.count(entry.path().stem().string())) << entry.path() << " is not named after its interface";
        all.insert(one.begin(), one.end());
    }
    return all;
}

std::vector<std::string> InterfaceXmlDocument::differences(const Interfaces& described, const Interfaces& served) {
    std::vector<std::string> lines;
    for (const auto& [interface, methods] : described) {
        auto other = served.find(interface);
        for (const auto& [name, signatures] : methods) {
            if (other == served.end() || !other->second.count(name)) {
                lines.push_back(interface + " " + name + ": described, not served");
            } else if (other->second.at(name) != signatures) {
                const auto& [input, output] = other->second.at(name);
                lines.push_back(interface + " " + name + ": described " + signatures.first + "->" + signatures.second +
                                ", served " + input + "->" + output);
            }
        }
    }
    for (const auto& [interface, methods] : served) {
        for (const auto& [name, signatures] : methods) {
            if (!described.count(interface) || !described.at(interface).count(name)) {
                lines.push_back(interface + " " + name + ": served, not described");
            }
        }
    }
    return lines;
}

std::string InterfaceXmlDocument::joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

}  // namespace harbormind::test
