#pragma once

#include <cstddef>
#include <string>

#include "support/Clock.h"

namespace harbormind {

// One GET request. Only https addresses are fetched; redirects stay on https.
struct HttpRequest {
    std::string url;
    // A body larger than this is refused whole.
    std::size_t maxBytes = 1024 * 1024;
    // The whole exchange, connection included, must finish within this time on the clock.
    Clock::Duration timeLimit = seconds(30);
};

}  // namespace harbormind
