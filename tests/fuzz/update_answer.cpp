// The update service's answer as the update check reads it, and the version it offers compared
// with the running one.
#include <cstdint>
#include <string>

#include "platform/HttpClient.h"
#include "update/MacUpdateAppInfoObject.h"
#include "update/MacUpdateManager.h"
#include "update/MacUpdateTexts.h"

namespace {

class AnsweringClient final : public harbormind::HttpClient {
public:
    harbormind::HttpResponse get(const harbormind::HttpRequest&) override {
        harbormind::HttpResponse response;
        response.status = harbormind::HttpStatus::Ok;
        response.body = body;
        return response;
    }
    std::string body;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace harbormind;
    static AnsweringClient client;
    static MacUpdateManager* manager = [] {
        MacUpdateServices services;
        services.http = &client;
        auto* made = new MacUpdateManager(services);
        made->customize({MacUpdateTexts::skip, MacUpdateTexts::updateNow, MacUpdateTexts::later,
                         MacUpdateTexts::versionFormat, MacUpdateTexts::releaseNotes},
                        "https://updates.invalid/check");
        return made;
    }();
    client.body.assign(reinterpret_cast<const char*>(data), size);
    MacUpdateAppInfoObject record("Kestrane Harbormind", "harbormind", "3.9", MacUpdateTexts::productID);
    if (manager->checkAppUpdate(record)) {
        record.isNewVersionAvailable();
    }
    return 0;
}
