#include "platform/linux/network/RcloneShareMount.h"

#include <optional>
#include <sstream>
#include <vector>

#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"
#include "platform/ProcessLauncher.h"
#include "platform/linux/network/CredentialFolder.h"
#include "platform/linux/network/NetworkMountComplaint.h"
#include "platform/linux/network/NetworkProgram.h"
#include "platform/linux/network/NetworkSharePath.h"
#include "support/TextCase.h"

namespace harbormind {
namespace {

// rclone's SMB name encoding without the rules that rewrite "." and a trailing period.
constexpr const char* smbNameEncoding =
    "Slash,LtGt,DoubleQuote,Colon,Question,Asterisk,Pipe,BackSlash,Ctl,RightSpace,InvalidUtf8";

NetworkMountResult failed(const ProcessResult& run, bool namedUser) {
    NetworkMountResult result;
    result.status =
        NetworkMountComplaint::classify(run.standardError + run.standardOutput, run.exitStatus, namedUser);
    result.message = NetworkMountComplaint::lastLine(run.standardError);
    return result;
}

}  // namespace

bool RcloneShareMount::configure(const std::string& rclone, const NetworkMountRequest& request,
                                 std::string& config, NetworkMountResult& result) {
    NetworkURL url = *NetworkURL::parse(request.url);
    std::string scheme = TextCase::lower(url.scheme);
    // The password reaches rclone only through the configuration file, in its obscured form.
    std::string password = request.guest ? "" : request.password;
    // rclone's FTP client always sends a password; anonymous servers expect an address-like one.
    if (scheme == "ftp" && password.empty()) {
        password = "anonymous@";
    }
    std::string obscured;
    if (!password.empty()) {
        ProcessResult obscure = processes_.run(rclone, {"obscure", "-"}, password);
        if (!obscure.launched || obscure.exitStatus != 0) {
            result.status = NetworkMountStatus::hostDown;
            result.message = "rclone could not prepare the password";
            return false;
        }
        obscured = NetworkMountComplaint::lastLine(obscure.standardOutput);
    }
    std::ostringstream text;
    text << "[share]\n";
    if (scheme == "smb" || scheme == "cifs") {
        text << "type = smb\nhost = " << url.hostName() << "\n";
        text << "user = " << (request.guest ? "guest" : request.user) << "\n";
        // rclone asks for the share's top folder as "." when it writes a file there; its
        // default name encoding turns that "." into a full-width "．" folder on the server.
        text << "encoding = " << smbNameEncoding << "\n";
    } else if (scheme == "ftp") {
        text << "type = ftp\nhost = " << url.hostName() << "\n";
        text << "user = " << (request.guest || request.user.empty() ? "anonymous" : request.user) << "\n";
    } else {
        std::string web = scheme == "http" ? "http" : "https";
        text << "type = webdav\nvendor = other\nurl = " << web << "://" << url.host << url.path << "\n";
        if (!request.guest && !request.user.empty()) {
            text << "user = " << request.user << "\n";
        }
    }
    if (auto port = url.port()) {
        text << "port = " << *port << "\n";
    }
    if (!obscured.empty()) {
        text << "pass = " << obscured << "\n";
    }
    config = text.str();
    return true;
}

NetworkMountResult RcloneShareMount::mount(const NetworkMountRequest& request, const std::string& mountPoint,
                                           const std::string& devname, const std::string& cacheFolder) {
    NetworkMountResult result;
    std::optional<std::string> rclone = NetworkProgram::find("rclone");
    if (!rclone) {
        result.status = NetworkMountStatus::notSupported;
        result.message = "Connecting this share needs rclone, which is not installed.";
        return result;
    }
    std::string config;
    if (!configure(*rclone, request, config, result)) {
        return result;
    }
    CredentialFolder folder(privateFolderParent_);
    std::optional<std::string> configFile = folder.write("rclone.conf", config);
    if (!configFile) {
        result.status = NetworkMountStatus::permissionDenied;
        result.message = "Cannot write the private connection settings";
        return result;
    }
    NetworkURL url = *NetworkURL::parse(request.url);
    std::string scheme = TextCase::lower(url.scheme);
    std::string remotePath = NetworkSharePath::decode(url.path);
    while (remotePath.starts_with("/")) {
        remotePath.erase(0, 1);
    }
    // A WebDAV remote's address holds the path already.
    if (scheme != "smb" && scheme != "cifs" && scheme != "ftp") {
        remotePath.clear();
    }
    const std::string remote = "share:" + remotePath;
    const std::vector<std::string> common = {
        "--config",  *configFile, "--contimeout",        "10s", "--timeout", "20s",
        "--retries", "1",         "--low-level-retries", "1"};
    // rclone connects lazily; listing the share first turns a refused login into a status.
    std::vector<std::string> check = {"lsf", remote, "--max-depth", "1"};
    check.insert(check.end(), common.begin(), common.end());
    ProcessResult probe = processes_.run(*rclone, check);
    if (!probe.launched || probe.exitStatus != 0) {
        return failed(probe, !request.guest);
    }
    // Written files wait in a cache folder of this share's own until they reach the server;
    // a disconnect looks there for files still on their way.
    std::vector<std::string> mount = {
        "mount",       remote,     mountPoint,         "--daemon", "--daemon-wait",    "30s",
        "--devname",   devname,    "--vfs-cache-mode", "writes",   "--vfs-write-back", "1s",
        "--cache-dir", cacheFolder};
    mount.insert(mount.end(), common.begin(), common.end());
    ProcessResult mounted = processes_.run(*rclone, mount);
    if (!mounted.launched || mounted.exitStatus != 0) {
        return failed(mounted, !request.guest);
    }
    result.status = NetworkMountStatus::success;
    return result;
}

}  // namespace harbormind
