#include "GoldenFile.h"

#include <QDir>
#include <QFile>

namespace GoldenFile {

bool matches(const QString& name, const QByteArray& actual, QString& message)
{
    const QString path = QDir(QStringLiteral(KV_TEST_DATA_DIR)).filePath(name);
    if (qEnvironmentVariableIntValue("KV_WRITE_GOLDEN") == 1) {
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(actual);
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        message = QStringLiteral("no golden file %1").arg(path);
        return false;
    }
    const QByteArray expected = in.readAll();
    if (expected == actual)
        return true;
    qsizetype at = 0;
    while (at < expected.size() && at < actual.size() && expected.at(at) == actual.at(at))
        ++at;
    message = QStringLiteral("%1 differs at byte %2: expected \"%3\", got \"%4\"")
                  .arg(name)
                  .arg(at)
                  .arg(QString::fromUtf8(expected.mid(at, 60)), QString::fromUtf8(actual.mid(at, 60)));
    return false;
}

} // namespace GoldenFile
