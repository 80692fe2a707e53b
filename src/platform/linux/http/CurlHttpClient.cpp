#include "platform/linux/http/CurlHttpClient.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "BuildConfiguration.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

struct Transfer {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    Clock::TimePoint deadline{};
    bool timedOut = false;
    std::string dispositionName;
};

std::size_t receiveBody(char* data, std::size_t size, std::size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->maxBytes) {
        transfer->tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    transfer->body.append(data, bytes);
    return bytes;
}

// The file name of a "Content-Disposition: attachment; filename=..." header, quotes removed.
std::size_t receiveHeader(char* data, std::size_t size, std::size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::string line(data, size * count);
    const std::string lower = TextCase::lower(line);
    if (lower.rfind("content-disposition:", 0) == 0) {
        if (std::size_t at = lower.find("filename="); at != std::string::npos) {
            std::string name = line.substr(at + 9);
            while (!name.empty() && (name.back() == '\r' || name.back() == '\n' || name.back() == ' ')) {
                name.pop_back();
            }
            if (std::size_t end = name.find(';'); end != std::string::npos) {
                name.resize(end);
            }
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
                name = name.substr(1, name.size() - 2);
            }
            transfer->dispositionName = name;
        }
    }
    return size * count;
}

// libcurl calls this at least about once a second, even while nothing arrives, so the time
// limit is kept on the clock (a virtual clock in tests) rather than on the wall.
int checkDeadline(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(context);
    if (Clock::current().now() >= transfer->deadline) {
        transfer->timedOut = true;
        return 1;
    }
    return 0;
}

std::string lastPathSegment(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpStatus statusOf(CURLcode code, const Transfer& transfer) {
    if (transfer.timedOut || code == CURLE_OPERATION_TIMEDOUT) {
        return HttpStatus::TimedOut;
    }
    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        return HttpStatus::TooLarge;
    }
    if (code == CURLE_UNSUPPORTED_PROTOCOL) {
        return HttpStatus::NotHttps;
    }
    return HttpStatus::Failed;
}

}  // namespace

CurlHttpClient::CurlHttpClient(std::string trustedCertificates) : trustedCertificates_(std::move(trustedCertificates)) {}

bool CurlHttpClient::isHttps(const std::string& url) {
    return TextCase::lower(url.substr(0, 8)) == "https://";
}

HttpResponse CurlHttpClient::get(const HttpRequest& request) {
    HttpResponse response;
    if (!isHttps(request.url)) {
        response.status = HttpStatus::NotHttps;
        return response;
    }
    initialiseOnce();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle) {
        return response;
    }
    Transfer transfer;
    transfer.maxBytes = request.maxBytes;
    transfer.deadline = Clock::current().now() + request.timeLimit;
    static const std::string userAgent = std::string("Kestrane Harbormind/") + BuildConfiguration::version;

    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent.c_str());
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &receiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &receiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &checkDeadline);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    if (!trustedCertificates_.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, trustedCertificates_.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.code);
    if (code != CURLE_OK) {
        response.status = statusOf(code, transfer);
        return response;
    }
    if (response.code < 200 || response.code > 299) {
        response.status = HttpStatus::HttpError;
        return response;
    }
    char* finalURL = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &finalURL);
    response.proposedFileName =
        !transfer.dispositionName.empty() ? transfer.dispositionName : lastPathSegment(finalURL ? finalURL : request.url);
    response.body = std::move(transfer.body);
    response.status = HttpStatus::Ok;
    return response;
}

}  // namespace harbormind
