#pragma once

namespace harbormind {

// The blocker agent program:
//   harbormind-usbagent [--platform linux|sim] [--scenario FILE] [--lists FILE] [--control-on-stdin]
// With --control-on-stdin it reads lines from standard input ("mount BSD" asks the
// simulated machine to mount, "allow" and "block" answer the open question) and reports on
// standard output ("ready", "asking BSD", "mounted BSD", "refused BSD"), for tests and demos.
class USBAgentApplication {
public:
    static int run(int argc, char** argv);
};

}  // namespace harbormind
