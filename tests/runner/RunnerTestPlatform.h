#pragma once

#include <deque>
#include <mutex>

#include "platform/ProcessLauncher.h"
#include "platform/sim/SimPlatform.h"

namespace harbormind::test {

// Answers each run with the next scripted result (the last one repeats), byte for byte,
// so tests can hand back output that is not valid UTF-8.
class ScriptedLauncher final : public ProcessLauncher {
public:
    ProcessResult run(const std::string& launchPath, const std::vector<std::string>& arguments,
                      const std::optional<std::string>& /*input*/) override {
        std::lock_guard lock(mutex);
        std::string line = launchPath;
        for (const auto& argument : arguments) line += " " + argument;
        lines.push_back(line);
        if (results.empty()) return {};
        ProcessResult result = results.front();
        if (results.size() > 1) results.pop_front();
        return result;
    }
    void answer(std::string out, std::string err = {}, bool launched = true) {
        std::lock_guard lock(mutex);
        results.push_back(ProcessResult{launched, 0, std::move(out), std::move(err)});
    }

    std::mutex mutex;
    std::deque<ProcessResult> results;
    std::vector<std::string> lines;
};

// A simulated machine whose child processes are scripted.
class RunnerTestPlatform final : public Platform {
public:
    explicit RunnerTestPlatform(std::shared_ptr<SimPlatform> simulated) : sim(std::move(simulated)) {}

    std::string name() const override { return "runner-test"; }
    DiskArbitration& diskArbitration() override { return sim->diskArbitration(); }
    DeviceRegistry& registry() override { return sim->registry(); }
    PowerSource& powerSource() override { return sim->powerSource(); }
    SettingsStores& settings() override { return sim->settings(); }
    UserDatabase& users() override { return sim->users(); }
    CommandTable& commands() override { return sim->commands(); }
    ProcessLauncher& processes() override { return launcher; }
    ScriptRunner& scripts() override { return sim->scripts(); }
    Workspace& workspace() override { return sim->workspace(); }
    FileSystemInfo& fileSystem() override { return sim->fileSystem(); }

    std::shared_ptr<SimPlatform> sim;
    ScriptedLauncher launcher;
};

}  // namespace harbormind::test
