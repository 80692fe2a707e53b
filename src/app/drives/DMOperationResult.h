#pragma once

#include <string>

namespace harbormind {

// What a drive operation answered: its code (0 success) and, on failure, the reason the
// platform gave ("in use by bash (pid 812)").
struct DMOperationResult {
    int code = -1;
    std::string message;

    bool succeeded() const { return code == 0; }
};

}  // namespace harbormind
