#pragma once

// An HTTP server on 127.0.0.1 for the update check, on its own thread until destroyed: a
// request other than "GET /version.txt" gets 404. Not listening, it refuses every connection.

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

class TestHttpServer {
public:
    explicit TestHttpServer(bool listening = true)
    {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (listening && listen(listener_, 4) == 0)
            thread_ = std::thread([this] { while (!stop_) Serve(); });
    }
    ~TestHttpServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        close(listener_);
    }

    int Port() const { return port_; }
    int Connections() const { return connections_; }
    // What later requests get: the first dropped connections are reset unanswered; with dripMs
    // the answer goes out one byte per dripMs.
    void Answer(int status, const std::string& body, int dropped = 0, int dripMs = 0)
    {
        std::lock_guard lock(mutex_);
        status_ = status, body_ = body, dropped_ = dropped, dripMs_ = dripMs;
    }

private:
    void Serve()
    {
        pollfd wait{listener_, POLLIN, 0};
        const int client = poll(&wait, 1, 50) > 0 ? accept(listener_, nullptr, nullptr) : -1;
        if (client < 0)
            return;
        ++connections_;
        std::unique_lock lock(mutex_);
        if (dropped_ > 0 && dropped_--) {
            const linger reset{1, 0};
            setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            close(client);
            return;
        }
        std::string head, answer;
        char buf[1024];
        pollfd in{client, POLLIN, 0};
        for (ssize_t n = 0; head.find("\r\n\r\n") == std::string::npos &&
                            poll(&in, 1, 2000) > 0 && (n = read(client, buf, sizeof buf)) > 0;)
            head.append(buf, static_cast<size_t>(n));
        const bool asked = head.rfind("GET /version.txt HTTP/", 0) == 0;
        answer = "HTTP/1.0 " + std::to_string(asked ? status_ : 404) +
                 " Answer\r\nContent-Length: " + std::to_string(body_.size()) + "\r\n\r\n" + body_;
        const int dripMs = dripMs_;
        lock.unlock();
        const size_t step = dripMs > 0 ? 1 : answer.size();
        for (size_t sent = 0; sent < answer.size() && !stop_; sent += step) {
            if (send(client, &answer[sent], step, MSG_NOSIGNAL) != static_cast<ssize_t>(step))
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(dripMs));
        }
        close(client);
    }

    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0), port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    int status_ = 200, dropped_ = 0, dripMs_ = 0;
    std::string body_;
    std::thread thread_;
};
