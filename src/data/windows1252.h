#pragma once

#include <string>
#include <string_view>

namespace kapred {

// The declaration file and the import and export files are single-byte Windows-1252 text on
// disk, while the program works in UTF-8. These two conversions are the file boundary.

// UTF-8 text to Windows-1252, always one byte per character, so that widths counted in the
// file's bytes are widths counted in characters: a character the code page lacks becomes "?",
// and so does each byte of a malformed UTF-8 sequence. The control characters U+0081, U+008D,
// U+008F, U+0090 and U+009D become the bytes of the same number, so that text read with
// fromWindows1252 converts back to the bytes it came from.
std::string toWindows1252(std::string_view utf8);

// Valid UTF-8 whose every character the code page has: text that reaches a file unchanged.
bool fitsWindows1252(std::string_view utf8);

// Windows-1252 bytes to UTF-8. The five byte values the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so no byte is lost.
std::string fromWindows1252(std::string_view bytes);

}  // namespace kapred
