#pragma once

#include <QString>

// The sample with its selector as an external one named shop.laptops: its rules and journeys
// renamed, and its laptops in an SQLite file named shop, every cell as text, as a shop might
// keep them.
namespace ShopSample {
// The sample's twelve fields, comma-separated, as selector external takes them.
QString fields();
// The sample's text with every use of its selector laptops turned to shop.laptops.
QString renamed(const QString& sampleText);
bool makeSqliteShop(const QString& path);
// The renamed sample at projectPath, its selector reading the table laptops of the SQLite
// file shop beside it (made too); false with the reason.
bool makeSqliteProject(const QString& projectPath, QString& error);
} // namespace ShopSample
