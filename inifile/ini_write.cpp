// Writing the text format through a line sink: header comment, sections with their comments
// and items, numbered multi-line items for long values, trailing comment.
#include "inifile/ini_internal.h"

#include <algorithm>
#include <cstdio>

using namespace ini_detail;

namespace {

struct Writer {
    IniText doc;
    Ini_LineSinkFunc sink;
    void *context;
    std::string line;

    int emit(const std::string &text) { return sink(context, text.c_str()); }

    // A stored comment block holds its lines joined with CR LF: one sink call per line.
    int comment(const std::string &block) {
        size_t start = 0;
        for (;;) {
            const size_t end = block.find("\r\n", start);
            line.assign(block, start, end == std::string::npos ? std::string::npos : end - start);
            if (const int status = emit(line)) return status;
            if (end == std::string::npos) return 0;
            start = end + 2;
        }
    }

    void valueLine(std::string_view tag, std::string_view value, bool quoted) {
        line.assign(tag);
        line += doc->writtenSeparator;
        if (quoted) line += '"';
        line += value;
        if (quoted) line += '"';
    }

    int item(const Item &item) {
        const std::string_view value = item.value;
        const size_t maxLength = static_cast<size_t>(doc->maxValueLineLength);
        const size_t quotes = item.quoted ? 2 : 0;
        const size_t separator = doc->writtenSeparator.size();
        if (maxLength == 0 || value.size() <= maxLength) {
            const std::string_view tag = std::string_view(item.tag).substr(0, INI_MAX_NAME_LENGTH);
            const size_t room = INI_MAX_LINE_LENGTH - tag.size() - separator - quotes;
            valueLine(tag, value.substr(0, room), item.quoted);
            return emit(line);
        }
        // Pieces "TAG Line0001", "TAG Line0002", ... which reading joins again.
        const std::string_view base = std::string_view(item.tag).substr(0, 246);
        std::string numbered;
        for (size_t at = 0, k = 1; at < value.size(); ++k) {
            char number[32];
            snprintf(number, sizeof number, " Line%04zu", k);
            numbered.assign(base);
            numbered += number;
            const size_t room = INI_MAX_LINE_LENGTH - numbered.size() - separator - quotes;
            const size_t length = std::min({maxLength, room, value.size() - at});
            valueLine(numbered, value.substr(at, length), item.quoted);
            if (const int status = emit(line)) return status;
            at += length;
        }
        return 0;
    }

    int section(const Section &section) {
        if (!section.comment.empty())
            if (const int status = comment(section.comment)) return status;
        // The name is cut like a tag, so that the header reads back as a header.
        line.assign(1, doc->sectionStart);
        line.append(section.name, 0, INI_MAX_NAME_LENGTH);
        line += doc->sectionEnd;
        if (const int status = emit(line)) return status;
        for (const Item &it : section.items) {
            if (!it.comment.empty())
                if (const int status = comment(it.comment)) return status;
            if (const int status = item(it)) return status;
        }
        line.clear();
        return emit(line);
    }

    int run() {
        if (!doc->headerComment.empty()) {
            if (const int status = comment(doc->headerComment)) return status;
            line.clear();
            if (const int status = emit(line)) return status;
        }
        for (const Section &s : doc->sections)
            if (const int status = section(s)) return status;
        if (!doc->trailingComment.empty()) return comment(doc->trailingComment);
        return 0;
    }
};

} // namespace

int Ini_WriteGeneric(IniText document, Ini_LineSinkFunc sink, void *sinkContext) {
    if (!document || !sink) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        Writer writer{document, sink, sinkContext, {}};
        writer.line.reserve(INI_MAX_LINE_LENGTH + 1);
        return writer.run();
    });
}
