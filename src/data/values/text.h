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

}  // namespace kapred
