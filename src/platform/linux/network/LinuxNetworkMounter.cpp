#include "platform/linux/network/LinuxNetworkMounter.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

#include "platform/NetworkMountStatus.h"
#include "platform/NetworkURL.h"
#include "platform/ProcessLauncher.h"
#include "platform/linux/files/WholeFileWriter.h"
#include "platform/linux/network/CredentialFolder.h"
#include "platform/linux/network/NetworkMountComplaint.h"
#include "platform/linux/network/NetworkProgram.h"
#include "platform/linux/network/NetworkSharePath.h"
#include "platform/linux/network/NetworkVolumeWatch.h"
#include "platform/linux/network/RcloneCache.h"
#include "platform/linux/network/RcloneShareMount.h"
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

std::string parentFolder(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

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
    return NetworkMountTable::read(options_.mountInfoPath, ::getuid());
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
    if (!NetworkSharePath::isSafe(url->path)) {
        return fail(NetworkMountStatus::noSuchShare, "The shared folder's name cannot be used: " + url->path);
    }
    std::string share = NetworkSharePath::decode(url->lastPathComponent());
    std::string mountPoint = share.empty() ? request.mountDirectory : request.mountDirectory + "/" + share;
    if (!NetworkSharePath::staysInside(mountPoint, request.mountDirectory)) {
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
        result = kernelSupports("cifs") && NetworkProgram::find("mount.cifs") && ::geteuid() == 0
                     ? mountWithKernel(request, "cifs", mountPoint)
                     : mountWithRclone(request, mountPoint, devname);
    } else if (scheme == "nfs") {
        if (!(kernelSupports("nfs") || kernelSupports("nfs4")) || !NetworkProgram::find("mount.nfs") ||
            ::geteuid() != 0) {
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
    return RcloneShareMount(processes_, options_.privateFolderParent)
        .mount(request, mountPoint, devname, cacheFolderFor(devname));
}

NetworkMountResult LinuxNetworkMounter::mountWithKernel(const NetworkMountRequest& request, const std::string& type,
                                                        const std::string& mountPoint) {
    NetworkMountResult result;
    NetworkURL url = *NetworkURL::parse(request.url);
    CredentialFolder folder(options_.privateFolderParent);
    std::vector<std::string> arguments = {"-t", type};
    std::string options;
    std::string source;
    if (type == "cifs") {
        source = "//" + url.hostName() + NetworkSharePath::decode(url.path);
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
        source = url.host + (url.path.empty() ? "/" : NetworkSharePath::decode(url.path));
        options = "soft,timeo=100";
    }
    arguments.insert(arguments.end(), {"-o", options, source, mountPoint});
    std::optional<std::string> mountProgram = NetworkProgram::find("mount");
    ProcessResult mounted = processes_.run(mountProgram.value_or("/bin/mount"), arguments);
    if (!mounted.launched || mounted.exitStatus != 0) {
        result.status = NetworkMountComplaint::classify(mounted.standardError + mounted.standardOutput,
                                                        mounted.exitStatus, type == "cifs" && !request.guest);
        result.message = NetworkMountComplaint::lastLine(mounted.standardError);
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
        std::optional<std::string> fusermount = NetworkProgram::find("fusermount3");
        if (!fusermount) {
            fusermount = NetworkProgram::find("fusermount");
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
        done = processes_.run(NetworkProgram::find("umount").value_or("/bin/umount"), arguments);
    }
    if (!done.launched || done.exitStatus != 0) {
        std::string complaint = TextCase::lower(done.standardError);
        Log::warning("Unmounting " + mountPoint + " failed: " + NetworkMountComplaint::lastLine(done.standardError));
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
    return options_.cacheFolder + "/" + RcloneCache::folderName(devname);
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
    int pending = RcloneCache::unsentFiles(cache);
    if (pending == 0) {
        Clock::current().sleepFor(seconds(0.2));
        pending = RcloneCache::unsentFiles(cache);
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
    return NetworkVolumeWatch::start(options_.mountInfoPath, options_.pollInterval, std::move(queue),
                                     std::move(appeared), std::move(disappeared));
}

}  // namespace harbormind
