#include "server/HttpFront.h"

#include "web/WebRequest.h"
#include "web/WebResponse.h"
#include "web/WebSite.h"

#include <httplib.h>

#include <QElapsedTimer>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace {

// Set before each request's handlers on the thread that serves it, read by the log line.
thread_local QElapsedTimer requestTimer;

const httplib::Headers& securityHeaders()
{
    static const httplib::Headers headers{
        {"Content-Security-Policy",
         "default-src 'none'; img-src 'self'; style-src 'self'; form-action 'self' http: https:; "
         "base-uri 'none'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "same-origin"},
        {"X-Frame-Options", "DENY"},
    };
    return headers;
}

std::string errorPage(int status)
{
    const std::string code = std::to_string(status);
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + code
           + "</title></head><body><p>HTTP " + code + "</p></body></html>\n";
}

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

struct HttpFront::Impl {
    WebSite& site;
    Log log;
    httplib::Server server;

    Impl(WebSite& s, Log l) : site(s), log(std::move(l)) {}

    void handle(const httplib::Request& request, httplib::Response& response) const
    {
        if (request.params.size() + request.files.size() > MaxFields) {
            response.status = 413;
            return;
        }
        WebRequest webRequest;
        webRequest.method = QByteArray::fromStdString(request.method);
        webRequest.path = fromStd(request.path);
        for (const auto& [name, value] : request.params)
            webRequest.fields.append({fromStd(name), fromStd(value)});
        for (const auto& [name, part] : request.files)
            webRequest.fields.append({fromStd(name), fromStd(part.content)});
        const WebResponse answer = site.handle(webRequest);
        response.status = answer.status;
        for (const auto& [name, value] : answer.headers)
            response.set_header(name.toStdString(), value.toStdString());
        if (answer.contentType.startsWith("text/html"))
            response.set_header("Cache-Control", "no-store");
        response.set_content(answer.body.toStdString(), answer.contentType.toStdString());
    }
};

HttpFront::HttpFront(WebSite& site, Log log) : m_impl(std::make_unique<Impl>(site, std::move(log)))
{
    httplib::Server& server = m_impl->server;
    // A kept-alive connection holds its thread until it closes, so there are threads for many
    // connections; only as many as there are cores run at once.
    server.new_task_queue = [] { return new httplib::ThreadPool(Threads); };
    server.set_payload_max_length(MaxBody);
    server.set_read_timeout(Timeout);
    server.set_write_timeout(Timeout);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(100);
    server.set_default_headers(securityHeaders());
    // The library's default also shares the port with any other process (SO_REUSEPORT): a port
    // in use must be refused instead. Without TCP_NODELAY (inherited by the accepted sockets) a
    // response written in two parts waits for the client's delayed acknowledgement, 40 ms.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    });
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        requestTimer.start();
        if (request.method != "GET" && request.method != "POST") {
            response.status = 405;
            response.set_header("Allow", "GET, POST");
            return httplib::Server::HandlerResponse::Handled;
        }
        std::size_t headerBytes = 0;
        for (const auto& [name, value] : request.headers)
            headerBytes += name.size() + value.size() + 4;
        if (headerBytes > MaxHeaderBlock) {
            response.status = 431;
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    const auto handler = [impl = m_impl.get()](const httplib::Request& request, httplib::Response& response) {
        impl->handle(request, response);
    };
    server.Get(".*", handler);
    server.Post(".*", handler);
    server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        response.set_content(errorPage(response.status), "text/html; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    }));
    server.set_logger([impl = m_impl.get()](const httplib::Request& request, const httplib::Response& response) {
        const double ms = requestTimer.isValid() ? double(requestTimer.nsecsElapsed()) / 1e6 : 0.0;
        requestTimer.invalidate();
        if (impl->log)
            impl->log(QStringLiteral("%1 %2 %3 %4 ms")
                          .arg(fromStd(request.method), fromStd(request.path))
                          .arg(response.status)
                          .arg(ms, 0, 'f', 2));
    });
}

HttpFront::~HttpFront() = default;

bool HttpFront::bind(const QString& host, int port, QString& reason)
{
    errno = 0;
    if (m_impl->server.bind_to_port(host.toStdString(), port))
        return true;
    reason = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QString();
    return false;
}

void HttpFront::serve()
{
    m_impl->server.listen_after_bind();
}

void HttpFront::stop()
{
    m_impl->server.stop();
}
