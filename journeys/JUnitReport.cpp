#include "journeys/JUnitReport.h"

#include "persist/FileBytes.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace JUnitReport {
namespace {

QString seconds(double value)
{
    return QString::number(value, 'f', 3);
}
} // namespace

QByteArray xml(const QString& suite, const QList<Case>& cases)
{
    const auto failures = std::count_if(cases.cbegin(), cases.cend(), [](const Case& each) { return !each.result.passed; });
    double total = 0;
    for (const Case& each : cases)
        total += each.seconds;

    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(cases.size()));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), seconds(total));
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), suite);
    xml.writeAttribute(QStringLiteral("tests"), QString::number(cases.size()));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("skipped"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), seconds(total));
    for (const Case& each : cases) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("name"), each.result.name);
        xml.writeAttribute(QStringLiteral("classname"), suite);
        xml.writeAttribute(QStringLiteral("time"), seconds(each.seconds));
        if (!each.result.passed) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), each.result.difference);
            xml.writeCharacters(each.result.transcript.join(QLatin1Char('\n')));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

StorageResult write(const QString& path, const QString& suite, const QList<Case>& cases, const QStringList& inputs)
{
    FileBytes::WriteOptions options;
    options.inputs = inputs;
    return FileBytes::write(path, xml(suite, cases), options);
}

} // namespace JUnitReport
