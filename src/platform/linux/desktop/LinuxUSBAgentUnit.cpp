#include "platform/linux/desktop/LinuxUSBAgentUnit.h"

namespace harbormind {

std::string LinuxUSBAgentUnit::contents(const std::string& agentProgram) {
    // systemd takes the program path as is when it holds no spaces or specifiers; the path
    // comes from the daemon's own installation, never from a caller.
    return "[Unit]\n"
           "Description=Kestrane Harbormind USB Warden agent\n"
           "PartOf=graphical-session.target\n"
           "After=graphical-session.target\n"
           "\n"
           "[Service]\n"
           "ExecStart=" + agentProgram + "\n"
           "Restart=on-failure\n"
           "RestartSec=2\n"
           "\n"
           "[Install]\n"
           "WantedBy=default.target\n";
}

}  // namespace harbormind
