#pragma once

#include <functional>

#include "support/CodeResult.h"

namespace harbormind {

// An answer of a code and a message saying what happened or why not (bus signature "xs").
using XPCCodeAnswer = CodeResult;

using XPCCodeReply = std::function<void(XPCCodeAnswer)>;

}  // namespace harbormind
