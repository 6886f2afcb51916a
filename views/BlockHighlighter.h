#pragma once

#include <QHash>
#include <QSyntaxHighlighter>

// Colours the advanced editor's lines by what each part is (keywords, references, texts,
// numbers, what is left out) and underlines the lines the check found fault with.
class BlockHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    explicit BlockHighlighter(QTextDocument* document);

    // 0-based line to whether the worst finding there is an error.
    void setFindings(const QHash<int, bool>& findings);

protected:
    void highlightBlock(const QString& text) override;

private:
    QHash<int, bool> m_findings;
};
