#include "base/AccessKey.h"

#include "base/ResourceStrings.h"

QString WithoutAccessKey(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        // "&x" shows x underlined and "&&" a plain "&": either way the next character stays.
        if (caption.at(i) == QLatin1Char('&'))
            ++i;
        if (i < caption.size())
            plain.append(caption.at(i));
    }
    return plain;
}

QString LoadResPlainString(int id)
{
    return WithoutAccessKey(LoadResString(id));
}
