#pragma once

#include <string>

namespace harbormind {

enum class HttpStatus { Ok, NotHttps, Failed, HttpError, TooLarge, TimedOut };

// What came back: the body only when the status is Ok (a 2xx answer read whole).
struct HttpResponse {
    HttpStatus status = HttpStatus::Failed;
    long code = 0;
    std::string body;
    // The file name the server proposed (Content-Disposition), else the last path segment of
    // the final address; never trusted as a path.
    std::string proposedFileName;
};

}  // namespace harbormind
