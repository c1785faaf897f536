// Path text helpers for the extension tests of the Flash file routines.
// Windows paths are ANSI text in code page 936 (GBK): the second byte of a
// double-byte character can look like 'A'..'Z' or '\', so scans step over
// whole characters. Native builds see UTF-8 paths, where every byte of a
// multi-byte character is >= 0x80 and a plain byte scan is right.
#pragma once

#include <string>

namespace kv {

// True for a GBK lead byte (0x81..0xFE); the byte after it is part of the same character.
inline bool isGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Lower-cases 'A'..'Z' outside double-byte characters (GBK rules).
std::string lowerCaseGbk(const std::string& text);
// The extension including its dot ("" when none), GBK rules: the last '.' after
// the last '\', '/' or ':' that is not the second byte of a character.
std::string extractFileExtGbk(const std::string& path);

// The same for the paths of this build: GBK on Windows, UTF-8 elsewhere.
std::string lowerCasePath(const std::string& path);
std::string extractFileExt(const std::string& path);
// Lower-cased extension of a path, e.g. ".swf".
inline std::string lowerFileExt(const std::string& path) { return lowerCasePath(extractFileExt(path)); }

}  // namespace kv
