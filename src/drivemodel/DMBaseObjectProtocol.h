#pragma once

#include <string>

namespace harbormind {

// What every drive-like object shows: its key, its name, its icon and whether it is active
// and shown. Icons are image names; the application maps them to its resources.
class DMBaseObjectProtocol {
public:
    virtual ~DMBaseObjectProtocol() = default;

    // The key of the object; for a local drive its device name such as disk2s1.
    virtual std::string identifier() const = 0;
    virtual void setIdentifier(std::string identifier) = 0;
    virtual std::string name() const = 0;
    // Has no effect on a local drive.
    virtual void setName(std::string name) = 0;
    virtual std::string icon() const = 0;
    virtual bool isActive() const = 0;
    // True when the drive is left out of the displayed tree.
    virtual bool isHidden() const = 0;
};

}  // namespace harbormind
