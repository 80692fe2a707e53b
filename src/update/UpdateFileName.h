#pragma once

#include <string>

namespace harbormind {

// Turns a file name proposed by a server into a plain base name that is safe to create in
// our own folder: no folders, no leading dots, only letters, digits and ".-_+~".
class UpdateFileName {
public:
    static std::string safeBaseName(const std::string& proposed);
    // The address of the detached signature that belongs to the package at `url`.
    static std::string signatureURL(const std::string& url);
};

}  // namespace harbormind
