#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class CmDecisionItem;
class CmDecisionManager;
class CmDocument;
class IPrompt;
class ISelectorCatalog;
class StoredSelectorCatalog;

// Finds the features of a tree that a runtime lacks, logs them and, when asked, changes the
// tree so that it fits: for the web runtime NumSlide, Slide and TextArea controls become
// RealNumBox, Radio and StringBox and !CALL lines go; for the desktop runtime !JUMP, !JUMPN
// and the !KILL and !SORT lines of external selectors go.
class FileTypeConversion final : public QObject {
    Q_OBJECT

public:
    enum FileType : qint32 { Both = 0, Web = 1, Desktop = 2, DesktopCalled = 3 };
    // How the convert button ended; each but Cancelled has its message.
    enum class Outcome { Cancelled, Converted, Incompatible, AlreadyCompatible };

    // Both must outlive the conversion. Selectors are read from the document's storage.
    FileTypeConversion(CmDecisionManager& decisions, CmDocument& document, QObject* parent = nullptr);
    ~FileTypeConversion() override;
    FileTypeConversion(const FileTypeConversion&) = delete;
    FileTypeConversion& operator=(const FileTypeConversion&) = delete;

    // Another source of selectors; null returns to the stored ones.
    void setSelectorCatalog(const ISelectorCatalog* catalog) { m_externalCatalog = catalog; }

    // True when the tree has a feature newType lacks. convert false only reports; log false
    // writes no log text and no status.
    bool ChangeFileType(qint32 newType, bool convert, bool log);
    bool CheckKVWCompat(bool convert, bool log);
    bool CheckKVDCompat(bool convert, bool log);

    // The log text of the last ChangeFileType that logged.
    const QString& Log() const { return m_log; }

    // The description the file type dialog shows for the document's current type.
    int DescriptionId();
    // The convert button: asks whether to convert (when the type was set before; otherwise
    // autoConvert decides), stores the type, converts or logs, and marks the document changed
    // when the tree changed.
    Outcome Convert(qint32 choice, bool autoConvert, IPrompt* prompt);
    // The convert button once the answer is known: stores the type, converts or only logs.
    Outcome Apply(qint32 choice, bool convert);
    static int OutcomeMessageId(Outcome outcome);

    // The desktop mode: stand alone (2) or started from another application (3).
    static bool IsCalledFromApplication(const CmDocument& document);
    static void SetDesktopMode(CmDocument& document, bool calledFromApplication);

signals:
    void statusChanged(const QString& text);
    // The log window shows the text of a run that logged.
    void logShown(const QString& text);

private:
    const ISelectorCatalog& selectorCatalog();
    bool isExternalSelector(const QString& name);
    void logFinding(bool web, const QString& feature, const QString& location, const QString& change);
    bool checkWebInterface(CmDecisionItem& decision, bool convert, bool log);
    // Removes (when converting) the action lines the runtime lacks; true when any was found.
    template <typename Lacks>
    bool checkLines(CmDecisionItem& decision, bool web, bool convert, bool log, Lacks lacks);

    CmDecisionManager& m_decisions;
    CmDocument& m_document;
    const ISelectorCatalog* m_externalCatalog = nullptr;
    std::unique_ptr<StoredSelectorCatalog> m_storedCatalog;
    QHash<QString, bool> m_externalSelectors; // isExternalSelector's answers in one check
    QString m_log;
};
