#pragma once

#include "web/RunState.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A run's state as it travels in the page: the state, compressed, and its HMAC-SHA256 under the
// server's key, both in URL-safe base64 joined by ".". Only a token this key signed is read back.
class RunToken {
public:
    static QByteArray sign(const RunState& state, const QByteArray& key);
    // The state, or nothing when the token was changed, signed with another key or is not a token.
    static std::optional<RunState> verify(const QByteArray& token, const QByteArray& key);
    // The signature part, a short key for a cache of runs.
    static QByteArray signature(const QByteArray& token);

    // Largest decompressed state accepted; a signed token never comes near it.
    static constexpr qsizetype MaxStateBytes = 4 * 1024 * 1024;
};
