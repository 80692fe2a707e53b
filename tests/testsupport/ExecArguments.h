#pragma once

#include <unistd.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace harbormind::test {

// What a forked child hands to exec, made before the fork. Between fork and exec the child of
// a process with other threads must not allocate: a lock another thread held at the fork (in
// the allocator, or in the sanitizers' bookkeeping) stays held in the child for ever, and the
// child hangs before it becomes the program.
class ExecArguments {
public:
    // The environment is the test's own with `environment` added or replaced.
    explicit ExecArguments(std::vector<std::string> argv, const std::map<std::string, std::string>& environment = {})
        : words_(std::move(argv)) {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const char* equals = std::strchr(*entry, '=');
            std::string name = equals ? std::string(*entry, static_cast<std::size_t>(equals - *entry)) : std::string(*entry);
            if (environment.count(name) == 0) {
                variables_.emplace_back(*entry);
            }
        }
        for (const auto& [name, value] : environment) {
            variables_.push_back(name + "=" + value);
        }
        for (std::string& word : words_) {
            argv_.push_back(word.data());
        }
        argv_.push_back(nullptr);
        for (std::string& variable : variables_) {
            envp_.push_back(variable.data());
        }
        envp_.push_back(nullptr);
    }
    ExecArguments(const ExecArguments&) = delete;
    ExecArguments& operator=(const ExecArguments&) = delete;

    char* const* argv() const { return argv_.data(); }
    char* const* envp() const { return envp_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<std::string> variables_;
    std::vector<char*> argv_;
    std::vector<char*> envp_;
};

}  // namespace harbormind::test
