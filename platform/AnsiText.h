// Byte-string helpers for ANSI text in code page 936 (GBK). A GBK character is
// a lead byte 0x81-0xFE followed by a trail byte 0x40-0xFE, and a trail byte
// can look like '\\' (0x5C), '[' or an ASCII capital: every scan here walks the
// text character by character so it never treats a trail byte as ASCII.
// The Path* helpers at the end take the paths of this build: GBK on Windows,
// UTF-8 on native builds (tools, fuzzers), where a byte scan is right.
// Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <string>

namespace kv {

// True for the first byte of a two-byte character of code page 936.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Byte length of the character that starts at `pos` (1 or 2; 1 for a lead
// byte at the end of the text).
std::size_t AnsiCharLength(const std::string& text, std::size_t pos);

// Position of the last single-byte character of `text` that is one of
// `delimiters` (ASCII characters), or npos.
std::size_t AnsiLastDelimiter(const std::string& text, const std::string& delimiters);

// Position of the first single-byte character equal to `c`, from `from` on
// (`from` must be a character boundary), or npos.
std::size_t AnsiFindChar(const std::string& text, char c, std::size_t from = 0);

// True when the last character of `text` is the single byte `c`.
bool AnsiEndsWithChar(const std::string& text, char c);

// ASCII letters lower-cased; two-byte characters left exactly as they are.
std::string AnsiLowerAscii(const std::string& text);

// Comparison ignoring the case of ASCII letters only.
bool AnsiSameTextAscii(const std::string& a, const std::string& b);

// Longest prefix of `text` of at most `maxBytes` bytes that does not end in
// the middle of a two-byte character.
std::string AnsiTruncate(const std::string& text, std::size_t maxBytes);

// Path parts with '\\' and ':' as separators, as Windows paths have them.
// File name: everything after the last separator.
std::string AnsiExtractFileName(const std::string& path);
// Folder: everything up to and including the last separator.
std::string AnsiExtractFilePath(const std::string& path);
// Extension with its dot: from the last '.' after the last separator; empty
// when the file name has no dot.
std::string AnsiExtractFileExt(const std::string& path);

// Paths of this build, with '\\', '/' and ':' as separators. On Windows they
// are GBK text; natively they are UTF-8, where no byte of a multi-byte
// character is below 0x80, so ASCII tests on single bytes are right.
// Extension with its dot after the last separator ("" when none).
std::string PathExtractFileExt(const std::string& path);
// ASCII letters lower-cased (whole characters kept on Windows).
std::string PathLowerAscii(const std::string& path);
// Lower-cased extension, e.g. ".swf" for "Movie.SWF".
inline std::string PathLowerFileExt(const std::string& path) {
    return PathLowerAscii(PathExtractFileExt(path));
}

}  // namespace kv
