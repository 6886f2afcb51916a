#include "spelling/SpellChecker.h"

#include "base/ResourceStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <hunspell/hunspell.hxx>

namespace {

constexpr int NoDictionaryId = 33730;
constexpr int NoFoldersId = 33731;

const QString FallbackLanguage = QStringLiteral("en_US");

// A dictionary is a pair of files; its name is their base name.
QStringList dictionariesIn(const QStringList& folders)
{
    QStringList names;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo& aff : dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files, QDir::Name)) {
            const QString name = aff.completeBaseName();
            if (dir.exists(name + QLatin1String(".dic")) && !names.contains(name))
                names.append(name);
        }
    }
    return names;
}

QString pathOf(const QStringList& folders, const QString& name, const QString& extension)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name + extension);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

QString choose(const QStringList& available, const QString& language)
{
    if (available.contains(language))
        return language;
    const QString prefix = language.section(QLatin1Char('_'), 0, 0) + QLatin1Char('_');
    for (const QString& name : available) {
        if (name.startsWith(prefix))
            return name;
    }
    return available.contains(FallbackLanguage) ? FallbackLanguage : available.value(0);
}

// What is never a word to check; blanked out before the words are read.
const QRegularExpression& skipped()
{
    static const QRegularExpression pattern(
        QStringLiteral("\\[\\[.*?\\]\\]|</?[BIUbiu]>|\\\\<|\\b(?:https?|ftp)://\\S+|\\bwww\\.\\S+|\\S+@\\S+\\.\\S+"));
    return pattern;
}

bool apostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

bool letter(QChar c)
{
    return c.isLetter() || c.isMark();
}

bool joiner(QChar c)
{
    return c.isDigit() || c == QLatin1Char('_');
}

} // namespace

SpellChecker::SpellChecker() = default;
SpellChecker::~SpellChecker() = default;

QStringList SpellChecker::DefaultFolders()
{
    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders.append(QDir(data).filePath(QStringLiteral("hunspell")));
        folders.append(QDir(data).filePath(QStringLiteral("myspell")));
        folders.append(QDir(data).filePath(QStringLiteral("myspell/dicts")));
    }
    folders.removeDuplicates();
    return folders;
}

QString SpellChecker::DefaultLanguage()
{
    return QLocale::system().name();
}

QString SpellChecker::DefaultWordListPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("words.txt"));
}

QStringList SpellChecker::Dictionaries(const QStringList& folders)
{
    return dictionariesIn(folders);
}

bool SpellChecker::Load(const QString& language, const QStringList& folders, const QString& wordListPath)
{
    m_hunspell.reset();
    m_language.clear();
    m_ignored.clear();
    m_wordListPath = wordListPath;
    const QStringList available = dictionariesIn(folders);
    if (available.isEmpty()) {
        m_problem = folders.isEmpty() ? LoadResString(NoFoldersId)
                                      : LoadResString(NoDictionaryId).arg(QDir::toNativeSeparators(folders.join(QStringLiteral(", "))));
        return false;
    }
    const QString name = choose(available, language);
    const QByteArray aff = QFile::encodeName(pathOf(folders, name, QStringLiteral(".aff")));
    const QByteArray dic = QFile::encodeName(pathOf(folders, name, QStringLiteral(".dic")));
    m_hunspell = std::make_unique<Hunspell>(aff.constData(), dic.constData());
    const QString encoding = QString::fromStdString(m_hunspell->get_dict_encoding()).toUpper();
    m_latin1 = encoding == QLatin1String("ISO8859-1") || encoding == QLatin1String("ISO-8859-1");
    m_language = name;
    m_problem.clear();
    readWordList();
    return true;
}

bool SpellChecker::LoadDefault()
{
    return Load(DefaultLanguage(), DefaultFolders(), DefaultWordListPath());
}

void SpellChecker::readWordList()
{
    QFile file(m_wordListPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString word = in.readLine().trimmed();
        if (!word.isEmpty())
            m_hunspell->add(encode(word));
    }
}

std::string SpellChecker::encode(const QString& word) const
{
    return m_latin1 ? word.toLatin1().toStdString() : word.toUtf8().toStdString();
}

QString SpellChecker::decode(const std::string& word) const
{
    return m_latin1 ? QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()))
                    : QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
}

bool SpellChecker::IsCorrect(const QString& word) const
{
    if (!m_hunspell || m_ignored.contains(word))
        return true;
    // A word that the dictionary's own encoding cannot hold is not one it can judge.
    if (m_latin1 && decode(encode(word)) != word)
        return true;
    return m_hunspell->spell(encode(word));
}

QStringList SpellChecker::Suggest(const QString& word) const
{
    QStringList suggestions;
    if (!m_hunspell)
        return suggestions;
    for (const std::string& suggestion : m_hunspell->suggest(encode(word)))
        suggestions.append(decode(suggestion));
    return suggestions;
}

void SpellChecker::Ignore(const QString& word)
{
    m_ignored.insert(word);
}

bool SpellChecker::AddWord(const QString& word)
{
    QStringList words;
    QFile existing(m_wordListPath);
    if (existing.open(QIODevice::ReadOnly | QIODevice::Text))
        words = QString::fromUtf8(existing.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    existing.close();
    if (!words.contains(word))
        words.append(word);
    QDir().mkpath(QFileInfo(m_wordListPath).absolutePath());
    QSaveFile file(m_wordListPath);
    if (m_wordListPath.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Text) ||
        file.write((words.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0 || !file.commit())
        return false;
    if (m_hunspell)
        m_hunspell->add(encode(word));
    return true;
}

QList<SpellChecker::Span> SpellChecker::Words(const QString& text)
{
    QString plain = text;
    for (auto match = skipped().globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        plain.replace(found.capturedStart(), found.capturedLength(), QString(found.capturedLength(), QLatin1Char(' ')));
    }
    QList<Span> words;
    const int size = static_cast<int>(plain.size());
    int i = 0;
    while (i < size) {
        if (!letter(plain.at(i))) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < size && (letter(plain.at(i)) ||
                            (apostrophe(plain.at(i)) && i + 1 < size && letter(plain.at(i + 1)) && i > start)))
            ++i;
        const bool joined = (start > 0 && joiner(plain.at(start - 1))) || (i < size && joiner(plain.at(i)));
        const QString word = plain.mid(start, i - start);
        const bool capitals = word.size() > 1 && word == word.toUpper();
        if (!joined && !capitals)
            words.append({start, i - start});
        // The rest of a run joined to digits is no word either.
        while (joined && i < size && (letter(plain.at(i)) || joiner(plain.at(i))))
            ++i;
    }
    return words;
}

QList<SpellChecker::Span> SpellChecker::UnknownWords(const QString& text) const
{
    QList<Span> unknown;
    if (!m_hunspell)
        return unknown;
    for (const Span& span : Words(text)) {
        if (!IsCorrect(text.mid(span.start, span.length)))
            unknown.append(span);
    }
    return unknown;
}
