#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "update/MacUpdateAppInfoObject.h"
#include "update/MacUpdateCheckOrigin.h"
#include "update/MacUpdateInstallResult.h"
#include "update/MacUpdatePresenter.h"
#include "update/MacUpdateServices.h"
#include "update/MacUpdateUIConfiguration.h"

namespace harbormind {

// Asks the update service whether a newer version exists, offers it, remembers skipped
// versions, and downloads and installs forced updates once their signature verifies.
class MacUpdateManager {
public:
    using CheckBlock = std::function<void(bool answer, const MacUpdateAppInfoObject& record)>;
    using DownloadBlock = std::function<void(bool finished, const std::string& path, const MacUpdateAppInfoObject& record)>;
    using InstallBlock = std::function<void(MacUpdateInstallResult result)>;

    static constexpr std::size_t maxAnswerBytes = 1024 * 1024;
    static constexpr std::size_t maxPackageBytes = 256 * 1024 * 1024;
    static constexpr std::size_t maxSignatureBytes = 4096;
    static constexpr const char* cacheFolderName = "kestrane-harbormind";

    explicit MacUpdateManager(MacUpdateServices services);
    // The process's manager, on the current platform's services.
    static MacUpdateManager& sharedManager();

    // customize:withCheck4UpdatesURL:
    void customize(MacUpdateUIConfiguration configuration, std::string check4UpdatesURL);
    void setPresenter(std::shared_ptr<MacUpdatePresenter> presenter);
    // False when no https check address is set: then nothing is ever asked.
    bool isConfigured() const;
    MacUpdateUIConfiguration configuration() const;

    bool checkAppUpdate(MacUpdateAppInfoObject& record);
    // Runs the check on the global queue and calls `block` there with the answer.
    void checkAppUpdateAsync(const MacUpdateAppInfoObject& record, CheckBlock block);
    bool requestAppUpdateWindow(const MacUpdateAppInfoObject& record, MacUpdatePresenter::WindowCallback callback);

    void skipCurrentNewVersion(const MacUpdateAppInfoObject& record);
    bool isCurrentNewVersionSkipped(const MacUpdateAppInfoObject& record);

    // Fetches the package and its detached signature ("<address>.sig") into the private folder
    // `cacheFolder` of the user's cache (the application's when empty). `block` runs on the
    // main queue, only for the download started last.
    void downloadUpdatesInBackground(const MacUpdateAppInfoObject& record, const std::string& cacheFolder,
                                     DownloadBlock block);
    // Installs a downloaded ".deb" through the package manager with an administrator prompt,
    // only when its signature verifies. Blocks; installUpdatesInBackground runs it on the
    // global queue and reports on the main queue.
    MacUpdateInstallResult installUpdates(const std::string& path);
    void installUpdatesInBackground(const std::string& path, InstallBlock block);

    // The application's check: asks, then offers the window, installs a forced update, or
    // (only when the user asked) says that nothing is new.
    void checkForUpdates(const MacUpdateAppInfoObject& record, MacUpdateCheckOrigin origin);
    void handleCheckResult(bool answer, const MacUpdateAppInfoObject& record, MacUpdateCheckOrigin origin);

private:
    bool readAnswer(const std::string& body, MacUpdateAppInfoObject& record) const;
    void installForcedUpdate(const MacUpdateAppInfoObject& record);
    void offerUpdate(const MacUpdateAppInfoObject& record);
    void alert(const std::string& title, const std::string& text);
    std::string checkURL() const;

    MacUpdateServices services_;
    mutable std::mutex mutex_;
    MacUpdateUIConfiguration configuration_;
    std::string checkURL_;
    std::shared_ptr<MacUpdatePresenter> presenter_;
    std::atomic<unsigned> lastDownload_{0};
};

}  // namespace harbormind
