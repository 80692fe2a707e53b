#pragma once

namespace harbormind {

// The common base of every daemon protocol, so a connection can hand out a proxy for any
// of them and the caller can check that it got the interface it asked for.
class XPCInterface {
public:
    virtual ~XPCInterface() = default;
};

}  // namespace harbormind
