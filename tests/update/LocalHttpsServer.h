#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/processes/LinuxProcessLauncher.h"

namespace harbormind::test {

// An HTTPS server of the test's own on 127.0.0.1 with a fresh self-signed certificate. Each
// path answers what the test put there; a stalled path sends its headers and then nothing
// until the server stops.
class LocalHttpsServer {
public:
    struct Route {
        int status = 200;
        std::string body;
        std::string extraHeaders;
        bool stall = false;
    };

    LocalHttpsServer() {
        // A client that gives up mid-answer must not end the test through SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        std::string pattern = (std::filesystem::temp_directory_path() / "harbormind-https-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        ProcessResult made = LinuxProcessLauncher().run(
            "openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                        "-keyout", folder_ + "/key.pem", "-out", certificateFile(), "-days", "1", "-subj",
                        "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
        ready_ = made.launched && made.exitStatus == 0 && startListening();
    }

    ~LocalHttpsServer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            for (int fd : connections_) {
                ::shutdown(fd, SHUT_RDWR);
            }
        }
        stopped_.notify_all();
        if (listener_ >= 0) {
            ::shutdown(listener_, SHUT_RDWR);
        }
        if (acceptor_.joinable()) {
            acceptor_.join();
        }
        for (std::thread& worker : workers_) {
            worker.join();
        }
        for (int fd : connections_) {
            ::close(fd);
        }
        if (listener_ >= 0) {
            ::close(listener_);
        }
        if (context_ != nullptr) {
            SSL_CTX_free(context_);
        }
        std::filesystem::remove_all(folder_);
    }

    bool ready() const { return ready_; }
    std::string certificateFile() const { return folder_ + "/cert.pem"; }
    std::string url(const std::string& path) const { return "https://127.0.0.1:" + std::to_string(port_) + path; }

    void route(const std::string& path, Route answer) {
        std::lock_guard lock(mutex_);
        routes_[path] = std::move(answer);
    }
    // The request targets seen so far ("/check?pid=101").
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    bool startListening() {
        context_ = SSL_CTX_new(TLS_server_method());
        if (context_ == nullptr || SSL_CTX_use_certificate_file(context_, certificateFile().c_str(), SSL_FILETYPE_PEM) != 1 ||
            SSL_CTX_use_PrivateKey_file(context_, (folder_ + "/key.pem").c_str(), SSL_FILETYPE_PEM) != 1) {
            return false;
        }
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return false;
        }
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
        return true;
    }

    void acceptLoop() {
        for (;;) {
            int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            std::lock_guard lock(mutex_);
            if (fd < 0 || stopping_) {
                if (fd >= 0) {
                    ::close(fd);
                }
                return;
            }
            connections_.push_back(fd);
            workers_.emplace_back([this, fd] { serve(fd); });
        }
    }

    void serve(int fd) {
        SSL* ssl = SSL_new(context_);
        SSL_set_fd(ssl, fd);
        if (SSL_accept(ssl) == 1) {
            answer(ssl, readTarget(ssl));
        }
        SSL_shutdown(ssl);
        SSL_free(ssl);
        ::shutdown(fd, SHUT_RDWR);
    }

    std::string readTarget(SSL* ssl) {
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            int count = SSL_read(ssl, buffer, sizeof(buffer));
            if (count <= 0) {
                return {};
            }
            head.append(buffer, static_cast<std::size_t>(count));
        }
        std::size_t start = head.find(' ') + 1;
        return head.substr(start, head.find(' ', start) - start);
    }

    void answer(SSL* ssl, const std::string& target) {
        Route found{404, "not found", "", false};
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(target);
            if (auto it = routes_.find(target.substr(0, target.find('?'))); it != routes_.end()) {
                found = it->second;
            }
        }
        std::string head = "HTTP/1.1 " + std::to_string(found.status) + " X\r\nContent-Length: " +
                           std::to_string(found.body.size()) + "\r\nConnection: close\r\n" + found.extraHeaders + "\r\n";
        if (!writeAll(ssl, head)) {
            return;
        }
        if (found.stall) {
            std::unique_lock lock(mutex_);
            stopped_.wait(lock, [this] { return stopping_; });
            return;
        }
        writeAll(ssl, found.body);
    }

    static bool writeAll(SSL* ssl, const std::string& bytes) {
        std::size_t written = 0;
        while (written < bytes.size()) {
            int count = SSL_write(ssl, bytes.data() + written, static_cast<int>(std::min<std::size_t>(bytes.size() - written, 65536)));
            if (count <= 0) {
                return false;
            }
            written += static_cast<std::size_t>(count);
        }
        return true;
    }

    std::string folder_;
    bool ready_ = false;
    SSL_CTX* context_ = nullptr;
    int listener_ = -1;
    int port_ = 0;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    std::vector<int> connections_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Route> routes_;
    std::vector<std::string> requests_;
};

}  // namespace harbormind::test
