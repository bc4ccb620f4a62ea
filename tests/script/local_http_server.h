// A small HTTP server on 127.0.0.1 that a test starts for the download
// commands. Each GET is answered from a table of paths (404 for the rest)
// and the connection closed; a stalling path takes the request and never
// answers, until the client goes away or the server stops.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace glint::test {

class LocalHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
        bool stall = false;
        std::string location; // sent as a redirect's Location header
    };

    LocalHttpServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 16);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (pipe(wake_) != 0)
            wake_[0] = wake_[1] = -1;
        thread_ = std::thread([this] { loop(); });
    }
    ~LocalHttpServer() {
        [[maybe_unused]] ssize_t woken = write(wake_[1], "x", 1);
        thread_.join();
        for (int fd : stalled_) close(fd);
        close(listener_);
        close(wake_[0]);
        close(wake_[1]);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void serve(const std::string& path, Reply reply) {
        std::lock_guard<std::mutex> hold(lock_);
        replies_[path] = std::move(reply);
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

    // Waits (at most ten seconds) until a stalling path holds count
    // connections, or until count of them were closed by their clients.
    bool waitForStalled(int count) { return waitFor([&] { return stalledCount_ >= count; }); }
    bool waitForStallsClosed(int count) { return waitFor([&] { return closedStalls_ >= count; }); }

    // A port on 127.0.0.1 where nothing listens.
    static int closedPort() {
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
        close(probe);
        return ntohs(address.sin_port);
    }

private:
    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    template <class Done> bool waitFor(Done done) {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::seconds(10), done);
    }

    void loop() {
        for (;;) {
            std::vector<pollfd> watched = {{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
            for (int fd : stalled_) watched.push_back({fd, POLLIN, 0});
            if (poll(watched.data(), watched.size(), -1) < 0)
                continue;
            if (watched[0].revents)
                return;
            for (size_t i = 2; i < watched.size(); ++i)
                if (watched[i].revents)
                    dropStalled(watched[i].fd);
            if (watched[1].revents & POLLIN)
                answer(accept(listener_, nullptr, nullptr));
        }
    }

    // Reads the request head and answers it, or keeps the connection.
    void answer(int fd) {
        if (fd < 0)
            return;
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            ssize_t got = recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0)
                break;
            request.append(chunk, static_cast<size_t>(got));
        }
        size_t start = request.find(' ') + 1;
        std::string path = request.substr(start, request.find(' ', start) - start);
        Reply reply{404, "not found", false, ""};
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (auto found = replies_.find(path); found != replies_.end())
                reply = found->second;
            if (reply.stall) {
                stalled_.push_back(fd);
                ++stalledCount_;
                changed_.notify_all();
                return;
            }
        }
        std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " Reply\r\nContent-Length: " +
                           std::to_string(reply.body.size()) + "\r\nConnection: close\r\n";
        if (!reply.location.empty())
            head += "Location: " + reply.location + "\r\n";
        head += "\r\n";
        std::string all = head + reply.body;
        for (size_t sent = 0; sent < all.size();) {
            ssize_t n = send(fd, all.data() + sent, all.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break; // the client stopped reading (a response it refuses)
            sent += static_cast<size_t>(n);
        }
        close(fd);
    }

    void dropStalled(int fd) {
        std::lock_guard<std::mutex> hold(lock_);
        close(fd);
        std::erase(stalled_, fd);
        ++closedStalls_;
        changed_.notify_all();
    }

    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::mutex lock_;
    std::condition_variable changed_;
    std::map<std::string, Reply> replies_;
    std::vector<int> stalled_; // touched by the server thread, and at the end
    int stalledCount_ = 0;
    int closedStalls_ = 0;
    std::thread thread_;
};

} // namespace glint::test
