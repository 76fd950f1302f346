#include "data/windows1252.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "data/values/error.h"
#include "data/values/text.h"

namespace kapred {

namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor_(::iconv_open(to, from)) {
        if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
            throw Error(err::kConversion, "Windows1252", std::string("No se puede convertir de ") + from + " a " + to);
        }
    }
    ~Converter() { ::iconv_close(descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can, then calls onFailure(input, left, output) with the first
    // byte that cannot be converted; onFailure consumes input and appends to output.
    template <typename OnFailure>
    std::string convert(std::string_view text, OnFailure onFailure) {
        std::string output;
        output.reserve(text.size() * 2);
        ::iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        char* input = const_cast<char*>(text.data());
        std::size_t left = text.size();
        char buffer[1024];
        while (left > 0) {
            char* out = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t done = ::iconv(descriptor_, &input, &left, &out, &room);
            const int error = errno;
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (done == static_cast<std::size_t>(-1) && error != E2BIG) {
                ::iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
                onFailure(input, left, output);
            }
        }
        return output;
    }

private:
    iconv_t descriptor_;
};

// The byte values Windows-1252 leaves undefined.
bool isUndefinedByte(unsigned char value) {
    return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// Plain ASCII reads the same in both encodings and needs no conversion (most of any file).
bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string toWindows1252(std::string_view utf8) {
    if (isAscii(utf8)) {
        return std::string(utf8);
    }
    thread_local Converter converter("WINDOWS-1252", "UTF-8");
    return converter.convert(utf8, [](char*& input, std::size_t& left, std::string& output) {
        // A character the code page lacks, or a malformed sequence: one "?" either way; but
        // the control characters standing for the undefined bytes go back to those bytes.
        const auto* bytes = reinterpret_cast<const unsigned char*>(input);
        const std::size_t length = utf8SequenceLength(bytes, left);
        const bool undefinedByte = length == 2 && bytes[0] == 0xC2 && isUndefinedByte(bytes[1]);
        output.push_back(undefinedByte ? static_cast<char>(bytes[1]) : '?');
        const std::size_t skip = length == 0 ? 1 : length;
        input += skip;
        left -= skip;
    });
}

bool fitsWindows1252(std::string_view utf8) {
    const auto marks = [](std::string_view text) { return std::count(text.begin(), text.end(), '?'); };
    return isValidUtf8(utf8) && marks(toWindows1252(utf8)) == marks(utf8);
}

std::string fromWindows1252(std::string_view bytes) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    thread_local Converter converter("UTF-8", "WINDOWS-1252");
    return converter.convert(bytes, [](char*& input, std::size_t& left, std::string& output) {
        // An undefined byte value (0x81, 0x8D, 0x8F, 0x90, 0x9D): the control character U+0081...
        const auto value = static_cast<unsigned char>(*input);
        output.push_back(static_cast<char>(0xC0 | (value >> 6)));
        output.push_back(static_cast<char>(0x80 | (value & 0x3F)));
        ++input;
        --left;
    });
}

}  // namespace kapred
