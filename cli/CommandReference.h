#pragma once

#include <QString>
#include <vector>

class CliCommand;
class QTextStream;

// The reference of the command line, made from the commands' own names, summaries and usages,
// so that --help, the help page and the manual page never tell different stories.
class CommandReference {
public:
    enum class Format { Text, Html, Manual };

    explicit CommandReference(const std::vector<const CliCommand*>& commands) : m_commands(commands) {}

    // "text", "html" or "man"; nothing for another word.
    static bool FormatNamed(const QString& word, Format& format);

    void write(Format format, QTextStream& out) const;
    // The Designer's own manual page (it has no command table of its own).
    static void writeDesignerManual(QTextStream& out);

private:
    void writeText(QTextStream& out) const;
    void writeHtml(QTextStream& out) const;
    void writeManual(QTextStream& out) const;

    std::vector<const CliCommand*> m_commands;
};
