#pragma once

#include <QString>

#include <functional>

class WebSite;

// Puts a site on the network. Declared in the core so that the command line reaches the HTTP
// front end without standing on it: the definition is the server/ front end's, and a program
// that calls run() links that front end (see docs/ARCHITECTURE.md).
class WebListener {
public:
    // Serves until SIGINT or SIGTERM (requests in flight finish); 0 then, 1 with the reason
    // logged when the address cannot be listened on. One line per request goes to the log,
    // which any thread may call.
    static int run(WebSite& site, const QString& host, int port, const std::function<void(const QString&)>& log);
};
