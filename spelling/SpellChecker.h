#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// Spelling through a Hunspell dictionary (<language>.aff and <language>.dic), with the user's
// own word list beside it. A checker without a dictionary says why (Problem) and calls every
// word correct, so nothing that uses it has to stop.
class SpellChecker {
public:
    struct Span {
        int start = 0;
        int length = 0;
        bool operator==(const Span&) const = default;
    };

    SpellChecker();
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    // The folders the desktop keeps dictionaries in, the user's own first.
    static QStringList DefaultFolders();
    // The desktop's language, as dictionaries are named ("en_US").
    static QString DefaultLanguage();
    // The user's word list in the per-user data folder.
    static QString DefaultWordListPath();
    // The names of the dictionaries the folders hold, each once, the first folder's first.
    static QStringList Dictionaries(const QStringList& folders);

    // Takes the dictionary of the language, else one of the same language of another country,
    // else en_US, else the first one found. False, with the reason in Problem, when there is none.
    bool Load(const QString& language, const QStringList& folders, const QString& wordListPath);
    bool LoadDefault();
    bool IsLoaded() const { return m_hunspell != nullptr; }
    const QString& Problem() const { return m_problem; }
    // The dictionary's name, "en_US" say; empty without one.
    const QString& Language() const { return m_language; }

    bool IsCorrect(const QString& word) const;
    QStringList Suggest(const QString& word) const;
    // Counts the word as correct until the checker goes.
    void Ignore(const QString& word);
    // Adds the word to the user's word list for good; false when the list cannot be written.
    bool AddWord(const QString& word);

    // The words of a text worth checking: runs of letters (with apostrophes inside), leaving out
    // those joined to digits or underscores, words in capitals only, references [[...]], the
    // tags <B> <I> <U> and their ends, web and mail addresses.
    static QList<Span> Words(const QString& text);
    QList<Span> UnknownWords(const QString& text) const;

private:
    std::string encode(const QString& word) const;
    QString decode(const std::string& word) const;
    // The user's words, read as a regular file within the dictionary's size limit; none when
    // there is no list, false when one is there but cannot be read.
    bool readWords(QStringList& words) const;
    void readWordList();

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_latin1 = false;
    QString m_language;
    QString m_problem;
    QString m_wordListPath;
    QSet<QString> m_ignored;
};
