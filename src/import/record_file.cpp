#include "import/record_file.h"

#include <cstring>
#include <stdexcept>

namespace kapred {

std::string LineEndInfo::code() const {
    switch (kind) {
        case LineEnd::CrLf:
            return "1310";
        case LineEnd::Cr:
            return "13";
        case LineEnd::Lf:
            return "10";
        case LineEnd::None:
            break;
    }
    return {};
}

std::string_view LineEndInfo::terminator() const {
    switch (kind) {
        case LineEnd::CrLf:
            return "\r\n";
        case LineEnd::Cr:
            return "\r";
        case LineEnd::Lf:
            return "\n";
        case LineEnd::None:
            break;
    }
    return {};
}

LineEndInfo detectLineEnd(std::string_view head) {
    head = head.substr(0, kLineEndWindow);
    if (const auto at = head.find("\r\n"); at != std::string_view::npos) {
        return {LineEnd::CrLf, at + 2};
    }
    if (const auto at = head.find('\r'); at != std::string_view::npos) {
        return {LineEnd::Cr, at + 1};
    }
    if (const auto at = head.find('\n'); at != std::string_view::npos) {
        return {LineEnd::Lf, at + 1};
    }
    return {};
}

bool recordsAreEven(std::FILE* file, std::uint64_t fileSize, const LineEndInfo& info) {
    return recordsAreEven(file, fileSize, info, [] {});
}

LineReader::LineReader(std::FILE* file, LineEnd lineEnd, std::size_t bufferSize, std::size_t lineCap)
    : file_(file), lineCap_(lineCap) {
    // With no line end known, lines are split at line feeds.
    const std::string_view terminator = LineEndInfo{lineEnd, 0}.terminator();
    terminator_.assign(terminator.empty() ? std::string_view("\n") : terminator);
    // The buffer always holds at least a whole line end, so that one is never split between reads.
    buffer_.resize(std::max<std::size_t>(bufferSize, 4));
}

bool LineReader::fill() {
    if (atEnd_) {
        return false;
    }
    // Keep what is left, at the front.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t read = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    end_ += read;
    if (read == 0) {
        if (std::ferror(file_) != 0) {
            throw std::runtime_error("no se pudo leer el archivo");
        }
        atEnd_ = true;
        return false;
    }
    return true;
}

bool LineReader::next(std::string& line, std::size_t& length) {
    line.clear();
    length = 0;
    bool any = false;
    const std::size_t width = terminator_.size();
    for (;;) {
        const std::string_view pending(buffer_.data() + begin_, end_ - begin_);
        const auto at = pending.find(terminator_);
        if (at != std::string_view::npos) {
            const std::string_view piece = pending.substr(0, at);
            line.append(piece.substr(0, lineCap_ > line.size() ? lineCap_ - line.size() : 0));
            length += piece.size();
            begin_ += at + width;
            return true;
        }
        // No line end in what is buffered: take all but the bytes that could start a line end.
        const std::size_t keep = std::min(pending.size(), width - 1);
        const std::string_view piece = pending.substr(0, pending.size() - keep);
        if (!piece.empty()) {
            any = true;
            line.append(piece.substr(0, lineCap_ > line.size() ? lineCap_ - line.size() : 0));
            length += piece.size();
            begin_ += piece.size();
        }
        if (!fill()) {
            // The end of the file: whatever is left is the last line.
            const std::string_view rest(buffer_.data() + begin_, end_ - begin_);
            if (!rest.empty()) {
                any = true;
                line.append(rest.substr(0, lineCap_ > line.size() ? lineCap_ - line.size() : 0));
                length += rest.size();
                begin_ = end_;
            }
            return any;
        }
    }
}

LineFault lineFault(std::string_view line, std::size_t length, std::size_t recordLength) {
    // Blanks are the space only, as the old trimming function knew them.
    if (line.find_first_not_of(' ') == std::string_view::npos && length == line.size()) {
        return LineFault::Blank;
    }
    return length != recordLength ? LineFault::Length : LineFault::None;
}

void blankControlCharacters(std::string& line) {
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || (byte >= 128 && byte <= 159)) {
            c = ' ';
        }
    }
}

std::string_view columns(std::string_view line, std::size_t from, std::size_t to) {
    if (from == 0 || from > line.size() || to < from) {
        return {};
    }
    return line.substr(from - 1, to - from + 1);
}

}  // namespace kapred
