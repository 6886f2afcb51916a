#include "cli/ConsolePrompt.h"

#include <QTextStream>

PromptAnswer ConsolePrompt::MessageBox(const QString& text, const QString&, PromptButtons buttons, PromptIcon)
{
    m_err << text << '\n';
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;
    }
}
