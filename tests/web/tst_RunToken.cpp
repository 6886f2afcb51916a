#include "common/TestRegistry.h"

#include "web/RunToken.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QTest>

namespace {
const QByteArray Key = QByteArrayLiteral("0123456789abcdef0123456789abcdef");

RunState sample()
{
    RunState state;
    state.tree = QStringLiteral("laptops");
    state.version = QStringLiteral("00ff00ff00ff00ff");
    state.run = QStringLiteral("run-1");
    state.start = QStringLiteral("Welcome");
    state.steps.append({RunState::Step::Kind::Next, {}});
    state.steps.append({RunState::Step::Kind::Next, {{QStringLiteral("Name"), QString::fromUtf8("<\"Ann\"> & \xC3\xA9\n\x01")},
                                                     {QStringLiteral("Size"), QStringLiteral("13|14")}}});
    state.steps.append({RunState::Step::Kind::Back, {}});
    state.steps.append({RunState::Step::Kind::Finish, {{QStringLiteral("Ok"), QString()}}});
    return state;
}

// A token as the first servers signed it, through a QJsonDocument: tokens already in pages.
QByteArray documentToken(const RunState& state)
{
    QJsonArray steps;
    for (const RunState::Step& step : state.steps) {
        QJsonArray entry{step.kind == RunState::Step::Kind::Back     ? QStringLiteral("B")
                         : step.kind == RunState::Step::Kind::Finish ? QStringLiteral("F")
                                                                      : QStringLiteral("N")};
        for (const auto& [name, value] : step.answers) {
            entry.append(name);
            entry.append(value);
        }
        steps.append(entry);
    }
    const QJsonObject object{{"f", 1}, {"t", state.tree}, {"v", state.version}, {"r", state.run}, {"s", state.start}, {"p", steps}};
    const QByteArray payload = qCompress(QJsonDocument(object).toJson(QJsonDocument::Compact), 6);
    constexpr auto base64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
    return payload.toBase64(base64) + '.'
           + QMessageAuthenticationCode::hash(payload, Key, QCryptographicHash::Sha256).toBase64(base64);
}
} // namespace

// The signed state of a run: read back only as it was signed, with this key.
class TestRunToken : public QObject {
    Q_OBJECT

private slots:
    void readsBackWhatWasSigned()
    {
        const RunState state = sample();
        const std::optional<RunState> read = RunToken::verify(RunToken::sign(state, Key), Key);
        QVERIFY(read);
        QCOMPARE(read->tree, state.tree);
        QCOMPARE(read->version, state.version);
        QCOMPARE(read->run, state.run);
        QCOMPARE(read->start, state.start);
        QCOMPARE(read->steps.size(), state.steps.size());
        for (qsizetype i = 0; i < state.steps.size(); ++i) {
            QCOMPARE(read->steps.at(i).kind, state.steps.at(i).kind);
            QCOMPARE(read->steps.at(i).answers, state.steps.at(i).answers);
        }
    }

    // The state is written without a QJsonDocument, to the very bytes one writes.
    void signsAsADocumentWould_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("Yes");
        QTest::newRow("empty") << QString();
        QTest::newRow("json specials") << QStringLiteral("\"quoted\" back\\slash / </script>");
        QTest::newRow("control characters") << QString::fromUtf8("\b\f\n\r\t\x01\x1f\x7f end");
        QTest::newRow("two and three bytes") << QString::fromUtf8("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xE2\x80\xA8");
        QTest::newRow("four bytes") << QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\x90\x80\x80");
        QTest::newRow("lone surrogates") << (QString(QChar(0xd83d)) + QStringLiteral("x") + QChar(0xde00) + QChar(0xd800));
    }
    void signsAsADocumentWould()
    {
        QFETCH(QString, text);
        RunState state = sample();
        state.start = text;
        state.steps.append({RunState::Step::Kind::Next, {{text, text}, {QStringLiteral("Q"), text}}});
        QCOMPARE(RunToken::sign(state, Key), documentToken(state));
        state.steps.clear();
        QCOMPARE(RunToken::sign(state, Key), documentToken(state));
    }

    void refusesWhatItDidNotSign_data()
    {
        const QByteArray token = RunToken::sign(sample(), Key);
        const qsizetype dot = token.indexOf('.');
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QByteArray>("key");
        QByteArray payloadChanged = token;
        payloadChanged[dot / 2] = payloadChanged.at(dot / 2) == 'A' ? 'B' : 'A';
        QByteArray signatureChanged = token;
        signatureChanged[token.size() - 3] = signatureChanged.at(token.size() - 3) == 'A' ? 'B' : 'A';
        QTest::newRow("payload changed") << payloadChanged << Key;
        QTest::newRow("signature changed") << signatureChanged << Key;
        QTest::newRow("other key") << token << QByteArray("another key of the same length!!");
        QTest::newRow("no key") << token << QByteArray();
        QTest::newRow("signature cut") << token.left(token.size() - 1) << Key;
        QTest::newRow("payload only") << token.left(dot) << Key;
        QTest::newRow("empty") << QByteArray() << Key;
        QTest::newRow("dot") << QByteArray(".") << Key;
        QTest::newRow("not base64") << QByteArray("!!!.???") << Key;
        // Parts swapped between two valid tokens of the same key.
        RunState other = sample();
        other.tree = QStringLiteral("other");
        const QByteArray otherToken = RunToken::sign(other, Key);
        QTest::newRow("spliced") << (token.left(dot) + otherToken.mid(otherToken.indexOf('.'))) << Key;
    }
    void refusesWhatItDidNotSign()
    {
        QFETCH(QByteArray, token);
        QFETCH(QByteArray, key);
        QVERIFY(!RunToken::verify(token, key));
    }

    void refusesSignedPayloadsThatAreNotStates_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("claims too much") << QByteArray("\x7f\xff\xff\xff" "abcdefgh", 12);
        QTest::newRow("not compressed") << QByteArray("\x00\x00\x00\x10" "plain text here!", 20);
        QTest::newRow("not json") << qCompress(QByteArray("[1,2"));
        QTest::newRow("other format") << qCompress(QByteArray("{\"f\":2,\"t\":\"x\"}"));
        QTest::newRow("bad step") << qCompress(QByteArray("{\"f\":1,\"t\":\"x\",\"p\":[[\"Q\"]]}"));
        QTest::newRow("odd answers") << qCompress(QByteArray("{\"f\":1,\"t\":\"x\",\"p\":[[\"N\",\"a\"]]}"));
    }
    void refusesSignedPayloadsThatAreNotStates()
    {
        QFETCH(QByteArray, payload);
        constexpr auto base64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
        const QByteArray token = payload.toBase64(base64) + '.'
                                 + QMessageAuthenticationCode::hash(payload, Key, QCryptographicHash::Sha256).toBase64(base64);
        QVERIFY(!RunToken::verify(token, Key));
    }
};

KV_REGISTER_TEST(TestRunToken)
#include "tst_RunToken.moc"
