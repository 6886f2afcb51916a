#pragma once

// String-table ids that several folders use, named once. An id that one file alone uses stays a
// constant of that file. The test of the string table checks that each of these has a text.
namespace StringId {

inline constexpr int ProjectInUse = 12005;
inline constexpr int ProjectCorrupt = 12007;
// The two words a Check or Command control answers with, and their stored forms.
inline constexpr int TrueText = 13016;
inline constexpr int FalseText = 13017;

inline constexpr int All[] = {ProjectInUse, ProjectCorrupt, TrueText, FalseText};

} // namespace StringId
