#pragma once

// An HTTP server on 127.0.0.1 for the update check, on its own thread until destroyed; not
// listening, it refuses every connection.

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
    // What later connections get: the first dropped ones are reset unanswered; with dripMs the
    // answer goes out one byte per dripMs.
    void Answer(int status, const std::string& body, int dropped = 0, int dripMs = 0)
    {
        std::lock_guard lock(mutex_);
        answer_ = "HTTP/1.0 " + std::to_string(status) + " Answer\r\nContent-Length: " +
                  std::to_string(body.size()) + "\r\n\r\n" + body;
        dropped_ = dropped;
        dripMs_ = dripMs;
    }
    std::string LastRequest()
    {
        std::lock_guard lock(mutex_);
        return request_;
    }

private:
    void Serve()
    {
        pollfd wait{listener_, POLLIN, 0};
        const int client = poll(&wait, 1, 50) > 0 ? accept4(listener_, nullptr, nullptr, 0) : -1;
        if (client < 0)
            return;
        ++connections_;
        std::unique_lock lock(mutex_);
        if (dropped_ > 0) {
            --dropped_;
            const linger reset{1, 0};
            setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            close(client);
            return;
        }
        request_.clear();
        char buffer[1024];
        pollfd in{client, POLLIN, 0};
        for (ssize_t n = 0; request_.find("\r\n\r\n") == std::string::npos &&
                            poll(&in, 1, 2000) > 0 && (n = read(client, buffer, sizeof buffer)) > 0;)
            request_.append(buffer, static_cast<size_t>(n));
        const std::string answer = answer_;
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
    std::string answer_, request_;
    int dropped_ = 0, dripMs_ = 0;
    std::thread thread_;
};
