#pragma once

#include "cli/CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>

// One command line run in this process, with what it wrote and its exit code.
namespace CliRun {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

inline Outcome run(const QStringList& args)
{
    Outcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.code = CommandLine().run(args, out, err);
    return outcome;
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeFile(const QString& path, const QString& text)
{
    return writeFile(path, text.toUtf8());
}

inline bool writeFile(const QString& path, const char* bytes)
{
    return writeFile(path, QByteArray(bytes));
}

// A PDF file's text, as pdftotext reads it.
inline QString pdfText(const QString& pdfPath)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdfPath, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The sample project, as the build makes it, at path.
inline bool makeSample(const QString& path)
{
    return run({QStringLiteral("from-rules"), QStringLiteral(KV_SOURCE_DIR "/examples/laptop-selector.rules"),
                QStringLiteral("-o"), path}).code == 0
           && run({QStringLiteral("selector"), QStringLiteral("import"), path,
                   QStringLiteral(KV_SOURCE_DIR "/examples/laptops.csv")}).code == 0;
}

} // namespace CliRun
