#include "update/MacUpdateManager.h"

#include <nlohmann/json.hpp>

#include "platform/CacheFolders.h"
#include "platform/FileStore.h"
#include "platform/HttpClient.h"
#include "platform/Platform.h"
#include "platform/UpdateInstaller.h"
#include "platform/SettingsStore.h"
#include "platform/Workspace.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "update/MacUpdateTexts.h"
#include "update/UpdateFileName.h"
#include "update/UpdateSignature.h"
#include "update/VersionComparison.h"

namespace harbormind {
namespace {

constexpr Clock::Duration checkTimeLimit = seconds(30);
constexpr Clock::Duration downloadTimeLimit = seconds(6000);
constexpr Clock::Duration windowDelay = seconds(1);

bool isHttps(const std::string& url) {
    return url.size() > 8 && (url.compare(0, 8, "https://") == 0 || url.compare(0, 8, "HTTPS://") == 0);
}

std::string fillPlaceholders(std::string format, const std::vector<std::string>& values) {
    std::size_t from = 0;
    for (const std::string& value : values) {
        std::size_t at = format.find("%@", from);
        if (at == std::string::npos) {
            break;
        }
        format.replace(at, 2, value);
        from = at + value.size();
    }
    return format;
}

std::string textOf(const nlohmann::json& answer, const char* key) {
    auto found = answer.find(key);
    return found != answer.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// The boolean value of a JSON value as the service may send it: true, 1, "true", "yes", "1".
bool booleanOf(const nlohmann::json& answer, const char* key) {
    auto found = answer.find(key);
    if (found == answer.end()) {
        return false;
    }
    if (found->is_boolean()) {
        return found->get<bool>();
    }
    if (found->is_number()) {
        return found->get<double>() != 0;
    }
    if (found->is_string()) {
        const std::string text = found->get<std::string>();
        return text == "true" || text == "TRUE" || text == "yes" || text == "YES" || text == "1";
    }
    return false;
}

std::string asText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

MacUpdateManager::MacUpdateManager(MacUpdateServices services) : services_(std::move(services)) {}

MacUpdateManager& MacUpdateManager::sharedManager() {
    static MacUpdateManager* manager = new MacUpdateManager(MacUpdateServices::fromPlatform(Platform::current()));
    return *manager;
}

void MacUpdateManager::customize(MacUpdateUIConfiguration configuration, std::string check4UpdatesURL) {
    std::lock_guard lock(mutex_);
    configuration_ = std::move(configuration);
    checkURL_ = std::move(check4UpdatesURL);
}

void MacUpdateManager::setPresenter(std::shared_ptr<MacUpdatePresenter> presenter) {
    std::lock_guard lock(mutex_);
    presenter_ = std::move(presenter);
}

bool MacUpdateManager::isConfigured() const {
    return isHttps(checkURL()) && services_.http != nullptr;
}

MacUpdateUIConfiguration MacUpdateManager::configuration() const {
    std::lock_guard lock(mutex_);
    return configuration_;
}

std::string MacUpdateManager::checkURL() const {
    std::lock_guard lock(mutex_);
    return checkURL_;
}

bool MacUpdateManager::checkAppUpdate(MacUpdateAppInfoObject& record) {
    if (record.productID.empty()) {
        return false;
    }
    if (record.isNewVersionAvailable()) {
        return true;
    }
    if (!isConfigured()) {
        return false;
    }
    HttpRequest request;
    request.url = fillPlaceholders(MacUpdateTexts::queryFormat, {checkURL(), record.productID});
    request.maxBytes = maxAnswerBytes;
    request.timeLimit = checkTimeLimit;
    HttpResponse response = services_.http->get(request);
    if (response.status != HttpStatus::Ok || response.body.empty()) {
        Log::info("Update check: no answer from the update service");
        return false;
    }
    return readAnswer(response.body, record);
}

bool MacUpdateManager::readAnswer(const std::string& body, MacUpdateAppInfoObject& record) const {
    nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
    if (answer.is_discarded() || !answer.is_object()) {
        Log::info("Update check: the answer is not a JSON object");
        return false;
    }
    record.latestVersion = textOf(answer, "ver");
    record.downloadURL = textOf(answer, "durl");
    record.releaseNotes = textOf(answer, "notes");
    record.forceUpdateFlag = booleanOf(answer, "fuflag");
    return true;
}

void MacUpdateManager::checkAppUpdateAsync(const MacUpdateAppInfoObject& record, CheckBlock block) {
    Dispatch::global()->async([this, record, block = std::move(block)] {
        MacUpdateAppInfoObject checked = record;
        bool answer = checkAppUpdate(checked);
        block(answer, checked);
    });
}

bool MacUpdateManager::requestAppUpdateWindow(const MacUpdateAppInfoObject& record,
                                              MacUpdatePresenter::WindowCallback callback) {
    std::shared_ptr<MacUpdatePresenter> presenter;
    {
        std::lock_guard lock(mutex_);
        presenter = presenter_;
    }
    if (presenter) {
        presenter->showUpdateWindow(record, configuration(), std::move(callback));
    }
    return true;
}

void MacUpdateManager::skipCurrentNewVersion(const MacUpdateAppInfoObject& record) {
    if (record.latestVersion.empty() || record.productID.empty() || !services_.settings) {
        return;
    }
    services_.settings->setValue(record.productID, record.latestVersion);
}

bool MacUpdateManager::isCurrentNewVersionSkipped(const MacUpdateAppInfoObject& record) {
    if (record.latestVersion.empty() || record.productID.empty() || !services_.settings) {
        return false;
    }
    std::optional<PlatformValue> stored = services_.settings->value(record.productID);
    std::optional<std::string> skipped = stored ? stored->asText() : std::nullopt;
    return skipped && !skipped->empty() && VersionComparison::compare(*skipped, record.latestVersion) >= 0;
}

void MacUpdateManager::downloadUpdatesInBackground(const MacUpdateAppInfoObject& record, const std::string& cacheFolder,
                                                   DownloadBlock block) {
    const unsigned download = ++lastDownload_;
    Dispatch::global()->async([this, record, cacheFolder, block = std::move(block), download] {
        std::string path;
        bool finished = false;
        std::optional<std::string> folder;
        if (record.isNewVersionAvailable() && isHttps(record.downloadURL) && services_.http && services_.files &&
            services_.cacheFolders &&
            (folder = services_.cacheFolders->privateFolder(cacheFolder.empty() ? cacheFolderName : cacheFolder))) {
            HttpResponse package = services_.http->get({record.downloadURL, maxPackageBytes, downloadTimeLimit});
            if (package.status == HttpStatus::Ok) {
                path = *folder + "/" + UpdateFileName::safeBaseName(package.proposedFileName);
                HttpResponse signature = services_.http->get(
                    {UpdateFileName::signatureURL(record.downloadURL), maxSignatureBytes, checkTimeLimit});
                // A missing signature is kept as an empty file, so an older one never stays beside
                // a newer package.
                const std::string& signatureBytes = signature.status == HttpStatus::Ok ? signature.body : std::string();
                using Bytes = FileStore::Bytes;
                finished = services_.files->write(path, Bytes(package.body.begin(), package.body.end()),
                                                  FileStore::Privacy::OwnerOnly) &&
                           services_.files->write(path + ".sig", Bytes(signatureBytes.begin(), signatureBytes.end()),
                                                  FileStore::Privacy::OwnerOnly);
            }
        }
        Dispatch::mainQueue()->async([this, block, finished, path, record, download] {
            if (download == lastDownload_) {
                block(finished, path, record);
            }
        });
    });
}

MacUpdateInstallResult MacUpdateManager::installUpdates(const std::string& path) {
    const std::string suffix = ".deb";
    if (path.size() <= suffix.size() || path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return MacUpdateInstallResult::NotAPackage;
    }
    if (!services_.files || !services_.installer) {
        return MacUpdateInstallResult::Failed;
    }
    // Checked here too, so that nobody is asked for a password for a package that is not ours.
    std::optional<FileStore::Bytes> package = services_.files->read(path);
    std::optional<FileStore::Bytes> signature = services_.files->read(path + ".sig");
    if (!package || !signature ||
        !UpdateSignature::verify(asText(*package), asText(*signature), services_.publicKeyHex)) {
        Log::warning("Update " + path + " does not carry a valid signature; not installed");
        return MacUpdateInstallResult::NotVerified;
    }
    // The privileged side checks the signature again on its own copy, which it installs: the
    // file here may be replaced meanwhile by any program of the user.
    UpdateInstaller::Answer answer = services_.installer->install(path, path + ".sig");
    if (!answer.installed) {
        Log::warning("Update " + path + " was not installed: " + answer.message);
    }
    return answer.installed ? MacUpdateInstallResult::Installed : MacUpdateInstallResult::Failed;
}

void MacUpdateManager::installUpdatesInBackground(const std::string& path, InstallBlock block) {
    Dispatch::global()->async([this, path, block = std::move(block)] {
        MacUpdateInstallResult result = installUpdates(path);
        Dispatch::mainQueue()->async([block, result] { block(result); });
    });
}

void MacUpdateManager::checkForUpdates(const MacUpdateAppInfoObject& record, MacUpdateCheckOrigin origin) {
    if (!isConfigured()) {
        if (origin == MacUpdateCheckOrigin::UserInitiated) {
            alert("", MacUpdateTexts::noUpdateCheck);
        }
        return;
    }
    checkAppUpdateAsync(record, [this, origin](bool answer, const MacUpdateAppInfoObject& checked) {
        Dispatch::mainQueue()->async([this, answer, checked, origin] { handleCheckResult(answer, checked, origin); });
    });
}

void MacUpdateManager::handleCheckResult(bool answer, const MacUpdateAppInfoObject& record,
                                         MacUpdateCheckOrigin origin) {
    if (answer && record.isNewVersionAvailable() && !isCurrentNewVersionSkipped(record)) {
        if (record.forceUpdateFlag) {
            installForcedUpdate(record);
        } else {
            Dispatch::mainQueue()->asyncAfter(windowDelay, [this, record] { offerUpdate(record); });
        }
        return;
    }
    if (origin == MacUpdateCheckOrigin::UserInitiated) {
        Dispatch::mainQueue()->asyncAfter(windowDelay, [this] { alert("", MacUpdateTexts::latestVersion); });
    }
}

void MacUpdateManager::offerUpdate(const MacUpdateAppInfoObject& record) {
    requestAppUpdateWindow(record, [this](int choice, const MacUpdateAppInfoObject& chosen) {
        if (choice == 0 && isHttps(chosen.downloadURL) && services_.workspace) {
            services_.workspace->openURL(chosen.downloadURL);
        } else if (choice == 2) {
            skipCurrentNewVersion(chosen);
        }
    });
}

void MacUpdateManager::installForcedUpdate(const MacUpdateAppInfoObject& record) {
    downloadUpdatesInBackground(record, "", [this](bool finished, const std::string& path, const MacUpdateAppInfoObject&) {
        if (!finished) {
            alert(MacUpdateTexts::updateFailedTitle, MacUpdateTexts::downloadFailed);
            return;
        }
        installUpdatesInBackground(path, [this](MacUpdateInstallResult result) {
            if (result == MacUpdateInstallResult::NotVerified) {
                alert(MacUpdateTexts::updateFailedTitle, MacUpdateTexts::notVerified);
            } else if (result == MacUpdateInstallResult::Failed) {
                alert(MacUpdateTexts::updateFailedTitle, MacUpdateTexts::installFailed);
            }
        });
    });
}

void MacUpdateManager::alert(const std::string& title, const std::string& text) {
    std::shared_ptr<MacUpdatePresenter> presenter;
    {
        std::lock_guard lock(mutex_);
        presenter = presenter_;
    }
    if (presenter) {
        presenter->showAlert(title, text, MacUpdateTexts::ok);
    }
}

}  // namespace harbormind
