// Fuzzes the handling of an import file's bytes before they reach a business object. The first
// two bytes choose the record length and the reader's buffer; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/windows1252.h"
#include "import/record_file.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kapred;
    if (size < 2) {
        return 0;
    }
    const std::size_t recordLength = data[0] % 64 + 1;
    const std::size_t bufferSize = data[1] % 16 + 1;
    std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    const LineEndInfo lineEnd = detectLineEnd(bytes);
    require(lineEnd.stride <= kLineEndWindow);
    require((lineEnd.stride == 0) == (lineEnd.kind == LineEnd::None));

    std::FILE* file = bytes.empty() ? std::tmpfile() : ::fmemopen(bytes.data(), bytes.size(), "rb");
    require(file != nullptr);
    const bool even = recordsAreEven(file, bytes.size(), lineEnd);
    (void)even;
    std::rewind(file);

    LineReader reader(file, lineEnd.kind, bufferSize);
    const std::string terminator = lineEnd.kind == LineEnd::None ? "\n" : std::string(lineEnd.terminator());
    std::string joined;
    std::string line;
    std::size_t length = 0;
    bool first = true;
    while (reader.next(line, length)) {
        require(line.size() == length);
        joined += (first ? "" : terminator) + line;
        first = false;

        const LineFault fault = lineFault(line, length, recordLength);
        if (fault == LineFault::None) {
            require(line.size() == recordLength);
            blankControlCharacters(line);
            for (char c : line) {
                const auto byte = static_cast<unsigned char>(c);
                require(byte >= 32 && (byte < 128 || byte > 159));
            }
            // Any range of columns reads back to the same bytes through UTF-8.
            const std::size_t from = length == 0 ? 1 : data[0] % length + 1;
            const std::string field(columns(line, from, from + data[1] % 16));
            require(toWindows1252(fromWindows1252(field)) == field);
        }
    }
    std::fclose(file);
    // The lines and their ends give back the whole file.
    require(joined == bytes || joined + terminator == bytes);
    return 0;
}
