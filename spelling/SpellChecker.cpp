#include "spelling/SpellChecker.h"

#include "base/ResourceStrings.h"
#include "persist/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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
    // Hunspell opens the files it is given and reads them to the end: it gets private copies
    // of what was read as regular files within the dictionary's size limit, never a pipe or a
    // device that a hostile folder put at a dictionary's name.
    const QTemporaryDir copies;
    if (!copies.isValid()) {
        m_problem = copies.errorString();
        return false;
    }
    QByteArray paths[2];
    for (int i = 0; i < 2; ++i) {
        const QString extension = i == 0 ? QStringLiteral(".aff") : QStringLiteral(".dic");
        QByteArray bytes;
        if (const StorageResult read = FileBytes::read(pathOf(folders, name, extension), bytes, FileBytes::Input::Dictionary); !read) {
            m_problem = read.message;
            return false;
        }
        const QString copy = copies.filePath(QStringLiteral("dictionary") + extension);
        QFile file(copy);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
            m_problem = file.errorString();
            return false;
        }
        paths[i] = QFile::encodeName(copy);
    }
    m_hunspell = std::make_unique<Hunspell>(paths[0].constData(), paths[1].constData());
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

bool SpellChecker::readWords(QStringList& words) const
{
    words.clear();
    QString text;
    if (const StorageResult read = FileBytes::readText(m_wordListPath, text, FileBytes::Input::Dictionary); !read)
        return read.kind == StorageErrorKind::NotFound;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (const QString word = line.trimmed(); !word.isEmpty())
            words.append(word);
    }
    return true;
}

void SpellChecker::readWordList()
{
    QStringList words;
    if (m_wordListPath.isEmpty() || !readWords(words))
        return;
    for (const QString& word : words)
        m_hunspell->add(encode(word));
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
    // A list that is there but cannot be read is not written over.
    if (m_wordListPath.isEmpty() || !readWords(words))
        return false;
    if (!words.contains(word))
        words.append(word);
    QDir().mkpath(QFileInfo(m_wordListPath).absolutePath());
    if (!FileBytes::write(m_wordListPath, (words.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()))
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
