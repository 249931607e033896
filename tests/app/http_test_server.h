#pragma once

// An HTTP server on 127.0.0.1 for the update check, on its own thread until destroyed. Every
// request gets the status and body set last; the first dropped connections are reset unanswered,
// and with a drip the answer goes out one byte per dripMs. Not listening, it refuses connections.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
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
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        if (listening && listen(listener_, 4) == 0)
            thread_ = std::thread([this] { Serve(); });
    }
    ~TestHttpServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        close(listener_);
    }

    int Port() const { return port_; }
    void Answer(int status, const std::string& body, int dropped = 0, int dripMs = 0)
    {
        std::lock_guard lock(mutex_);
        answer_ = "HTTP/1.0 " + std::to_string(status) + " Answer\r\nContent-Type: text/plain\r\n"
                  "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        dropped_ = dropped;
        dripMs_ = dripMs;
    }
    // The last request's head, and the connections accepted so far.
    std::string LastRequest()
    {
        std::lock_guard lock(mutex_);
        return request_;
    }
    int Connections() const { return connections_; }

private:
    void Serve()
    {
        while (!stop_) {
            pollfd wait{listener_, POLLIN, 0};
            if (poll(&wait, 1, 50) <= 0)
                continue;
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ++connections_;
            std::unique_lock lock(mutex_);
            if (dropped_ > 0) {
                --dropped_;
                const linger reset{1, 0};
                setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                close(client);
                continue;
            }
            std::string head;
            char buffer[1024];
            pollfd in{client, POLLIN, 0};
            ssize_t n = 0;
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
                   poll(&in, 1, 2000) > 0 && (n = read(client, buffer, sizeof buffer)) > 0)
                head.append(buffer, static_cast<size_t>(n));
            request_ = head;
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
    }

    int listener_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::string answer_ = "HTTP/1.0 200 Answer\r\n\r\n", request_;
    int dropped_ = 0, dripMs_ = 0;
    std::thread thread_;
};
