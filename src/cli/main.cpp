#include <iostream>
#include <string>
#include <vector>

#include "cli/HarbormindCtl.h"
#include "platform/Platform.h"
#include "platform/linux/processes/LinuxTerminalSecret.h"
#include "support/Dispatch.h"

int main(int argc, char** argv) {
    harbormind::Dispatch::main().adoptCurrentThread();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    int status = harbormind::runHarbormindctl(
        arguments, std::cout, std::cerr, std::cin,
        [](const std::string& prompt) { return harbormind::LinuxTerminalSecret::read(prompt); }, nullptr,
        harbormind::LinuxTerminalSecret::fromTerminal());
    harbormind::Platform::shutDownAll();
    return status;
}
