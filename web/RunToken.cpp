#include "web/RunToken.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>

#include <utility>

namespace {

constexpr auto Base64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
constexpr int FormatVersion = 1;

QByteArray mac(const QByteArray& payload, const QByteArray& key)
{
    return QMessageAuthenticationCode::hash(payload, key, QCryptographicHash::Sha256);
}

// Compares in time that does not depend on where the first difference is.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

char kindLetter(RunState::Step::Kind kind)
{
    switch (kind) {
    case RunState::Step::Kind::Back: return 'B';
    case RunState::Step::Kind::Finish: return 'F';
    default: return 'N';
    }
}

// Appends a JSON string as Qt's compact writer spells it (so a state signs to the same bytes):
// quote, backslash and control characters escaped, the rest UTF-8, a lone surrogate as \u.
void appendJsonString(QByteArray& out, QStringView text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    const auto escapeUnit = [&out](char16_t unit) {
        out.append("\\u", 2);
        for (int shift = 12; shift >= 0; shift -= 4)
            out.append(Hex[(unit >> shift) & 0xf]);
    };
    out.append('"');
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0x20 && unit < 0x80 && unit != '"' && unit != '\\') {
            out.append(static_cast<char>(unit));
            continue;
        }
        switch (unit) {
        case '"': out.append("\\\"", 2); continue;
        case '\\': out.append("\\\\", 2); continue;
        case '\b': out.append("\\b", 2); continue;
        case '\f': out.append("\\f", 2); continue;
        case '\n': out.append("\\n", 2); continue;
        case '\r': out.append("\\r", 2); continue;
        case '\t': out.append("\\t", 2); continue;
        default: break;
        }
        char32_t code = unit;
        if (unit < 0x20) {
            escapeUnit(unit);
            continue;
        }
        if (QChar::isSurrogate(unit)) {
            if (!QChar::isHighSurrogate(unit) || i + 1 == size || !QChar::isLowSurrogate(text.at(i + 1).unicode())) {
                escapeUnit(unit);
                continue;
            }
            code = QChar::surrogateToUcs4(unit, text.at(++i).unicode());
        }
        if (code < 0x800) {
            out.append(static_cast<char>(0xc0 | (code >> 6)));
        } else if (code < 0x10000) {
            out.append(static_cast<char>(0xe0 | (code >> 12)));
            out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        } else {
            out.append(static_cast<char>(0xf0 | (code >> 18)));
            out.append(static_cast<char>(0x80 | ((code >> 12) & 0x3f)));
            out.append(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
        }
        out.append(static_cast<char>(0x80 | (code & 0x3f)));
    }
    out.append('"');
}

// Written directly, with the keys in the order Qt sorts them: a QJsonDocument built for the whole
// run cost more than the rest of the token.
QByteArray toJson(const RunState& state)
{
    QByteArray out;
    qsizetype estimate = 64 + state.tree.size() + state.version.size() + state.run.size() + state.start.size();
    for (const RunState::Step& step : state.steps) {
        estimate += 8;
        for (const auto& [name, value] : step.answers)
            estimate += name.size() + value.size() + 6;
    }
    out.reserve(estimate);
    out.append("{\"f\":");
    out.append(QByteArray::number(FormatVersion));
    out.append(",\"p\":[");
    for (qsizetype i = 0; i < state.steps.size(); ++i) {
        const RunState::Step& step = state.steps.at(i);
        out.append(i == 0 ? "[\"" : ",[\"");
        out.append(kindLetter(step.kind));
        out.append('"');
        for (const auto& [name, value] : step.answers) {
            out.append(',');
            appendJsonString(out, name);
            out.append(',');
            appendJsonString(out, value);
        }
        out.append(']');
    }
    out.append("],\"r\":");
    appendJsonString(out, state.run);
    out.append(",\"s\":");
    appendJsonString(out, state.start);
    out.append(",\"t\":");
    appendJsonString(out, state.tree);
    out.append(",\"v\":");
    appendJsonString(out, state.version);
    out.append('}');
    return out;
}

std::optional<RunState> fromJson(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    if (object.value(QStringLiteral("f")).toInt() != FormatVersion)
        return std::nullopt;
    RunState state;
    state.tree = object.value(QStringLiteral("t")).toString();
    state.version = object.value(QStringLiteral("v")).toString();
    state.run = object.value(QStringLiteral("r")).toString();
    state.start = object.value(QStringLiteral("s")).toString();
    const QJsonArray steps = object.value(QStringLiteral("p")).toArray();
    state.steps.reserve(steps.size());
    for (const QJsonValue& value : steps) {
        const QJsonArray entry = value.toArray();
        if (entry.isEmpty() || entry.size() % 2 != 1)
            return std::nullopt;
        RunState::Step step;
        const QString kind = entry.at(0).toString();
        if (kind == QLatin1String("B"))
            step.kind = RunState::Step::Kind::Back;
        else if (kind == QLatin1String("F"))
            step.kind = RunState::Step::Kind::Finish;
        else if (kind != QLatin1String("N"))
            return std::nullopt;
        step.answers.reserve(entry.size() / 2);
        for (qsizetype i = 1; i + 1 < entry.size(); i += 2)
            step.answers.append({entry.at(i).toString(), entry.at(i + 1).toString()});
        state.steps.append(std::move(step));
    }
    return state;
}

} // namespace

QByteArray RunToken::sign(const RunState& state, const QByteArray& key)
{
    const QByteArray payload = qCompress(toJson(state), 6);
    return payload.toBase64(Base64) + '.' + mac(payload, key).toBase64(Base64);
}

std::optional<RunState> RunToken::verify(const QByteArray& token, const QByteArray& key)
{
    const qsizetype dot = token.indexOf('.');
    if (dot <= 0 || key.isEmpty())
        return std::nullopt;
    const auto payload = QByteArray::fromBase64Encoding(token.left(dot), Base64 | QByteArray::AbortOnBase64DecodingErrors);
    const auto signature =
        QByteArray::fromBase64Encoding(token.mid(dot + 1), Base64 | QByteArray::AbortOnBase64DecodingErrors);
    if (!payload || !signature || !sameBytes(mac(payload.decoded, key), signature.decoded))
        return std::nullopt;
    // Signed by this server, so the size it claims is ours; checked all the same.
    const QByteArray& bytes = payload.decoded;
    if (bytes.size() < 4)
        return std::nullopt;
    const quint32 claimed = (quint32(quint8(bytes.at(0))) << 24) | (quint32(quint8(bytes.at(1))) << 16)
                            | (quint32(quint8(bytes.at(2))) << 8) | quint32(quint8(bytes.at(3)));
    if (claimed > MaxStateBytes)
        return std::nullopt;
    return fromJson(qUncompress(bytes));
}

QByteArray RunToken::signature(const QByteArray& token)
{
    return token.mid(token.indexOf('.') + 1);
}
