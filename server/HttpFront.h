#pragma once

#include <QString>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

class WebSite;

// An HTTP/1.1 server (cpp-httplib) in front of a site: it refuses what the site must never see
// (methods other than GET and POST, bodies over 64 KB, header blocks over 16 KB, more than 500
// fields, slow clients), adds the security headers to every answer and logs one line per request.
class HttpFront {
public:
    static constexpr std::size_t MaxBody = 64 * 1024;
    static constexpr std::size_t MaxHeaderBlock = 16 * 1024;
    static constexpr std::size_t MaxFields = 500;
    static constexpr std::chrono::seconds Timeout{5};
    static constexpr std::size_t Threads = 64;

    using Log = std::function<void(const QString& line)>;

    HttpFront(WebSite& site, Log log);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds the address; the reason when it cannot.
    bool bind(const QString& host, int port, QString& reason);
    // Serves until stop() is called from another thread.
    void serve();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
