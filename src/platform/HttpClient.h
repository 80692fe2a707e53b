#pragma once

#include "platform/HttpRequest.h"
#include "platform/HttpResponse.h"

namespace harbormind {

// Fetches documents from web services. Blocks the calling thread until the answer is read,
// refused or the time limit passes.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse get(const HttpRequest& request) = 0;
};

}  // namespace harbormind
