#pragma once

#include <string>

#include "platform/HttpClient.h"

namespace harbormind {

// HTTP through libcurl: https only (redirects included), the peer's certificate checked, the
// body capped while it arrives, and the time limit measured on the clock.
class CurlHttpClient final : public HttpClient {
public:
    // `trustedCertificates`, when given, names the only certificate file trusted; otherwise
    // the system's certificate store is used.
    explicit CurlHttpClient(std::string trustedCertificates = {});

    HttpResponse get(const HttpRequest& request) override;

    static bool isHttps(const std::string& url);

private:
    std::string trustedCertificates_;
};

}  // namespace harbormind
