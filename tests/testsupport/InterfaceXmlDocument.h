#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace harbormind::test {

// The methods a D-Bus introspection document describes, to hold the interface files of
// src/xpc/dbus/interfaces against what the code serves.
class InterfaceXmlDocument {
public:
    // A method's input and output signatures.
    using Signatures = std::pair<std::string, std::string>;
    // Interface name -> method name -> signatures.
    using Interfaces = std::map<std::string, std::map<std::string, Signatures>>;

    static Interfaces read(std::string document);
    // Every interface file; each must describe the one interface it is named after.
    static Interfaces interfaceFiles();
    // What differs, one line each: a method described and not served, served and not
    // described, or with other signatures.
    static std::vector<std::string> differences(const Interfaces& described, const Interfaces& served);
    static std::string joined(const std::vector<std::string>& lines);
};

}  // namespace harbormind::test
