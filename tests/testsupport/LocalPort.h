#pragma once

namespace harbormind::test {

// Ports on 127.0.0.1 for servers a test starts: tests running side by side each need their own.
class LocalPort {
public:
    // The first port from `from` on that nothing is bound to on 127.0.0.1.
    static int unused(int from);
    // Whether something accepts connections on the port.
    static bool answers(int port);
};

}  // namespace harbormind::test
