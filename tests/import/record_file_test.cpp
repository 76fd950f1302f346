// The shape of fixed-width files: line ends, even records, lines read through a small buffer.
#include "import/record_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kapred {
namespace {

// An in-memory file.
struct MemoryFile {
    explicit MemoryFile(std::string bytes) : text(std::move(bytes)) {
        file = text.empty() ? std::tmpfile() : ::fmemopen(text.data(), text.size(), "rb");
    }
    ~MemoryFile() { std::fclose(file); }
    std::string text;
    std::FILE* file;
};

struct Line {
    std::string text;
    std::size_t length;
    bool operator==(const Line&) const = default;
};

std::vector<Line> linesOf(const std::string& bytes, LineEnd end, std::size_t buffer = 4, std::size_t cap = 1 << 16) {
    MemoryFile memory(bytes);
    LineReader reader(memory.file, end, buffer, cap);
    std::vector<Line> lines;
    Line line;
    while (reader.next(line.text, line.length)) {
        lines.push_back(line);
    }
    return lines;
}

bool even(const std::string& bytes) {
    MemoryFile memory(bytes);
    return recordsAreEven(memory.file, bytes.size(), detectLineEnd(bytes));
}

TEST(LineEnds, TheFirstTwoThousandBytesDecideAndTheStrideIsTheFirstRecordWithItsEnd) {
    const std::tuple<std::string, std::string, std::size_t> found[] = {
        {"abc\r\ndef\r\n", "1310", 5},
        // Carriage return plus line feed anywhere wins over a carriage return alone before it.
        {"ab\rcd\r\n", "1310", 7},
        {"abcd\rabcd\r", "13", 5},
        {"abcdef\nabcdef\n", "10", 7},
        {"\n\n\n", "10", 1},
        {std::string(2000, 'x') + "\r\n", "", 0},
        {std::string(1998, 'x') + "\r\n", "1310", 2000},
        // A carriage return at byte 2000 whose line feed lies beyond is a carriage return alone.
        {std::string(1999, 'x') + "\r\n", "13", 2000},
        {"", "", 0},
    };
    for (const auto& [bytes, code, stride] : found) {
        EXPECT_EQ(detectLineEnd(bytes).code(), code) << bytes.size();
        EXPECT_EQ(detectLineEnd(bytes).stride, stride) << bytes.size();
    }
}

TEST(EvenRecords, EveryBlockEndsWithTheLineEndAndOnlyTheLastMayLackIt) {
    for (const char* evenFile :
         {"abcd\r\nefgh\r\nijkl\r\n", "abcd\nefgh\n", "abcd\refgh\r", "\n\n\n\n", "abcd\r\nefgh", "abcd\nefgh",
          // A single byte at the very end is not looked at: it becomes a line.
          "abcd\r\n\x1a"}) {
        EXPECT_TRUE(even(evenFile)) << evenFile;
    }
    for (const char* uneven : {"abcd\r\nefgh\r\nijklm\r\nopqr\r\n", "abcd\r\n\r\nefgh\r\n", "abcd\r\nefgh\n\rijkl\r\n",
                               "abcd\r\nefg", "abcd\r\nefgh\r", "abcd\r\nefghi",
                               // A last record that holds a line end of its own is no whole record.
                               "abcdefgh\r\nab\r\ncdef"}) {
        EXPECT_FALSE(even(uneven)) << uneven;
    }
}

TEST(LineReading, LinesAreSplitAtTheFileLineEndOnlyAndTheEndOfTheFileEndsTheLast) {
    const std::vector<Line> expected{{"ab\rc", 4}, {"", 0}, {"d\ne", 3}};
    EXPECT_EQ(linesOf("ab\rc\r\n\r\nd\ne\r\n", LineEnd::CrLf), expected);
    // The same through buffers of every small size, so that line ends fall across reads.
    for (std::size_t buffer = 1; buffer <= 9; ++buffer) {
        EXPECT_EQ(linesOf("ab\rc\r\n\r\nd\ne\r\n", LineEnd::CrLf, buffer), expected) << buffer;
    }
    const std::vector<Line> unix{{"abc", 3}, {"d\re", 3}};
    EXPECT_EQ(linesOf("abc\nd\re\n", LineEnd::Lf), unix);
    const std::vector<Line> mac{{"abc", 3}, {"d\ne", 3}};
    EXPECT_EQ(linesOf("abc\rd\ne\r", LineEnd::Cr), mac);

    const std::vector<Line> unended{{"abc", 3}, {"def", 3}};
    EXPECT_EQ(linesOf("abc\r\ndef", LineEnd::CrLf), unended);
    EXPECT_EQ(linesOf("abc\r\ndef\r\n", LineEnd::CrLf), unended);
    // A carriage return alone at the end of a file of CR LF stays in the last line.
    const std::vector<Line> trailing{{"abc", 3}, {"def\r", 4}};
    EXPECT_EQ(linesOf("abc\r\ndef\r", LineEnd::CrLf), trailing);
    const std::vector<Line> feeds{{"", 0}, {"", 0}, {"", 0}};
    EXPECT_EQ(linesOf("\n\n\n", LineEnd::Lf), feeds);
    EXPECT_TRUE(linesOf("", LineEnd::CrLf).empty());

    const std::vector<Line> capped{{"abcde", 12}, {"xy", 2}};
    EXPECT_EQ(linesOf("abcdefghijkl\r\nxy\r\n", LineEnd::CrLf, 4, 5), capped);
}

TEST(LineChecks, BlankLinesWrongLengthsControlCharactersAndColumns) {
    EXPECT_EQ(lineFault("     ", 5, 5), LineFault::Blank);
    EXPECT_EQ(lineFault("", 0, 5), LineFault::Blank);
    EXPECT_EQ(lineFault("  ", 2, 5), LineFault::Blank);
    // A tab is no blank: the line is judged by its length.
    EXPECT_EQ(lineFault("\t    ", 5, 5), LineFault::None);
    EXPECT_EQ(lineFault("abcd", 4, 5), LineFault::Length);
    EXPECT_EQ(lineFault("abcdef", 6, 5), LineFault::Length);
    EXPECT_EQ(lineFault("abcde", 5, 5), LineFault::None);

    std::string line;
    for (int byte = 0; byte < 256; ++byte) {
        line += static_cast<char>(byte);
    }
    blankControlCharacters(line);
    for (int byte = 0; byte < 256; ++byte) {
        const bool blanked = byte < 32 || (byte >= 128 && byte <= 159);
        EXPECT_EQ(static_cast<unsigned char>(line[static_cast<std::size_t>(byte)]), blanked ? 32 : byte) << byte;
    }

    EXPECT_EQ(columns("15/01/2005000000001234,50", 1, 10), "15/01/2005");
    EXPECT_EQ(columns("15/01/2005000000001234,50", 11, 25), "000000001234,50");
    EXPECT_EQ(columns("abc", 2, 9), "bc");
    EXPECT_EQ(columns("abc", 4, 9), "");
    EXPECT_EQ(columns("abc", 0, 2), "");
}

}  // namespace
}  // namespace kapred
