#include "platform/linux/network/LinuxNetworkMounter.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"
#include "platform/ProcessLauncher.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "support/Dispatch.h"
#include "support/Log.h"
#include "support/TextCase.h"

namespace harbormind {

struct LinuxNetworkMounter::Shared {
    struct Pending {
        std::shared_ptr<DispatchQueue> queue;
        Completion completion;
    };
    std::mutex mutex;
    RequestId nextRequest = 1;
    std::map<RequestId, Pending> pending;
    std::set<std::string> createdFolders;
    // Mounts and unmounts still running on other threads; the mounter waits for them.
    std::atomic<int> inFlight{0};

    void finished() {
        --inFlight;
        Clock::current().notifyAll();
    }
};

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::string> findProgram(const std::string& name) {
    const char* path = ::getenv("PATH");
    std::string folders = path ? path : "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
    folders += ":/usr/sbin:/sbin";
    std::istringstream stream(folders);
    std::string folder;
    while (std::getline(stream, folder, ':')) {
        std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::string percentDecode(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

// Every folder name of a share's path, decoded, must be a plain name: a decoded "/" or NUL,
// "." or ".." would lead the mount folder, or the path on the server, somewhere else.
bool safeServerPath(const std::string& path) {
    std::istringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/')) {
        std::string name = percentDecode(part);
        if (part.empty()) {
            continue;
        }
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
            name.find('\0') != std::string::npos) {
            return false;
        }
    }
    return true;
}

bool staysInside(const std::string& path, const std::string& folder) {
    std::filesystem::path normal = std::filesystem::path(path).lexically_normal();
    std::filesystem::path base = std::filesystem::path(folder).lexically_normal();
    auto relative = normal.lexically_relative(base);
    return !relative.empty() && *relative.begin() != ".." && relative.is_relative() &&
           std::distance(relative.begin(), relative.end()) <= 1;
}

// A short stable name for a share, for its cache folder.
std::string stableName(const std::string& text) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
    return buffer;
}

// Whether rclone still holds this cached file's changes for the server: its record says
// so, or the file changed after its record was written (rclone records a written file when
// it is released), or it has no record yet.
bool unsentCacheFile(const std::filesystem::path& data, const std::filesystem::path& metadata) {
    std::error_code error;
    auto recorded = std::filesystem::last_write_time(metadata, error);
    if (error) {
        return true;
    }
    auto changed = std::filesystem::last_write_time(data, error);
    if (!error && changed > recorded) {
        return true;
    }
    std::ifstream in(metadata);
    nlohmann::json info = nlohmann::json::parse(in, nullptr, false);
    return !info.is_object() || info.value("Dirty", false);
}

// rclone's cache folder holds each file's data under "vfs" and its record under "vfsMeta".
int unsentCacheFiles(const std::string& cacheFolder) {
    std::filesystem::path data = std::filesystem::path(cacheFolder) / "vfs";
    std::filesystem::path metadata = std::filesystem::path(cacheFolder) / "vfsMeta";
    std::error_code error;
    int unsent = 0;
    auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(data, options, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kind;
        if (it->is_regular_file(kind) && unsentCacheFile(it->path(), metadata / it->path().lexically_relative(data))) {
            ++unsent;
        }
    }
    return unsent;
}

// rclone's SMB name encoding without the rules that rewrite "." and a trailing period.
constexpr const char* smbNameEncoding =
    "Slash,LtGt,DoubleQuote,Colon,Question,Asterisk,Pipe,BackSlash,Ctl,RightSpace,InvalidUtf8";

std::string parentFolder(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

// A folder only the user can enter, for one mount's credential files; removed with them.
class PrivateFolder {
public:
    explicit PrivateFolder(const std::string& parent) {
        std::string pattern = parent + "/harbormind-mount-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (::mkdtemp(name.data()) != nullptr) {
            path_ = name.data();
        }
    }
    ~PrivateFolder() {
        for (const std::string& file : files_) {
            ::unlink(file.c_str());
        }
        if (!path_.empty()) {
            ::rmdir(path_.c_str());
        }
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Writes a file of mode 0600 in the folder; its path, or none.
    std::optional<std::string> write(const std::string& name, const std::string& contents) {
        if (path_.empty()) {
            return std::nullopt;
        }
        std::string file = path_ + "/" + name;
        files_.push_back(file);
        if (!WholeFileWriter::write(file, contents, 0600, CreateFolders::No)) {
            return std::nullopt;
        }
        return file;
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

// What a mount helper's complaint means, in the statuses callers know.
int classify(const std::string& output, int exitStatus, bool namedUser) {
    std::string text = TextCase::lower(output);
    auto has = [&text](const char* needle) { return text.find(needle) != std::string::npos; };
    if (has("logon is invalid") || has("logon_failure") || has("logon failure") || has("login incorrect") ||
        has("530 ") || has("401 unauthorized") || has("authentication failed") || has("wrong password")) {
        return NetworkMountStatus::authenticationRefused;
    }
    if (has("mount error(13)")) {
        // The kernel's cifs client says "permission denied" for a refused login too.
        return namedUser ? NetworkMountStatus::authenticationRefused : NetworkMountStatus::permissionDenied;
    }
    if (has("permission denied") || has("access denied") || has("access_denied") || has("403 forbidden")) {
        return NetworkMountStatus::permissionDenied;
    }
    if (has("network name not found") || has("bad_network_name") || has("directory not found") ||
        has("no such file") || has("404 not found")) {
        return NetworkMountStatus::noSuchShare;
    }
    if (has("timeout") || has("timed out")) {
        return NetworkMountStatus::timedOut;
    }
    if (has("connection refused") || has("no route to host") || has("no such host") ||
        has("network is unreachable") || has("host is down") || has("name or service not known") ||
        has("temporary failure in name resolution") || has("server misbehaving") || has("could not resolve") ||
        has("unable to find suitable address") || has("couldn't connect") || has("failed to make ftp connection") ||
        has("connection reset")) {
        return NetworkMountStatus::hostDown;
    }
    return exitStatus > 0 ? exitStatus : NetworkMountStatus::hostDown;
}

// The last line a helper printed, for logs and the command line.
std::string lastLine(const std::string& output) {
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    auto newline = text.rfind('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

class LinuxWatch final : public NetworkMounter::Watch {
public:
    struct State {
        std::mutex mutex;
        bool active = true;
        std::optional<Clock::TimerId> timer;
        std::map<std::string, NetworkVolume> known;
    };
    explicit LinuxWatch(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~LinuxWatch() override {
        std::optional<Clock::TimerId> timer;
        {
            std::lock_guard lock(state_->mutex);
            state_->active = false;
            timer = state_->timer;
        }
        // No poll is left waiting to fire after the watch, or the process, has gone.
        if (timer) {
            Clock::current().cancel(*timer);
        }
    }

private:
    std::shared_ptr<State> state_;
};

}  // namespace

LinuxNetworkMounter::LinuxNetworkMounter(ProcessLauncher& processes, LinuxNetworkMounterOptions options)
    : processes_(processes), options_(std::move(options)), shared_(std::make_shared<Shared>()) {
    if (options_.cacheFolder.empty()) {
        const char* cache = ::getenv("XDG_CACHE_HOME");
        const char* home = ::getenv("HOME");
        std::string base = cache && cache[0] == '/' ? cache : std::string(home ? home : "/tmp") + "/.cache";
        options_.cacheFolder = base + "/harbormind/network";
    }
    if (options_.privateFolderParent.empty()) {
        const char* runtime = ::getenv("XDG_RUNTIME_DIR");
        struct stat info {};
        bool usable = runtime && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
        options_.privateFolderParent = usable ? runtime : "/tmp";
    }
}

LinuxNetworkMounter::~LinuxNetworkMounter() {
    // Only when something runs: at the end of the process the clock may already be gone.
    if (shared_->inFlight.load() > 0) {
        std::shared_ptr<Shared> shared = shared_;
        Clock::current().waitUntil([shared] { return shared->inFlight.load() == 0; }, std::nullopt);
    }
}

bool LinuxNetworkMounter::createMountDirectory(const std::string& path) {
    if (!WholeFileWriter::makeFolders(path, 0700)) {
        return false;
    }
    std::lock_guard lock(shared_->mutex);
    shared_->createdFolders.insert(path);
    return true;
}

std::vector<NetworkMountEntry> LinuxNetworkMounter::mountTable() {
    return NetworkMountTable::ownedBy(NetworkMountTable::parse(readText(options_.mountInfoPath)), ::getuid());
}

std::vector<NetworkVolume> LinuxNetworkMounter::mountedVolumes() {
    std::vector<NetworkVolume> volumes;
    for (NetworkMountEntry& entry : mountTable()) {
        volumes.push_back(std::move(entry.volume));
    }
    return volumes;
}

bool LinuxNetworkMounter::kernelSupports(const std::string& type) {
    std::istringstream lines(readText(options_.filesystemsPath));
    std::string line;
    while (std::getline(lines, line)) {
        auto tab = line.rfind('\t');
        if ((tab == std::string::npos ? line : line.substr(tab + 1)) == type) {
            return true;
        }
    }
    return false;
}

NetworkMounter::RequestId LinuxNetworkMounter::mountAsync(const NetworkMountRequest& request,
                                                          std::shared_ptr<DispatchQueue> queue, Completion completion) {
    RequestId id = 0;
    {
        std::lock_guard lock(shared_->mutex);
        id = shared_->nextRequest++;
        shared_->pending[id] = Shared::Pending{queue, std::move(completion)};
    }
    ++shared_->inFlight;
    std::shared_ptr<Shared> shared = shared_;
    Dispatch::global()->async([this, shared, id, request] {
        NetworkMountResult result = mountNow(request);
        Shared::Pending pending;
        {
            std::lock_guard lock(shared->mutex);
            auto it = shared->pending.find(id);
            if (it != shared->pending.end()) {
                pending = std::move(it->second);
                shared->pending.erase(it);
            }
        }
        if (!pending.completion) {
            // Cancelled while it ran: what it mounted is not wanted.
            for (const std::string& mountPoint : result.mountPoints) {
                unmountNow(mountPoint, Unmount::Force);
            }
        } else {
            pending.queue->async([completion = std::move(pending.completion), result] { completion(result); });
        }
        shared->finished();
    });
    return id;
}

void LinuxNetworkMounter::cancel(RequestId request) {
    Shared::Pending pending;
    {
        std::lock_guard lock(shared_->mutex);
        auto it = shared_->pending.find(request);
        if (it == shared_->pending.end()) {
            return;
        }
        pending = std::move(it->second);
        shared_->pending.erase(it);
    }
    pending.queue->async([completion = std::move(pending.completion)] {
        NetworkMountResult result;
        result.status = NetworkMountStatus::cancelled;
        result.message = NetworkMountStatus::describe(result.status);
        completion(result);
    });
}

NetworkMountResult LinuxNetworkMounter::mountNow(const NetworkMountRequest& request) {
    NetworkMountResult result;
    auto fail = [&result](int status, std::string message = {}) {
        result.status = status;
        result.message = message.empty() ? NetworkMountStatus::describe(status) : std::move(message);
        return result;
    };
    std::optional<NetworkURL> url = NetworkURL::parse(request.url);
    if (!url) {
        return fail(NetworkMountStatus::hostDown, "Not a network address: " + request.url);
    }
    std::string scheme = TextCase::lower(url->scheme);
    if (scheme == "afp") {
        return fail(NetworkMountStatus::notSupported,
                    "AFP shares cannot be connected on Linux; connect to the server with SMB instead.");
    }
    if (!safeServerPath(url->path)) {
        return fail(NetworkMountStatus::noSuchShare, "The shared folder's name cannot be used: " + url->path);
    }
    std::string share = percentDecode(url->lastPathComponent());
    std::string mountPoint = share.empty() ? request.mountDirectory : request.mountDirectory + "/" + share;
    if (!staysInside(mountPoint, request.mountDirectory)) {
        return fail(NetworkMountStatus::noSuchShare, "The shared folder's name cannot be used: " + share);
    }

    NetworkURL identity = *url;
    identity.user = request.guest ? "" : request.user;
    std::string devname = identity.text();
    for (const NetworkMountEntry& entry : mountTable()) {
        if (entry.volume.remountURL == devname || entry.volume.mountPoint == mountPoint) {
            return fail(NetworkMountStatus::alreadyConnected);
        }
    }
    if (!WholeFileWriter::makeFolders(mountPoint, 0700)) {
        return fail(NetworkMountStatus::permissionDenied, "Cannot make the folder " + mountPoint);
    }
    if (scheme == "smb" || scheme == "cifs") {
        result = kernelSupports("cifs") && findProgram("mount.cifs") && ::geteuid() == 0
                     ? mountWithKernel(request, "cifs", mountPoint)
                     : mountWithRclone(request, mountPoint, devname);
    } else if (scheme == "nfs") {
        if (!(kernelSupports("nfs") || kernelSupports("nfs4")) || !findProgram("mount.nfs") || ::geteuid() != 0) {
            removeMountFolders(mountPoint);
            return fail(NetworkMountStatus::notSupported,
                        "NFS shares need the kernel's NFS client and mount.nfs, which this system lacks.");
        }
        result = mountWithKernel(request, "nfs", mountPoint);
    } else if (scheme == "ftp" || scheme == "webdav" || scheme == "http" || scheme == "https") {
        result = mountWithRclone(request, mountPoint, devname);
    } else {
        removeMountFolders(mountPoint);
        return fail(NetworkMountStatus::notSupported);
    }
    if (result.status != NetworkMountStatus::success) {
        removeMountFolders(mountPoint);
        if (result.message.empty()) {
            result.message = NetworkMountStatus::describe(result.status);
        }
        return result;
    }
    // Ready when the kernel lists it.
    if (!waitForListing(mountPoint, true, seconds(0.1))) {
        removeMountFolders(mountPoint);
        return fail(NetworkMountStatus::timedOut);
    }
    result.mountPoints = {mountPoint};
    return result;
}

NetworkMountResult LinuxNetworkMounter::mountWithRclone(const NetworkMountRequest& request,
                                                        const std::string& mountPoint, const std::string& devname) {
    NetworkMountResult result;
    std::optional<std::string> rclone = findProgram("rclone");
    if (!rclone) {
        result.status = NetworkMountStatus::notSupported;
        result.message = "Connecting this share needs rclone, which is not installed.";
        return result;
    }
    NetworkURL url = *NetworkURL::parse(request.url);
    std::string scheme = TextCase::lower(url.scheme);
    std::string path = percentDecode(url.path);
    while (path.starts_with("/")) {
        path.erase(0, 1);
    }
    // The password reaches rclone only through the configuration file, in its obscured form.
    std::string password = request.guest ? "" : request.password;
    // rclone's FTP client always sends a password; anonymous servers expect an address-like one.
    if (scheme == "ftp" && password.empty()) {
        password = "anonymous@";
    }
    std::string obscured;
    if (!password.empty()) {
        ProcessResult obscure = processes_.run(*rclone, {"obscure", "-"}, password);
        if (!obscure.launched || obscure.exitStatus != 0) {
            result.status = NetworkMountStatus::hostDown;
            result.message = "rclone could not prepare the password";
            return result;
        }
        obscured = lastLine(obscure.standardOutput);
    }
    std::ostringstream config;
    config << "[share]\n";
    std::string remotePath = path;
    if (scheme == "smb" || scheme == "cifs") {
        config << "type = smb\nhost = " << url.hostName() << "\n";
        config << "user = " << (request.guest ? "guest" : request.user) << "\n";
        // rclone asks for the share's top folder as "." when it writes a file there; its
        // default name encoding turns that "." into a full-width "．" folder on the server.
        config << "encoding = " << smbNameEncoding << "\n";
    } else if (scheme == "ftp") {
        config << "type = ftp\nhost = " << url.hostName() << "\n";
        config << "user = " << (request.guest || request.user.empty() ? "anonymous" : request.user) << "\n";
    } else {
        std::string web = scheme == "http" ? "http" : "https";
        config << "type = webdav\nvendor = other\nurl = " << web << "://" << url.host << url.path << "\n";
        if (!request.guest && !request.user.empty()) {
            config << "user = " << request.user << "\n";
        }
        remotePath.clear();
    }
    if (auto port = url.port()) {
        config << "port = " << *port << "\n";
    }
    if (!obscured.empty()) {
        config << "pass = " << obscured << "\n";
    }
    PrivateFolder folder(options_.privateFolderParent);
    std::optional<std::string> configFile = folder.write("rclone.conf", config.str());
    if (!configFile) {
        result.status = NetworkMountStatus::permissionDenied;
        result.message = "Cannot write the private connection settings";
        return result;
    }
    std::string remote = "share:" + remotePath;
    const std::vector<std::string> common = {"--config", *configFile, "--contimeout", "10s", "--timeout", "20s",
                                             "--retries", "1", "--low-level-retries", "1"};
    // rclone connects lazily; listing the share first turns a refused login into a status.
    std::vector<std::string> check = {"lsf", remote, "--max-depth", "1"};
    check.insert(check.end(), common.begin(), common.end());
    ProcessResult probe = processes_.run(*rclone, check);
    if (!probe.launched || probe.exitStatus != 0) {
        result.status = classify(probe.standardError + probe.standardOutput, probe.exitStatus, !request.guest);
        result.message = lastLine(probe.standardError);
        return result;
    }
    // Written files wait in a cache folder of this share's own until they reach the server;
    // a disconnect looks there for files still on their way.
    std::vector<std::string> mount = {"mount",        remote,   mountPoint,         "--daemon",
                                      "--daemon-wait", "30s",   "--devname",        devname,
                                      "--vfs-cache-mode", "writes", "--vfs-write-back", "1s",
                                      "--cache-dir",  cacheFolderFor(devname)};
    mount.insert(mount.end(), common.begin(), common.end());
    ProcessResult mounted = processes_.run(*rclone, mount);
    if (!mounted.launched || mounted.exitStatus != 0) {
        result.status = classify(mounted.standardError + mounted.standardOutput, mounted.exitStatus, !request.guest);
        result.message = lastLine(mounted.standardError);
        return result;
    }
    result.status = NetworkMountStatus::success;
    return result;
}

NetworkMountResult LinuxNetworkMounter::mountWithKernel(const NetworkMountRequest& request, const std::string& type,
                                                        const std::string& mountPoint) {
    NetworkMountResult result;
    NetworkURL url = *NetworkURL::parse(request.url);
    PrivateFolder folder(options_.privateFolderParent);
    std::vector<std::string> arguments = {"-t", type};
    std::string options;
    std::string source;
    if (type == "cifs") {
        source = "//" + url.hostName() + percentDecode(url.path);
        if (request.guest) {
            options = "guest";
        } else {
            std::optional<std::string> credentials =
                folder.write("credentials", "username=" + request.user + "\npassword=" + request.password + "\n");
            if (!credentials) {
                result.status = NetworkMountStatus::permissionDenied;
                return result;
            }
            options = "credentials=" + *credentials;
        }
        if (auto port = url.port()) {
            options += ",port=" + std::to_string(*port);
        }
        options += ",uid=" + std::to_string(::getuid()) + ",gid=" + std::to_string(::getgid());
    } else {
        source = url.host + (url.path.empty() ? "/" : percentDecode(url.path));
        options = "soft,timeo=100";
    }
    arguments.insert(arguments.end(), {"-o", options, source, mountPoint});
    std::optional<std::string> mountProgram = findProgram("mount");
    ProcessResult mounted = processes_.run(mountProgram.value_or("/bin/mount"), arguments);
    if (!mounted.launched || mounted.exitStatus != 0) {
        result.status = classify(mounted.standardError + mounted.standardOutput, mounted.exitStatus,
                                 type == "cifs" && !request.guest);
        result.message = lastLine(mounted.standardError);
        return result;
    }
    result.status = NetworkMountStatus::success;
    return result;
}

bool LinuxNetworkMounter::unmount(const std::string& mountPoint, Unmount mode) {
    auto volumes = mountedVolumes();
    if (std::none_of(volumes.begin(), volumes.end(),
                     [&mountPoint](const NetworkVolume& v) { return v.mountPoint == mountPoint; })) {
        return false;
    }
    ++shared_->inFlight;
    std::shared_ptr<Shared> shared = shared_;
    Dispatch::global()->async([this, shared, mountPoint, mode] {
        unmountNow(mountPoint, mode);
        shared->finished();
    });
    return true;
}

int LinuxNetworkMounter::unmountNow(const std::string& mountPoint, Unmount mode) {
    std::optional<NetworkMountEntry> found;
    for (NetworkMountEntry& entry : mountTable()) {
        if (entry.volume.mountPoint == mountPoint) {
            found = std::move(entry);
        }
    }
    if (!found) {
        return -1;
    }
    ProcessResult done;
    bool lazy = mode == Unmount::Force;
    if (found->type.starts_with("fuse")) {
        std::optional<std::string> fusermount = findProgram("fusermount3");
        if (!fusermount) {
            fusermount = findProgram("fusermount");
        }
        std::vector<std::string> arguments = {"-u"};
        if (lazy) {
            arguments.push_back("-z");
        }
        arguments.push_back(mountPoint);
        done = processes_.run(fusermount.value_or("/bin/fusermount"), arguments);
    } else {
        std::vector<std::string> arguments;
        if (lazy) {
            arguments.push_back("-l");
        }
        arguments.push_back(mountPoint);
        done = processes_.run(findProgram("umount").value_or("/bin/umount"), arguments);
    }
    if (!done.launched || done.exitStatus != 0) {
        std::string complaint = TextCase::lower(done.standardError);
        Log::warning("Unmounting " + mountPoint + " failed: " + lastLine(done.standardError));
        bool busy = complaint.find("busy") != std::string::npos;
        return busy ? NetworkMountStatus::inUse : -1;
    }
    // rclone leaves the mount table when its daemon has finished.
    bool gone = waitForListing(mountPoint, false, seconds(0.05));
    removeMountFolders(mountPoint);
    return gone ? 0 : -1;
}

bool LinuxNetworkMounter::waitForListing(const std::string& mountPoint, bool listed, Clock::Duration poll) {
    auto isListed = [this, &mountPoint] {
        auto volumes = mountedVolumes();
        return std::any_of(volumes.begin(), volumes.end(),
                           [&mountPoint](const NetworkVolume& v) { return v.mountPoint == mountPoint; });
    };
    Clock& clock = Clock::current();
    auto deadline = clock.now() + seconds(10);
    while (isListed() != listed) {
        if (clock.now() >= deadline) {
            return false;
        }
        clock.sleepFor(poll);
    }
    return true;
}

std::string LinuxNetworkMounter::cacheFolderFor(const std::string& devname) const {
    return options_.cacheFolder + "/" + stableName(devname);
}

int LinuxNetworkMounter::pendingWrites(const std::string& mountPoint) {
    std::optional<NetworkMountEntry> found;
    for (NetworkMountEntry& entry : mountTable()) {
        if (entry.volume.mountPoint == mountPoint) {
            found = std::move(entry);
        }
    }
    // The kernel's clients send what they hold before their unmount completes.
    if (!found || found->type != "fuse.rclone") {
        return 0;
    }
    // A file released a moment ago may not be recorded yet: rclone hears of the release
    // after close() has returned. A second look a moment later catches it.
    std::string cache = cacheFolderFor(found->source);
    int pending = unsentCacheFiles(cache);
    if (pending == 0) {
        Clock::current().sleepFor(seconds(0.2));
        pending = unsentCacheFiles(cache);
    }
    return pending;
}

// Removes the empty folders a mount was given: its mount point and the folder made for it,
// whether this process made them or another did (a folder named by a UUID inside "mnt").
void LinuxNetworkMounter::removeMountFolders(const std::string& mountPoint) {
    std::lock_guard lock(shared_->mutex);
    std::string parent = parentFolder(mountPoint);
    auto madeForMounts = [](const std::string& folder) {
        std::string name = folder.substr(folder.find_last_of('/') + 1);
        bool uuid = name.size() == 36 && name[8] == '-' && name[13] == '-' && name[18] == '-' && name[23] == '-' &&
                    name.find_first_not_of("0123456789ABCDEFabcdef-") == std::string::npos;
        return uuid && parentFolder(folder).ends_with("/mnt");
    };
    bool ours = shared_->createdFolders.contains(mountPoint) || shared_->createdFolders.contains(parent) ||
                madeForMounts(mountPoint) || madeForMounts(parent);
    if (!ours) {
        return;
    }
    ::rmdir(mountPoint.c_str());
    if (shared_->createdFolders.contains(parent) || madeForMounts(parent)) {
        ::rmdir(parent.c_str());
    }
    shared_->createdFolders.erase(parent);
    shared_->createdFolders.erase(mountPoint);
}

std::unique_ptr<NetworkMounter::Watch> LinuxNetworkMounter::watchVolumes(std::shared_ptr<DispatchQueue> queue,
                                                                         VolumeCallback appeared,
                                                                         VolumeCallback disappeared) {
    auto state = std::make_shared<LinuxWatch::State>();
    std::string mountInfoPath = options_.mountInfoPath;
    Clock::Duration interval = options_.pollInterval;
    // Each poll reads the table, reports the differences and schedules the next poll, until
    // the watch is released.
    auto poll = std::make_shared<std::function<void()>>();
    std::weak_ptr<std::function<void()>> weakPoll = poll;
    *poll = [state, queue, appeared, disappeared, mountInfoPath, interval, weakPoll, poll]() mutable {
        std::vector<NetworkVolume> gone;
        std::vector<NetworkVolume> added;
        {
            std::lock_guard lock(state->mutex);
            if (!state->active) {
                poll.reset();
                return;
            }
            std::map<std::string, NetworkVolume> now;
            for (NetworkMountEntry& entry :
                 NetworkMountTable::ownedBy(NetworkMountTable::parse(readText(mountInfoPath)), ::getuid())) {
                now[entry.volume.mountPoint] = entry.volume;
            }
            for (const auto& [path, volume] : state->known) {
                auto it = now.find(path);
                if (it == now.end() || !(it->second == volume)) {
                    gone.push_back(volume);
                }
            }
            for (const auto& [path, volume] : now) {
                auto it = state->known.find(path);
                if (it == state->known.end() || !(it->second == volume)) {
                    added.push_back(volume);
                }
            }
            state->known = std::move(now);
        }
        for (const NetworkVolume& volume : gone) {
            disappeared(volume);
        }
        for (const NetworkVolume& volume : added) {
            appeared(volume);
        }
        if (auto next = weakPoll.lock()) {
            std::lock_guard lock(state->mutex);
            if (state->active) {
                state->timer = Clock::current().schedule(interval, [queue, next] { queue->async([next] { (*next)(); }); });
            }
        }
    };
    queue->async([poll] { (*poll)(); });
    return std::make_unique<LinuxWatch>(state);
}

}  // namespace harbormind
