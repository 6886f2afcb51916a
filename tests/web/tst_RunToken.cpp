#include "common/TestRegistry.h"

#include "web/RunToken.h"

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
