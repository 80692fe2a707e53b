#include "network/SambaServer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "testsupport/LocalPort.h"

namespace harbormind::test {
namespace {

bool executable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::unique_ptr<SambaServer> SambaServer::start(std::string& whyNot) {
    if (::geteuid() != 0) {
        whyNot = "the Samba server tests need root";
        return nullptr;
    }
    if (!executable("/usr/sbin/smbd") || !executable("/usr/bin/smbpasswd")) {
        whyNot = "Samba (smbd, smbpasswd) is not installed; run scripts/bootstrap";
        return nullptr;
    }
    if (!executable("/usr/bin/rclone") || ::access("/dev/fuse", R_OK | W_OK) != 0 ||
        !(executable("/usr/bin/fusermount3") || executable("/usr/bin/fusermount"))) {
        whyNot = "mounting shares needs rclone, fusermount and /dev/fuse";
        return nullptr;
    }
    std::unique_ptr<SambaServer> server(new SambaServer());
    if (!server->launch(whyNot)) {
        return nullptr;
    }
    return server;
}

bool SambaServer::launch(std::string& whyNot) {
    const std::string root = folder_.path();
    ::chmod(root.c_str(), 0755);
    for (const char* name : {"private", "lock", "state", "cache", "pid", "log", "ncalrpc", "home"}) {
        std::filesystem::create_directories(folder_.file(name));
    }
    ::chmod(folder_.file("private").c_str(), 0700);
    for (const char* share : {"data", "public"}) {
        std::filesystem::create_directories(folder_.file(share));
        ::chmod(folder_.file(share).c_str(), 0777);
    }
    writeText(folder_.file("data/welcome.txt"), "hello from the server\n");
    writeText(folder_.file("users.map"), std::string("nobody = ") + user + "\n");
    // A port of our own, so tests running side by side do not meet.
    port_ = LocalPort::unused(20000 + static_cast<int>(::getpid() % 20000));
    std::ostringstream conf;
    conf << "[global]\n"
         << "  server role = standalone server\n  interfaces = 127.0.0.1\n  bind interfaces only = yes\n"
         << "  smb ports = " << port_ << "\n  disable netbios = yes\n"
         << "  private dir = " << folder_.file("private") << "\n  lock directory = " << folder_.file("lock") << "\n"
         << "  state directory = " << folder_.file("state") << "\n  cache directory = " << folder_.file("cache") << "\n"
         << "  pid directory = " << folder_.file("pid") << "\n  ncalrpc dir = " << folder_.file("ncalrpc") << "\n"
         << "  log file = " << folder_.file("log/smbd.log") << "\n"
         << "  passdb backend = tdbsam:" << folder_.file("private/passdb.tdb") << "\n"
         << "  username map = " << folder_.file("users.map") << "\n"
         << "  map to guest = Bad User\n  guest account = nobody\n  load printers = no\n  printing = bsd\n"
         << "  printcap name = /dev/null\n  disable spoolss = yes\n  server min protocol = SMB2\n"
         << "[data]\n  path = " << folder_.file("data") << "\n  read only = no\n  valid users = nobody\n"
         << "  force user = nobody\n"
         << "[public]\n  path = " << folder_.file("public") << "\n  read only = no\n  guest ok = yes\n"
         << "  force user = nobody\n";
    writeText(folder_.file("smb.conf"), conf.str());
    std::string twice = std::string(password) + "\n" + password + "\n";
    ProcessResult added =
        processes_.run("/usr/bin/smbpasswd", {"-c", folder_.file("smb.conf"), "-s", "-a", "nobody"}, twice);
    if (added.exitStatus != 0) {
        whyNot = "smbpasswd failed: " + added.standardError;
        return false;
    }
    ProcessResult started = processes_.run("/usr/sbin/smbd", {"-s", folder_.file("smb.conf"), "-D"});
    if (started.exitStatus != 0) {
        whyNot = "smbd did not start: " + started.standardError;
        return false;
    }
    // smbd is a real process: waiting for it to listen takes real time, which the test's
    // clock does not drive.
    for (int i = 0; i < 200 && (pid_ == 0 || !LocalPort::answers(port_)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const auto& entry : std::filesystem::directory_iterator(folder_.file("pid"))) {
            pid_ = std::atoi(readText(entry.path().string()).c_str());
        }
    }
    if (pid_ <= 0 || !LocalPort::answers(port_)) {
        whyNot = "smbd did not listen on port " + std::to_string(port_);
        return false;
    }
    return true;
}

}  // namespace harbormind::test
