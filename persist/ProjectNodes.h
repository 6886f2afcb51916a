#pragma once

#include <QString>

// The nodes of a project document.
namespace ProjectNodes {
inline const QString DevFile = QStringLiteral("\\DecisionTreeData\\Basic\\DevFile");
inline const QString CustomBlock = QStringLiteral("\\DecisionTreeData\\Basic\\CustomBlock");
inline const QString RulesFile = QStringLiteral("\\DecisionTreeData\\Basic\\RulesFile");
inline const QString Databases = QStringLiteral("\\Databases\\");
inline const QString ExternalDatabases = QStringLiteral("\\Databases\\External\\");
inline const QString Images = QStringLiteral("\\Images\\");
} // namespace ProjectNodes
