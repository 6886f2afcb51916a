#include "base/ResourceStrings.h"

#include <QDir>
#include <QFile>

namespace {

QString unescape(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            result += c;
            continue;
        }
        const QChar next = text.at(++i);
        switch (next.unicode()) {
        case 't': result += QLatin1Char('\t'); break;
        case 'r': result += QLatin1Char('\r'); break;
        case 'n': result += QLatin1Char('\n'); break;
        default: result += next; break;
        }
    }
    return result;
}

} // namespace

const ResourceStrings& ResourceStrings::instance()
{
    static const ResourceStrings table;
    return table;
}

ResourceStrings::ResourceStrings()
{
    for (const QString& path : tablePaths()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_texts.insert(parse(QString::fromUtf8(file.readAll())));
    }
}

QStringList ResourceStrings::tablePaths()
{
    QStringList paths{QStringLiteral(":/strings.tsv")};
    const QDir folder(QStringLiteral(":/strings"));
    for (const QString& name : folder.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
        paths << folder.filePath(name);
    return paths;
}

QHash<int, QString> ResourceStrings::parse(const QString& table)
{
    QHash<int, QString> texts;
    for (QStringView line : QStringView(table).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            texts.insert(id, unescape(line.mid(tab + 1)));
    }
    return texts;
}

QString LoadResString(int id)
{
    return ResourceStrings::instance().text(id);
}
