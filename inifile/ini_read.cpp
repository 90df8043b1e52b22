// Reading the text format: comments, section headers and item lines from a line source, the
// section filter, and the joining of numbered multi-line items afterwards.
#include "inifile/ini_internal.h"

#include <cstring>

using namespace ini_detail;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Names in a file are limited to 255 characters; a longer one is cut.
std::string_view cutName(std::string_view name) {
    if (name.size() > static_cast<size_t>(INI_MAX_NAME_LENGTH))
        name = trim(name.substr(0, INI_MAX_NAME_LENGTH));
    return name;
}

// The number of a multi-line piece ("PATH Line0002" -> 2), or -1 when the tag is not one:
// only decimal digits, at least one, may follow the first " Line", fitting a signed 32 bits.
long long pieceNumber(std::string_view tag, size_t *baseLength) {
    const size_t at = tag.find(" Line");
    if (at == std::string_view::npos || at + 5 == tag.size()) return -1;
    long long number = 0;
    for (size_t i = at + 5; i < tag.size(); ++i) {
        const char c = tag[i];
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
        if (number > 2147483647LL) return -1;
    }
    *baseLength = at;
    return number;
}

struct Reader {
    IniText doc;
    std::string pending; // comment block waiting for its section or item
    long current = -1;   // position of the current section, -1: none

    void comment(std::string_view line) {
        if (!pending.empty()) pending += "\r\n";
        pending += line;
    }

    // Blank lines, lines without separator, broken headers and the like.
    void ignored() {
        if (!pending.empty() && current < 0 && doc->headerComment.empty()) {
            doc->headerComment = std::move(pending);
            pending.clear();
        }
    }

    // Returns false when the line is not a valid header.
    bool header(std::string_view body, int lineNumber) {
        const size_t close = body.rfind(doc->sectionEnd);
        if (close == std::string_view::npos || close == 0 || !trim(body.substr(close + 1)).empty())
            return false;
        const std::string_view name = cutName(trim(body.substr(1, close - 1)));
        if (name.empty()) return false;
        std::string owned(name);
        if (doc->filter && !doc->filter(doc, doc->filterUserValue, owned.c_str())) {
            current = -1;
            pending.clear();
            return true;
        }
        Section &section = appendSection(doc, std::move(owned));
        section.comment = std::move(pending);
        pending.clear();
        section.line = lineNumber;
        current = static_cast<long>(doc->sections.size() - 1);
        return true;
    }

    // Returns false when the line is not a valid item line.
    bool item(std::string_view body, int lineNumber) {
        const size_t at = body.find(doc->valueSeparator);
        if (at == std::string_view::npos) return false;
        const std::string_view tag = cutName(trim(body.substr(0, at)));
        std::string_view value = trim(body.substr(at + doc->valueSeparator.size()));
        if (tag.empty() || value.empty()) return false;
        if (current < 0) { // before the first header or in a skipped section
            pending.clear();
            return true;
        }
        Item &item = doc->sections[current].items.emplace_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
            item.quoted = true;
        }
        item.tag = tag;
        item.value = value;
        item.comment = std::move(pending);
        pending.clear();
        item.line = lineNumber;
        return true;
    }

    void line(std::string_view text, int lineNumber) {
        size_t first = 0;
        while (first < text.size() && isBlank(text[first]))
            ++first;
        const std::string_view body = text.substr(first);
        if (body.starts_with(doc->commentMarker)) {
            comment(text);
        } else if (!body.empty() && body[0] == doc->sectionStart) {
            if (!header(body, lineNumber)) ignored(); // never taken as an item
        } else if (!item(body, lineNumber)) {
            ignored();
        }
    }
};

int readLines(IniText doc, Ini_LineSourceFunc source, void *context) {
    const size_t firstNewSection = doc->sections.size();
    Reader reader{doc, {}, -1};
    char line[INI_MAX_LINE_LENGTH + 1];
    int result = 0;
    bool first = true;
    for (;;) {
        int lineNumber = 0;
        int endOfFile = 0;
        line[0] = '\0';
        const int status = source(context, line, sizeof line, &lineNumber, &endOfFile);
        if (status < 0) {
            result = status; // what was read so far stays in the document
            break;
        }
        if (endOfFile) break;
        line[INI_MAX_LINE_LENGTH] = '\0';
        std::string_view text(line, strlen(line));
        // Editors may start a UTF-8 file with a byte-order mark; it is not part of the text.
        if (first && text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
        first = false;
        reader.line(text, lineNumber);
    }
    if (!reader.pending.empty() && doc->trailingComment.empty())
        doc->trailingComment = std::move(reader.pending);
    joinMultiLineItems(doc, firstNewSection);
    if (doc->sorted) sortDocument(doc);
    return result;
}

} // namespace

namespace ini_detail {

void joinMultiLineItems(IniTextRec *doc, size_t firstSection) {
    for (size_t s = firstSection; s < doc->sections.size(); ++s) {
        Section &section = doc->sections[s];
        auto &items = section.items;
        size_t kept = 0;
        bool joined = false;
        for (size_t i = 0; i < items.size();) {
            size_t baseLength = 0;
            if (pieceNumber(items[i].tag, &baseLength) != 1) {
                if (kept != i) items[kept] = std::move(items[i]);
                ++kept, ++i;
                continue;
            }
            // A run: piece 1 and every directly following piece not numbered 1.
            Item &head = items[i];
            size_t next = i + 1;
            size_t unused = 0;
            for (long long n;
                 next < items.size() && (n = pieceNumber(items[next].tag, &unused)) >= 0 && n != 1;
                 ++next)
                head.value += items[next].value;
            head.tag = std::string(trim(std::string_view(head.tag).substr(0, baseLength)));
            if (kept != i) items[kept] = std::move(head);
            ++kept;
            i = next;
            joined = true;
        }
        items.resize(kept);
        if (joined) {
            section.indexValid = false;
            section.index.clear();
        }
    }
}

} // namespace ini_detail

int Ini_ReadGeneric(IniText document, Ini_LineSourceFunc source, void *sourceContext) {
    if (!document || !source) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] { return readLines(document, source, sourceContext); });
}
