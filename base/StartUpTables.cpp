#include "base/StartUpTables.h"

#include "base/ResourceStrings.h"

namespace {

QStringList loadTexts(const QList<int>& ids)
{
    QStringList texts;
    texts.reserve(ids.size());
    for (const int id : ids)
        texts.append(LoadResString(id));
    return texts;
}

QList<int> keywordIds()
{
    QList<int> ids;
    for (int i = 0; i < StartUpTables::KeywordCount; ++i)
        ids.append(StartUpTables::FirstKeywordId + i);
    return ids;
}

} // namespace

const QStringList& StartUpTables::Keywords()
{
    static const QStringList keywords = loadTexts(keywordIds());
    return keywords;
}

const QList<int>& StartUpTables::InterfaceNameIds()
{
    // Alphabetical by name, which is not the order of the ids.
    static const QList<int> ids{1130, 1131, 1133, 1132, 1137, 1134, 1135, 1136,
                                1138, 1139, 1140, 1141, 1142, 1143, 1144, 1145};
    return ids;
}

const QStringList& StartUpTables::InterfaceNames()
{
    static const QStringList names = loadTexts(InterfaceNameIds());
    return names;
}

void StartUpTables::Fill()
{
    Keywords();
    InterfaceNames();
}
