#pragma once

#include "support/CodeResult.h"

namespace harbormind {

// What a drive operation answered: its code (0 success) and, on failure, the reason the
// platform gave ("in use by bash (pid 812)").
using DMOperationResult = CodeResult;

}  // namespace harbormind
