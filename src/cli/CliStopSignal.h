#pragma once

namespace harbormind {

// While an instance lives, SIGINT and SIGTERM only mark a stop request (in whichever thread
// they land), so a long verb can stop its work cleanly instead of dying; the previous
// handling returns afterwards.
class CliStopSignal {
public:
    CliStopSignal();
    ~CliStopSignal();
    CliStopSignal(const CliStopSignal&) = delete;
    CliStopSignal& operator=(const CliStopSignal&) = delete;

    static bool requested();
};

}  // namespace harbormind
