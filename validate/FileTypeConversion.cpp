#include "validate/FileTypeConversion.h"

#include "base/IPrompt.h"
#include "base/ProcedureBoundary.h"
#include "base/ResourceStrings.h"
#include "lang/BlockLine.h"
#include "model/CmDecisionItem.h"
#include "model/CmDecisionManager.h"
#include "model/CmDocument.h"
#include "model/MDecisionDataUtil.h"
#include "selectors/StoredSelectorCatalog.h"
#include "validate/ControlLocation.h"

namespace {

using namespace MDecisionDataUtil;

constexpr int inputInterfaceLabelId = 8003;
constexpr int optionsAndActionsLabelId = 11004;
constexpr int sourceWordId = 12537;
constexpr int bothAllowedId = 13261;
constexpr int desktopAlsoFitsId = 13262;
constexpr int desktopLacksId = 13263;
constexpr int webAlsoFitsId = 13264;
constexpr int webLacksId = 13265;
constexpr int autoConvertQuestionId = 13350;
constexpr int convertingStatusId = 13351;
constexpr int makingDesktopId = 13352;
constexpr int makingWebId = 13353;
constexpr int makingBothId = 13354;
constexpr int webLacksFeatureId = 13355;
constexpr int desktopLacksFeatureId = 13356;
constexpr int interfaceChangedId = 13357;
constexpr int actionDeletedId = 13358;
constexpr int convertedId = 13359;
constexpr int incompatibleId = 13360;
constexpr int alreadyCompatibleId = 13361;
constexpr int autoConvertTitleId = 32302;

const QString lineEnd = QStringLiteral("\r\n");

// The keyword as the conversion reads it: from after "!" up to the first ":", ";" or blank.
QString conversionKeyword(const QString& line)
{
    qsizetype end = 1;
    while (end < line.size() && line.at(end) != QLatin1Char(':') && line.at(end) != QLatin1Char(';')
           && line.at(end) != QLatin1Char(' '))
        ++end;
    return line.mid(1, end - 1);
}

bool isKeyword(const QString& keyword, BlockLine::Keyword candidate)
{
    return keyword.compare(BlockLine::KeywordText(candidate), Qt::CaseInsensitive) == 0;
}

// The selector of "!KILL Cars:..." or "!SORT Cars: ...".
QString selectorOf(const QString& line, const QString& keyword)
{
    const QString rest = line.mid(1 + keyword.size());
    return rest.section(QLatin1Char(':'), 0, 0).trimmed();
}

// The interface the web runtime has in place of one it lacks; the same type when it lacks none.
qint16 webReplacement(qint16 type)
{
    switch (type) {
    case NumSlide:
        return RealNumBox;
    case Slide:
        return Radio;
    case TextArea:
        return StringBox;
    default:
        return type;
    }
}

} // namespace

FileTypeConversion::FileTypeConversion(CmDecisionManager& decisions, CmDocument& document, QObject* parent)
    : QObject(parent), m_decisions(decisions), m_document(document)
{
}

FileTypeConversion::~FileTypeConversion() = default;

const ISelectorCatalog& FileTypeConversion::selectorCatalog()
{
    if (m_externalCatalog)
        return *m_externalCatalog;
    if (!m_storedCatalog)
        m_storedCatalog = std::make_unique<StoredSelectorCatalog>(m_document.Storage().rootNode());
    return *m_storedCatalog;
}

bool FileTypeConversion::isExternalSelector(const QString& name)
{
    const auto known = m_externalSelectors.constFind(name);
    if (known != m_externalSelectors.constEnd())
        return known.value();
    const ISelectorCatalog& catalog = selectorCatalog();
    // An external selector's names live in another database, so the catalog cannot list them.
    const bool external = catalog.Exists(name) && !catalog.Properties(name).has_value();
    m_externalSelectors.insert(name, external);
    return external;
}

bool FileTypeConversion::ChangeFileType(qint32 newType, bool convert, bool log)
{
    return ProcedureBoundary::runOr("MCompileUtil.ChangeFileType", false, [&] {
        if (log) {
            m_log.clear();
            emit statusChanged(LoadResString(convertingStatusId));
        }
        // The selectors may have changed since the last run.
        m_storedCatalog.reset();
        bool found = false;
        switch (newType) {
        case Both:
            if (log)
                m_log += LoadResString(makingBothId) + lineEnd;
            found = CheckKVWCompat(convert, log);
            found = CheckKVDCompat(convert, log) || found;
            break;
        case Web:
            if (log)
                m_log += LoadResString(makingWebId) + lineEnd;
            found = CheckKVWCompat(convert, log);
            break;
        default:
            if (log)
                m_log += LoadResString(makingDesktopId) + lineEnd;
            found = CheckKVDCompat(convert, log);
            break;
        }
        if (log) {
            emit logShown(m_log);
            emit statusChanged(QString());
        }
        return found;
    });
}

void FileTypeConversion::logFinding(bool web, const QString& feature, const QString& location, const QString& change)
{
    m_log += LoadResString(web ? webLacksFeatureId : desktopLacksFeatureId) + feature + lineEnd;
    m_log += QLatin1Char('\t') + LoadResString(sourceWordId) + location + lineEnd;
    if (!change.isEmpty())
        m_log += QLatin1Char('\t') + change + lineEnd;
}

bool FileTypeConversion::checkWebInterface(CmDecisionItem& decision, bool convert, bool log)
{
    const qint16 type = decision.intControl();
    const qint16 replacement = webReplacement(type);
    if (replacement == type)
        return false;
    const QString typeName = ControlIntToStr(type);
    if (convert)
        decision.setIntControl(replacement);
    if (log) {
        const QString location = ControlLocation::Of(decision, inputInterfaceLabelId) + QLatin1Char('=') + typeName;
        logFinding(true, typeName, location,
                   convert ? LoadResString(interfaceChangedId) + ControlIntToStr(replacement) : QString());
    }
    return true;
}

template <typename Lacks>
bool FileTypeConversion::checkLines(CmDecisionItem& decision, bool web, bool convert, bool log, Lacks lacks)
{
    const QString location = ControlLocation::Of(decision, optionsAndActionsLabelId);
    QStringList kept;
    bool found = false;
    for (const QString& line : decision.OptsAndActs()) {
        const QString feature = BlockLine::IsAction(line) ? lacks(line) : QString();
        if (feature.isEmpty()) {
            kept.append(line);
            continue;
        }
        found = true;
        if (!convert)
            kept.append(line);
        if (log)
            logFinding(web, feature, location, convert ? LoadResString(actionDeletedId) : QString());
    }
    if (found && convert)
        decision.setOptsAndActs(kept);
    return found;
}

bool FileTypeConversion::CheckKVWCompat(bool convert, bool log)
{
    return ProcedureBoundary::runOr("MCompileUtil.CheckKVWCompat", false, [&] {
        bool found = false;
        const auto lacks = [](const QString& line) {
            const QString keyword = conversionKeyword(line);
            return isKeyword(keyword, BlockLine::Call) ? BlockLine::ActionMarker + keyword : QString();
        };
        for (int index = 1; index <= m_decisions.Count(); ++index) {
            CmDecisionItem* decision = m_decisions.ItemByIndex(index);
            if (!decision)
                continue;
            found = checkWebInterface(*decision, convert, log) || found;
            found = checkLines(*decision, true, convert, log, lacks) || found;
        }
        return found;
    });
}

bool FileTypeConversion::CheckKVDCompat(bool convert, bool log)
{
    return ProcedureBoundary::runOr("MCompileUtil.CheckKVDCompat", false, [&] {
        // Asked once per selector in this check: asking reads the selector's whole table.
        m_externalSelectors.clear();
        bool found = false;
        const auto lacks = [this](const QString& line) {
            const QString keyword = conversionKeyword(line);
            if (isKeyword(keyword, BlockLine::Jump) || isKeyword(keyword, BlockLine::JumpN))
                return BlockLine::ActionMarker + keyword;
            const bool selectorAction = isKeyword(keyword, BlockLine::Kill) || isKeyword(keyword, BlockLine::Sort);
            return selectorAction && isExternalSelector(selectorOf(line, keyword)) ? line : QString();
        };
        for (int index = 1; index <= m_decisions.Count(); ++index) {
            if (CmDecisionItem* decision = m_decisions.ItemByIndex(index))
                found = checkLines(*decision, false, convert, log, lacks) || found;
        }
        return found;
    });
}

int FileTypeConversion::DescriptionId()
{
    switch (m_document.FileType()) {
    case Both:
        return bothAllowedId;
    case Web:
        return ChangeFileType(Desktop, false, false) ? desktopLacksId : desktopAlsoFitsId;
    default:
        return ChangeFileType(Web, false, false) ? webLacksId : webAlsoFitsId;
    }
}

FileTypeConversion::Outcome FileTypeConversion::Convert(qint32 choice, bool autoConvert, IPrompt* prompt)
{
    bool convert = autoConvert;
    if (m_document.FileTypeSet() && prompt) {
        const PromptAnswer answer = prompt->MessageBox(LoadResString(autoConvertQuestionId),
                                                       LoadResString(autoConvertTitleId), PromptButtons::YesNoCancel,
                                                       PromptIcon::Question);
        if (answer == PromptAnswer::Cancel)
            return Outcome::Cancelled;
        convert = answer == PromptAnswer::Yes;
    }
    return Apply(choice, convert);
}

FileTypeConversion::Outcome FileTypeConversion::Apply(qint32 choice, bool convert)
{
    // A new file type is a change to save, even when no control had to change.
    if (m_document.FileType() != choice || !m_document.FileTypeSet())
        m_document.setDirty(true);
    m_document.setFileType(choice);
    m_document.setFileTypeSet(true);
    if (!ChangeFileType(choice, convert, true))
        return Outcome::AlreadyCompatible;
    if (!convert)
        return Outcome::Incompatible;
    m_document.setDirty(true);
    return Outcome::Converted;
}

int FileTypeConversion::OutcomeMessageId(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Converted:
        return convertedId;
    case Outcome::Incompatible:
        return incompatibleId;
    case Outcome::AlreadyCompatible:
        return alreadyCompatibleId;
    case Outcome::Cancelled:
        break;
    }
    return 0;
}

bool FileTypeConversion::IsCalledFromApplication(const CmDocument& document)
{
    return document.FileType() == DesktopCalled;
}

void FileTypeConversion::SetDesktopMode(CmDocument& document, bool calledFromApplication)
{
    const qint32 type = calledFromApplication ? DesktopCalled : Desktop;
    if (document.FileType() != type || !document.FileTypeSet())
        document.setDirty(true);
    document.setFileType(type);
    document.setFileTypeSet(true);
}
