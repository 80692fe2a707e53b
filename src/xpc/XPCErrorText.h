#pragma once

namespace harbormind {

// What the connection objects report to their error handler.
struct XPCErrorText {
    static constexpr const char* exportFailed = "interface Export fail";
    static constexpr const char* interfaceConversionFailed = "Client: Interface conversion fail";
    static constexpr const char* connectionInterrupted = "Client: Server Connection Interrupt";
    static constexpr const char* connectionInvalid = "Client: Server Connect invalid";
};

}  // namespace harbormind
