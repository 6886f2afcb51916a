#pragma once

#include <QString>

// A menu caption as plain text: the access-key marks dropped and "&&" read as "&".
QString WithoutAccessKey(const QString& caption);
// The text of a numbered string as it reads outside a menu.
QString LoadResPlainString(int id);
