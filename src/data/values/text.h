#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kapred {

// The small text needs of every layer, written once.

// The text without the blanks at either end: spaces, tabs and line ends.
std::string trimmed(std::string_view text);

// The text brought to the width with the fill on its left (digits: zeros) or on its right
// (names: blanks). A text already as wide or wider comes back whole, never cut.
std::string padLeft(std::string_view text, std::size_t width, char fill = '0');
std::string padRight(std::string_view text, std::size_t width, char fill = ' ');

// The last characters of the text, or all of it when it is shorter.
std::string lastCharacters(std::string_view text, std::size_t count);

// The length of the well-formed UTF-8 sequence at the start of the bytes, or 0.
std::size_t utf8SequenceLength(const unsigned char* bytes, std::size_t available);

// Every byte belongs to a well-formed UTF-8 sequence.
bool isValidUtf8(std::string_view text);

// The character a well-formed UTF-8 sequence of that length stands for (see utf8SequenceLength;
// a byte below 0x80 is a sequence of one).
char32_t utf8Character(const unsigned char* bytes, std::size_t length);

// A character that steers how text is shown instead of being shown: the C0 and C1 controls, DEL,
// the marks that set the direction of text (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to
// U+2069), the line and paragraph separators and the byte-order mark. In a name it could forge
// lines of a listing or send commands to a terminal.
bool isControlCharacter(char32_t character);

// Well-formed UTF-8 without any control character: a name that shows as it was typed.
bool isPlainText(std::string_view text);

// The text with Linux line ends: each "\r\n", and each carriage return alone (the old messages
// separate their lines with one), becomes a line feed.
std::string withLineFeeds(std::string_view text);

}  // namespace kapred
