#include "XmlReaders.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

namespace XmlReaders {

namespace {

bool run(const QString& program, const QStringList& arguments, QByteArray& out, QByteArray& err)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return false;
    out = process.readAllStandardOutput();
    err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

QString XmlLint(const QString& path, bool& skipped)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    skipped = program.isEmpty();
    if (skipped)
        return QString();
    QByteArray out;
    QByteArray err;
    if (run(program, {QStringLiteral("--noout"), path}, out, err) && err.isEmpty())
        return QString();
    return QStringLiteral("xmllint rejects %1: %2").arg(path, QString::fromUtf8(err));
}

QJsonObject PythonRead(const QString& path, bool& skipped, QString& message)
{
    // The system's own interpreter starts faster than a version manager's shim in front of it.
    QString program = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("python3"));
    skipped = program.isEmpty();
    if (skipped)
        return {};
    const QString script = QDir(QStringLiteral(KV_TEST_DATA_DIR)).filePath(QStringLiteral("read_kvw.py"));
    QByteArray out;
    QByteArray err;
    if (!run(program, {script, path}, out, err)) {
        message = QStringLiteral("xml.etree rejects %1: %2").arg(path, QString::fromUtf8(err));
        return {};
    }
    return QJsonDocument::fromJson(out).object();
}

} // namespace XmlReaders
