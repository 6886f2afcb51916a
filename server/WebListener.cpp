#include "web/WebListener.h"

#include "base/ResourceStrings.h"
#include "server/HttpFront.h"
#include "web/WebSite.h"

#include <malloc.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <thread>

namespace {
constexpr int ServingId = 35050;
constexpr int CannotListenId = 35051;
constexpr int AddressInUseId = 35052;
constexpr int StoppedId = 35053;
} // namespace

int WebListener::run(WebSite& site, const QString& host, int port, const std::function<void(const QString&)>& log)
{
    // Each of the many server threads would otherwise get a malloc arena of its own, and memory a
    // dropped engine freed in one stays held there: a few arenas keep the process near what the
    // kept engines need.
    mallopt(M_ARENA_MAX, static_cast<int>(std::max(2u, 2 * std::thread::hardware_concurrency())));
    // The signals are waited for here, so every thread the server starts must block them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);

    HttpFront front(site, log);
    QString reason;
    if (!front.bind(host, port, reason)) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        log(LoadResString(CannotListenId).arg(host).arg(port).arg(reason.isEmpty() ? LoadResString(AddressInUseId) : reason));
        return 1;
    }
    log(LoadResString(ServingId).arg(site.names().join(QLatin1String(", ")), host).arg(port));
    std::thread serving([&front] { front.serve(); });
    // Trees replaced on disk are read again here, between the waits for a stop signal.
    const timespec wait{1, 0};
    while (sigtimedwait(&stopSignals, nullptr, &wait) < 0)
        site.refresh();
    front.stop();
    serving.join();
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    log(LoadResString(StoppedId));
    return 0;
}
