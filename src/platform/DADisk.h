#pragma once

#include <string>

namespace harbormind {

// A disk as a disk-arbitration session knows it: identified by its kernel (BSD) name.
class DADisk {
public:
    explicit DADisk(std::string bsdName) : bsdName_(std::move(bsdName)) {}
    const std::string& bsdName() const { return bsdName_; }
    bool operator==(const DADisk& other) const { return bsdName_ == other.bsdName_; }

private:
    std::string bsdName_;
};

}  // namespace harbormind
