#pragma once

// A one-answer HTTP server on 127.0.0.1 for the update check: every request gets the status
// and body set last. Runs on its own thread until destroyed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class TestHttpServer {
public:
    TestHttpServer()
    {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(listener_, 4) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TestHttpServer()
    {
        stop_ = true;
        thread_.join();
        close(listener_);
    }

    int Port() const { return port_; }
    void Answer(int status, const std::string& body)
    {
        std::lock_guard lock(mutex_);
        status_ = status;
        body_ = body;
    }
    // The last request's head.
    std::string LastRequest()
    {
        std::lock_guard lock(mutex_);
        return request_;
    }

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
            std::string head;
            char buffer[1024];
            pollfd in{client, POLLIN, 0};
            ssize_t n = 0;
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 &&
                   poll(&in, 1, 2000) > 0 && (n = read(client, buffer, sizeof buffer)) > 0)
                head.append(buffer, static_cast<size_t>(n));
            std::lock_guard lock(mutex_);
            request_ = head;
            const std::string answer = "HTTP/1.0 " + std::to_string(status_) +
                                       " Answer\r\nContent-Type: text/plain\r\nContent-Length: " +
                                       std::to_string(body_.size()) + "\r\n\r\n" + body_;
            (void)!write(client, answer.data(), answer.size());
            close(client);
        }
    }

    int listener_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    int status_ = 200;
    std::string body_, request_;
    std::thread thread_;
};
