#pragma once

#include <QString>

#include <optional>

class CApplication;
class QWidget;

// Opens the expression builder on the open project's controls and selectors.
namespace ExpressionBuilderLauncher {

// The builder's text after OK; nothing when cancelled.
std::optional<QString> Edit(CApplication& application, QWidget* parent, const QString& expression, bool isBoolean,
                            const QString& itemSelector = QString());

} // namespace ExpressionBuilderLauncher
