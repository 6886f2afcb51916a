#include "web/RunToken.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>

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

QChar kindLetter(RunState::Step::Kind kind)
{
    switch (kind) {
    case RunState::Step::Kind::Back: return QLatin1Char('B');
    case RunState::Step::Kind::Finish: return QLatin1Char('F');
    default: return QLatin1Char('N');
    }
}

QByteArray toJson(const RunState& state)
{
    QJsonArray steps;
    for (const RunState::Step& step : state.steps) {
        QJsonArray entry{QString(kindLetter(step.kind))};
        for (const auto& [name, value] : step.answers) {
            entry.append(name);
            entry.append(value);
        }
        steps.append(entry);
    }
    const QJsonObject object{{QStringLiteral("f"), FormatVersion},    {QStringLiteral("t"), state.tree},
                             {QStringLiteral("v"), state.version},   {QStringLiteral("r"), state.run},
                             {QStringLiteral("s"), state.start},     {QStringLiteral("p"), steps}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
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
    for (const QJsonValue& value : object.value(QStringLiteral("p")).toArray()) {
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
        for (qsizetype i = 1; i + 1 < entry.size(); i += 2)
            step.answers.append({entry.at(i).toString(), entry.at(i + 1).toString()});
        state.steps.append(step);
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
