#pragma once

#include <QString>

// The project's settings for the web tree file. They travel with the document until the
// compiler that uses them takes them over.
struct KvwSettings {
    bool AutoDetermineURL = false;
    bool EarlyFinish = false;
    QString HostUrl;
    QString Template;

    bool operator==(const KvwSettings&) const = default;
};
