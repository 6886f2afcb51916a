#pragma once

#include <QStringList>

// The project explorer's two lists of selector names, as the selector commands keep them.
// Names are compared without regard to case, as the storage paths are.
class ISelectorExplorer {
public:
    virtual ~ISelectorExplorer() = default;

    virtual void AddCriteriaList(const QString& name) = 0;
    virtual void AddExternalCL(const QString& name) = 0;
    virtual QStringList CriteriaListNames() const = 0;
    virtual QStringList ExternalCLNames() const = 0;
    virtual bool CLExists(const QString& name) const = 0;
    virtual bool ExternalCLExists(const QString& name) const = 0;
    // Removes the selector of that name from whichever list holds it.
    virtual void RemoveNode(const QString& name) = 0;
    // Gives the entry of either list its new name, in its place.
    virtual void RenameNode(const QString& oldName, const QString& newName) = 0;

protected:
    ISelectorExplorer() = default;
    ISelectorExplorer(const ISelectorExplorer&) = default;
    ISelectorExplorer& operator=(const ISelectorExplorer&) = default;
};
