#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kapred {

// The shape of a fixed-width text file of import records, read as the Windows-1252 bytes it
// holds on disk: every width and length here counts bytes, which are the file's characters.
// Nothing here reads a whole file into memory.

// How the records of a file end, decided by the first 2000 bytes.
enum class LineEnd { None, CrLf, Cr, Lf };

struct LineEndInfo {
    LineEnd kind = LineEnd::None;
    // The length of the first record including its line end; 0 when no line end was found.
    std::size_t stride = 0;

    // "1310", "13", "10", or empty for none.
    std::string code() const;
    // The bytes of the line end.
    std::string_view terminator() const;
};

// The bytes looked at to find the line end.
inline constexpr std::size_t kLineEndWindow = 2000;

// Finds the line end in the first bytes of a file (at most kLineEndWindow of them): carriage
// return plus line feed anywhere in them wins, then a carriage return alone, then a line feed
// alone. The stride is the position (from 1) of that carriage return plus 1, or of the single
// character.
LineEndInfo detectLineEnd(std::string_view head);

// Whether the file is made of records of one stride: read from the start in blocks of the
// stride while a block starts before the last byte, every block must end with the line end.
// The last block may also be a whole record that lacks only its line end (a file whose last
// line has no line end is accepted); any other short block is uneven. A single byte at the very
// end is not looked at (it starts at the last byte); it is read as a line of its own.
// Calls `between` after each block, where a screen may process pending input.
template <typename Between>
bool recordsAreEven(std::FILE* file, std::uint64_t fileSize, const LineEndInfo& info, Between between);
bool recordsAreEven(std::FILE* file, std::uint64_t fileSize, const LineEndInfo& info);

// Reads the lines of a file one at a time through a fixed buffer, split at the line end found
// for it (only at that one: a carriage return inside a file of carriage return plus line feed
// stays in its line as a control character). The text after the last line end, when there is
// any, is the last line; a file that ends with its line end has no empty line after it. A line
// longer than the cap keeps only its first bytes in memory but reports its whole length.
class LineReader {
public:
    static constexpr std::size_t kDefaultCap = 1 << 16;

    LineReader(std::FILE* file, LineEnd lineEnd, std::size_t bufferSize = 1 << 16, std::size_t lineCap = kDefaultCap);

    // The next line into `line` (without its line end) and its whole length in bytes; false at
    // the end of the file. Raises std::runtime_error when the file cannot be read.
    bool next(std::string& line, std::size_t& length);

private:
    bool fill();

    std::FILE* file_;
    std::string terminator_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::size_t lineCap_;
    bool atEnd_ = false;
};

// What is wrong with a line before its fields are read.
enum class LineFault { None, Blank, Length };

// A line that is empty once blanks are removed at both ends is blank; otherwise a line whose
// length is not the record length has the wrong length.
LineFault lineFault(std::string_view line, std::size_t length, std::size_t recordLength);

// Every byte below 32 and every byte from 128 to 159 becomes a blank.
void blankControlCharacters(std::string& line);

// The bytes from column `from` to column `to` (from 1, both included), as far as the line
// reaches.
std::string_view columns(std::string_view line, std::size_t from, std::size_t to);

// ---------------------------------------------------------------------------------------------

template <typename Between>
bool recordsAreEven(std::FILE* file, std::uint64_t fileSize, const LineEndInfo& info, Between between) {
    const std::string_view terminator = info.terminator();
    if (info.stride == 0 || terminator.empty() || std::fseek(file, 0, SEEK_SET) != 0) {
        return false;
    }
    std::vector<char> block(info.stride);
    // Positions count from 1, as the blocks are numbered in the file.
    for (std::uint64_t position = 1; position < fileSize; position += info.stride) {
        const std::size_t read = std::fread(block.data(), 1, block.size(), file);
        const std::string_view got(block.data(), read);
        const bool whole = read == info.stride && got.ends_with(terminator);
        const bool lastWithoutEnd = position + read > fileSize && read + terminator.size() == info.stride &&
                                    got.find(terminator) == std::string_view::npos;
        if (!whole && !lastWithoutEnd) {
            return false;
        }
        between();
    }
    return std::ferror(file) == 0;
}

}  // namespace kapred
