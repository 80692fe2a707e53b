#pragma once

#include <mutex>
#include <vector>

#include "platform/Workspace.h"

namespace harbormind {

// A desktop that opens nothing but records every request. It accepts what the scenario lets
// it accept; a text that is not a URL is refused and not recorded as opened.
class SimWorkspace final : public Workspace {
public:
    SimWorkspace(bool opens, std::vector<std::string> refuses, std::string fullDiskAccessURL, std::string securityURL)
        : opens_(opens), refuses_(std::move(refuses)), fullDiskAccessURL_(std::move(fullDiskAccessURL)),
          securityURL_(std::move(securityURL)) {}

    bool openFolder(const std::string& path) override;
    bool openURL(const std::string& url) override;
    std::string fullDiskAccessSettingsURL() override { return fullDiskAccessURL_; }
    std::string securitySettingsURL() override { return securityURL_; }

    std::vector<std::string> openedFolders();
    std::vector<std::string> openedURLs();
    void setOpens(bool opens);

    static bool looksLikeURL(const std::string& text);

private:
    bool accepts(const std::string& target);

    std::mutex mutex_;
    bool opens_;
    std::vector<std::string> refuses_;
    const std::string fullDiskAccessURL_;
    const std::string securityURL_;
    std::vector<std::string> folders_;
    std::vector<std::string> urls_;
};

}  // namespace harbormind
