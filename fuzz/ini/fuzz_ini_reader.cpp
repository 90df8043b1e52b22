// Fuzz target for the INI reader: reads arbitrary bytes as an INI file through
// Ini_ReadGeneric (from memory), then queries, changes and writes what was read.
//
// The first input byte chooses the document's settings, the line source and which of the later
// steps run; the rest is the file's text.
// Besides memory errors and undefined behaviour it checks what the writer promises: no line
// longer than 1024 characters and none with a line break or zero byte inside.
#include "inifile/inifile.h"
#include "inifile/linefile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

int lineFileSource(void *context, char *line, int size, int *number, int *eof) {
    return LineFile_Read(static_cast<LineFile>(context), line, size - 1, number, eof);
}

// A plainer source: splits at LF only and may deliver CR inside a line.
struct LfSource {
    std::string_view text;
    size_t pos = 0;
    int number = 0;
};

int lfSource(void *context, char *line, int size, int *number, int *eof) {
    auto *src = static_cast<LfSource *>(context);
    if (src->pos >= src->text.size()) {
        *eof = 1;
        return 0;
    }
    size_t end = src->text.find('\n', src->pos);
    if (end == std::string_view::npos) end = src->text.size();
    std::string_view piece = src->text.substr(src->pos, end - src->pos);
    piece = piece.substr(0, std::min(piece.size(), static_cast<size_t>(size - 1)));
    const size_t zero = piece.find('\0');
    if (zero != std::string_view::npos) piece = piece.substr(0, zero);
    memcpy(line, piece.data(), piece.size());
    line[piece.size()] = '\0';
    src->pos = end + 1;
    *number = ++src->number;
    *eof = 0;
    return 0;
}

struct Output {
    std::string text;
    bool crAllowed; // the LF source can hand the reader a CR inside a line
};

int checkingSink(void *context, const char *line) {
    auto *out = static_cast<Output *>(context);
    const size_t length = strlen(line);
    if (length > INI_MAX_LINE_LENGTH || strchr(line, '\n') ||
        (!out->crAllowed && strchr(line, '\r')))
        __builtin_trap();
    out->text.append(line, length);
    out->text.append("\r\n");
    return 0;
}

// Candidate section names and tags taken from the input itself.
void collectNames(std::string_view text, std::vector<std::string> *sections,
                  std::vector<std::string> *tags) {
    size_t pos = 0;
    while (pos < text.size() && sections->size() < 2 && tags->size() < 2) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        const size_t open = line.find('[');
        const size_t close = line.rfind(']');
        if (open != std::string_view::npos && close != std::string_view::npos && close > open)
            sections->emplace_back(line.substr(open + 1, close - open - 1));
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos) tags->emplace_back(line.substr(0, eq));
        pos = end + 1;
    }
    sections->emplace_back("");
    tags->emplace_back("");
    for (auto &s : *sections)
        s = s.c_str(); // names stop at a zero byte
    for (auto &t : *tags)
        t = t.c_str();
}

int keepEveryOther(IniText, void *userValue, const char *) {
    return (*static_cast<int *>(userValue))++ % 2 == 0;
}

void queryAll(IniText doc, const std::vector<std::string> &sections,
              const std::vector<std::string> &tags, int bufferSize) {
    std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
    for (const auto &s : sections) {
        (void)Ini_SectionExists(doc, s.c_str());
        for (const auto &t : tags) {
            const char *text = nullptr;
            if (Ini_GetPointerToString(doc, s.c_str(), t.c_str(), &text) == 1 &&
                strlen(text) > (1u << 30))
                __builtin_trap();
            Ini_GetStringIntoBuffer(doc, s.c_str(), t.c_str(), buffer.data(), bufferSize);
            Ini_GetRawStringIntoBuffer(doc, s.c_str(), t.c_str(), buffer.data(), bufferSize);
            char *copy = nullptr;
            if (Ini_GetStringCopy(doc, s.c_str(), t.c_str(), &copy) == 1) free(copy);
            int i = 0;
            unsigned u = 0;
            long long ll = 0;
            unsigned long long ull = 0;
            double d = 0;
            int b = 0;
            Ini_GetInt(doc, s.c_str(), t.c_str(), &i);
            Ini_GetUInt(doc, s.c_str(), t.c_str(), &u);
            Ini_GetInt64(doc, s.c_str(), t.c_str(), &ll);
            Ini_GetUInt64(doc, s.c_str(), t.c_str(), &ull);
            Ini_GetDouble(doc, s.c_str(), t.c_str(), &d);
            Ini_GetBoolean(doc, s.c_str(), t.c_str(), &b);
            unsigned char *data = nullptr;
            long count = 0;
            if (Ini_GetData(doc, s.c_str(), t.c_str(), &data, &count) == 1) {
                // Encoding what was decoded must give back a text that decodes the same.
                IniText check = Ini_New(0);
                Ini_PutData(check, "S", "D", data, count);
                unsigned char *again = nullptr;
                long againCount = 0;
                if (Ini_GetData(check, "S", "D", &again, &againCount) != 1 || againCount != count ||
                    (count && memcmp(again, data, count) != 0))
                    __builtin_trap();
                free(again);
                free(data);
                Ini_Dispose(check);
            }
            (void)Ini_ItemExists(doc, s.c_str(), t.c_str());
            (void)Ini_LineOfLastAccess(doc);
        }
    }
}

IniText newDocument(uint8_t options) {
    static const int maxLengths[] = {80, 0, 1, 9, 40, 80, 255, 1024};
    IniText doc = Ini_New(options & 1);
    if (!doc) return nullptr;
    if (options & 2) Ini_SetDuplicateChecking(doc, 0);
    if (options & 4) Ini_SetAddQuotesToStrings(doc, 0);
    if (options & 8) Ini_SetTokens(doc, '<', '>', "::", "#");
    Ini_SetMaxValueLineLength(doc, maxLengths[(options >> 4) & 7]);
    return doc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = input[0];
    const std::string_view text(reinterpret_cast<const char *>(input + 1), size - 1);

    IniText doc = newDocument(options);
    if (!doc) return 0;
    int filterCalls = 0;
    if ((options & 0x80) && (options & 0x40))
        Ini_SetSectionFilter(doc, keepEveryOther, &filterCalls);

    if (options & 0x80) {
        LfSource source{text};
        Ini_ReadGeneric(doc, lfSource, &source);
    } else {
        LineFile lines = LineFile_NewFromMemory(text.data(), text.size());
        Ini_ReadGeneric(doc, lineFileSource, lines);
        LineFile_Dispose(lines);
    }

    const bool crAllowed = (options & 0x80) != 0;
    Output written{{}, crAllowed};
    Ini_WriteGeneric(doc, checkingSink, &written);

    // For a share of the inputs (chosen by the option byte, so the fuzzer steers it): gets over
    // names seen in the input, string puts over them, and a second write.
    if (options & 0x40) {
        std::vector<std::string> sections, tags;
        collectNames(text, &sections, &tags);
        queryAll(doc, sections, tags, 1 + (options >> 3) % 8);
        const std::string value(text.substr(0, 100));
        for (const auto &section : sections)
            for (const auto &tag : tags)
                Ini_PutString(doc, section.c_str(), tag.c_str(), value.c_str());
        Output rewritten{{}, crAllowed};
        Ini_WriteGeneric(doc, checkingSink, &rewritten);
    }

    // For another share: what was written reads back and writes again without trouble.
    if (options & 0x20) {
        IniText back = newDocument(options);
        if (back) {
            LineFile lines = LineFile_NewFromMemory(written.text.data(), written.text.size());
            Ini_ReadGeneric(back, lineFileSource, lines);
            LineFile_Dispose(lines);
            Output again{{}, false}; // read through the line reader: no CR inside a line
            Ini_WriteGeneric(back, checkingSink, &again);
            Ini_Dispose(back);
        }
    }
    Ini_Dispose(doc);
    return 0;
}
