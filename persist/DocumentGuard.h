#pragma once

struct sqlite3;

// What a connection to a document may do. A document file is outside input, and an SQLite file
// can carry more than tables: triggers that run on our own writes, views, virtual tables and
// functions named in its schema. Every connection gets SQLite's defensive settings (no
// triggers, no views, no trusted schema, no schema writes by SQL) and an authorizer that lets
// statements read and write our own tables and nothing else.
namespace DocumentGuard {

void apply(sqlite3* db);

} // namespace DocumentGuard
