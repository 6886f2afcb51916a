#include "validate/ReferenceChecker.h"

#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "validate/ControlDependencies.h"
#include "validate/IValidationLog.h"
#include "lang/ReferenceWalk.h"
#include "model/CmDecisionManager.h"

namespace {

constexpr int invalidControlId = 12504;
constexpr int invalidSelectorId = 12505;
constexpr int invalidPropertyId = 12506;
constexpr int invalidItemId = 12507;
constexpr int finishLinkOnDesktopId = 12532;

} // namespace

ReferenceChecker::ReferenceChecker(const CmDecisionManager& decisions, const ISelectorCatalog& selectors,
                                   IValidationLog& log)
    : m_decisions(decisions), m_selectors(selectors), m_log(log)
{
}

bool ReferenceChecker::ValidateRefs(const QString& location, const QString& text)
{
    bool valid = true;
    for (const ReferenceWalk::Reference& reference : ReferenceWalk::Find(text)) {
        const bool known = reference.kind == ReferenceWalk::Reference::Kind::Control
                               ? ValidateDecisionRef(location, reference.text)
                               : ValidateCLRef(location, reference.text);
        valid = valid && known;
    }
    return valid;
}

bool ReferenceChecker::ValidateDecisionRef(const QString& location, const QString& name)
{
    const QString trimmed = name.trimmed();
    if (m_dependencies)
        m_dependencies->controls.append(trimmed);
    if (trimmed.compare(BlockLine::FinishLink, Qt::CaseInsensitive) == 0 && (m_compileKVW || m_compileKVD)) {
        if (m_compileKVW)
            return true;
        m_log.AppendToLog(true, LoadResString(finishLinkOnDesktopId), location);
        return false;
    }
    if (!trimmed.isEmpty() && controlExists(trimmed))
        return true;
    reportError(invalidControlId, trimmed, location);
    return false;
}

bool ReferenceChecker::ValidateCLRef(const QString& location, const QString& reference)
{
    if (m_dependencies)
        m_dependencies->selectors.append(SelectorLookup::Split(reference).selector);
    switch (m_selectors.Check(reference)) {
    case SelectorLookup::Result::Found:
        return true;
    case SelectorLookup::Result::UnknownSelector:
        reportError(invalidSelectorId, reference.trimmed(), location);
        break;
    case SelectorLookup::Result::UnknownProperty:
        reportError(invalidPropertyId, reference.trimmed(), location);
        break;
    case SelectorLookup::Result::UnknownItem:
        reportError(invalidItemId, reference.trimmed(), location);
        break;
    }
    return false;
}

void ReferenceChecker::setTreeFixed(bool fixed)
{
    m_treeFixed = fixed;
    m_controlExists.clear();
}

bool ReferenceChecker::controlExists(const QString& name)
{
    if (!m_treeFixed)
        return m_decisions.Exists(name);
    if (const auto known = m_controlExists.constFind(name); known != m_controlExists.cend())
        return known.value();
    const bool exists = m_decisions.Exists(name);
    m_controlExists.insert(name, exists);
    return exists;
}

void ReferenceChecker::reportError(int messageId, const QString& subject, const QString& location)
{
    m_log.AppendToLog(true, LoadResString(messageId) + subject, location);
}
