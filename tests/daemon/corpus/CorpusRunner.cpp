// Sends every call of a hostile corpus to the daemon on the bus DBUS_SYSTEM_BUS_ADDRESS names
// and checks that each was refused or answered harmlessly, and that the daemon still answers.
// Usage: daemon_corpus_runner CORPUS.json [--unauthorized] [PLACEHOLDER=VALUE ...]
#include <nlohmann/json.hpp>
#include <sdbus-c++/sdbus-c++.h>

#include <fcntl.h>

#include <fstream>
#include <iostream>
#include <map>

#include "daemon/DaemonMethodTable.h"
#include "xpc/dbus/DBusDaemonVersionProxy.h"
#include "xpc/dbus/DBusNames.h"

using namespace harbormind;
using nlohmann::json;

namespace {

constexpr std::uint64_t callTimeout = 20'000'000;

std::string substituted(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
            text.replace(at, key.size(), value);
        }
    }
    return text;
}

// Appends one argument of bus type `type` (one complete type) from `value`.
void append(sdbus::MethodCall& call, const std::string& type, const json& value,
            const std::map<std::string, std::string>& values) {
    if (type == "s") {
        call << substituted(value.get<std::string>(), values);
    } else if (type == "b") {
        call << value.get<bool>();
    } else if (type == "x") {
        call << value.get<std::int64_t>();
    } else if (type == "i") {
        call << value.get<std::int32_t>();
    } else if (type == "d") {
        call << value.get<double>();
    } else if (type == "as") {
        std::vector<std::string> words;
        for (const auto& word : value) {
            words.push_back(substituted(word.get<std::string>(), values));
        }
        call << words;
    } else if (type == "h") {
        // A file the runner opens with its own rights, read-only, as a caller would pass it.
        int fd = ::open(substituted(value.get<std::string>(), values).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            throw sdbus::Error("org.freedesktop.DBus.Error.InvalidArgs", "cannot open the file");
        }
        call << sdbus::UnixFd(fd, sdbus::adopt_fd);
    } else if (type == "ay") {
        call << value.get<std::vector<std::uint8_t>>();
    }
}

std::vector<std::string> completeTypes(const std::string& signature) {
    std::vector<std::string> types;
    for (std::size_t i = 0; i < signature.size(); ++i) {
        types.push_back(signature[i] == 'a' ? signature.substr(i++, 2) : signature.substr(i, 1));
    }
    return types;
}

// Empty when the reply is the method's default, else what it answered instead. With
// `anyRefusal`, a code answer need only be a refusal (not 0), whatever its reason.
std::string differenceFromDefault(sdbus::MethodReply& reply, const DaemonValue& expected, bool anyRefusal) {
    return std::visit(
        [&reply, anyRefusal](const auto& value) -> std::string {
            std::decay_t<decltype(value)> got{};
            if constexpr (std::is_same_v<decltype(got), CodeResult>) {
                // The message says why; the code is what must be the refusal's.
                reply >> got.code >> got.message;
                const bool refused = got.code == value.code || (anyRefusal && got.code != 0);
                return refused ? std::string()
                                              : "answered " + std::to_string(got.code) + " \"" + got.message +
                                                    "\" instead of " + std::to_string(value.code);
            } else if constexpr (std::is_same_v<decltype(got), DaemonFileDescriptor>) {
                return "answered a file";  // no method answers with a file
            } else {
                reply >> got;
                return got == value ? std::string() : "answered something else than the default";
            }
        },
        expected);
}

// Empty when the outcome is acceptable, else what went wrong.
std::string judge(const json& entry, sdbus::IConnection& connection, const std::map<std::string, std::string>& values,
                  bool unauthorized) {
    std::string service = entry["service"];
    std::string method = entry["method"];
    std::string expect = entry["expect"];
    if (expect == "unauthorized" && !unauthorized) {
        return {};  // a call that would really act for an authorized caller
    }
    std::string path = entry.value("path", DBusNames::objectPath(service));
    std::string interface = entry.value("interface", service);
    std::unique_ptr<sdbus::IProxy> proxy;
    sdbus::MethodCall call;
    try {
        proxy = sdbus::createProxy(connection, service, path);
        call = proxy->createMethodCall(interface, method);
        auto types = completeTypes(entry["signature"]);
        for (std::size_t i = 0; i < types.size(); ++i) {
            append(call, types[i], entry["args"][i], values);
        }
    } catch (const sdbus::Error&) {
        return {};  // the bus library refuses to send it (not text, bad name): harmless
    }
    sdbus::MethodReply reply;
    try {
        reply = proxy->callMethod(call, callTimeout);
    } catch (const sdbus::Error& failure) {
        if (failure.getName() == "org.freedesktop.DBus.Error.NoReply" ||
            failure.getName() == "org.freedesktop.DBus.Error.Timeout") {
            return "no answer: " + failure.getMessage();
        }
        return {};  // refused with an error
    }
    if (expect == "error") {
        return "answered a call that should fail";
    }
    if (expect == "none" || (expect == "any" && !unauthorized)) {
        return {};
    }
    const DaemonMethod* known = DaemonMethodTable::find(service, method);
    if (!known || !known->defaultAnswer) {
        return "no default to compare with";
    }
    try {
        // A caller without the right may be refused for any reason; "refused" entries are calls
        // that must fail for their own reason (a mounted device), whoever asks.
        return differenceFromDefault(reply, *known->defaultAnswer, unauthorized || expect == "refused");
    } catch (const sdbus::Error& failure) {
        return "unexpected reply: " + failure.getMessage();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: daemon_corpus_runner CORPUS.json [--unauthorized] [KEY=VALUE ...]\n";
        return 2;
    }
    bool unauthorized = false;
    std::map<std::string, std::string> values{{"@MIB@", std::string(1 << 20, 'A')}, {"@INVALID_UTF8@", "sd\xff\xfe"}};
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--unauthorized") {
            unauthorized = true;
        } else if (auto equals = arg.find('='); equals != std::string::npos) {
            values[arg.substr(0, equals)] = arg.substr(equals + 1);
        }
    }
    json corpus = json::parse(std::ifstream(argv[1]));
    auto connection = sdbus::createSystemBusConnection();
    int failures = 0;
    for (std::size_t index = 0; index < corpus.size(); ++index) {
        std::string problem = judge(corpus[index], *connection, values, unauthorized);
        if (!problem.empty()) {
            ++failures;
            std::cout << "call " << index << " (" << corpus[index]["method"].get<std::string>() << "): " << problem << "\n";
        }
    }
    try {
        auto daemon = sdbus::createProxy(*connection, "com.Kestrane.drivemanagerd.NtfsXPC", DBusNames::daemonObjectPath);
        DBusDaemonVersionProxy(*daemon).daemonVersion();
    } catch (const sdbus::Error& failure) {
        std::cout << "the daemon no longer answers: " << failure.getMessage() << "\n";
        ++failures;
    }
    std::cout << corpus.size() << " calls, " << failures << " failures\n";
    return failures == 0 ? 0 : 1;
}
