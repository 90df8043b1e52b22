// The INI document: creation and disposal, tokens and flags, name matching and the lookups of
// sections and items that every get and put goes through.
#include "inifile/ini_internal.h"

#include <algorithm>
#include <cstring>

using namespace ini_detail;

namespace ini_detail {

std::string_view trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

int compareNames(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(upperAscii(a[i]));
        const auto cb = static_cast<unsigned char>(upperAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void upperInto(std::string &out, std::string_view name) {
    out.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i)
        out[i] = upperAscii(name[i]);
}

void invalidateLookups(IniTextRec *doc) {
    doc->lastSection = -1;
    doc->sectionIndexValid = false;
    doc->sectionIndex.clear();
    for (Section &section : doc->sections) {
        section.indexValid = false;
        section.index.clear();
    }
}

Section &appendSection(IniTextRec *doc, std::string name) {
    Section &section = doc->sections.emplace_back();
    section.name = std::move(name);
    if (doc->sectionIndexValid) {
        try {
            upperInto(doc->scratch, section.name);
            doc->sectionIndex.emplace(doc->scratch,
                                      static_cast<uint32_t>(doc->sections.size() - 1));
        } catch (...) {
            doc->sectionIndexValid = false; // rebuilt by the next lookup
        }
    }
    return section;
}

namespace {

long findSectionPosition(IniTextRec *doc, std::string_view name) {
    auto &sections = doc->sections;
    if (doc->sorted) {
        auto it = std::lower_bound(
            sections.begin(), sections.end(), name,
            [](const Section &s, std::string_view n) { return compareNames(s.name, n) < 0; });
        if (it != sections.end() && namesEqual(it->name, name)) return it - sections.begin();
        return -1;
    }
    if (sections.size() < kIndexThreshold) {
        for (size_t i = 0; i < sections.size(); ++i)
            if (namesEqual(sections[i].name, name)) return static_cast<long>(i);
        return -1;
    }
    if (!doc->sectionIndexValid) {
        doc->sectionIndex.clear();
        doc->sectionIndex.reserve(sections.size());
        for (size_t i = 0; i < sections.size(); ++i) {
            upperInto(doc->scratch, sections[i].name);
            doc->sectionIndex.emplace(doc->scratch, static_cast<uint32_t>(i));
        }
        doc->sectionIndexValid = true;
    }
    upperInto(doc->scratch, name);
    auto found = doc->sectionIndex.find(doc->scratch);
    return found == doc->sectionIndex.end() ? -1 : static_cast<long>(found->second);
}

} // namespace

Section *findSection(IniTextRec *doc, std::string_view name) {
    name = trim(name);
    // The section found last is tried first. It is always the first of its name: sections are
    // only appended (or, sorted, inserted, which forgets it).
    if (doc->lastSection >= 0 && static_cast<size_t>(doc->lastSection) < doc->sections.size() &&
        namesEqual(doc->sections[doc->lastSection].name, name))
        return &doc->sections[doc->lastSection];
    const long position = findSectionPosition(doc, name);
    if (position < 0) return nullptr;
    doc->lastSection = position;
    return &doc->sections[position];
}

long findItemPosition(IniTextRec *doc, Section &section, std::string_view tag) {
    tag = trim(tag);
    auto &items = section.items;
    if (doc->sorted) {
        auto it = std::lower_bound(
            items.begin(), items.end(), tag,
            [](const Item &item, std::string_view t) { return compareNames(item.tag, t) < 0; });
        if (it != items.end() && namesEqual(it->tag, tag)) return it - items.begin();
        return -1;
    }
    if (items.size() < kIndexThreshold) {
        for (size_t i = 0; i < items.size(); ++i)
            if (namesEqual(items[i].tag, tag)) return static_cast<long>(i);
        return -1;
    }
    if (!section.indexValid) {
        section.index.clear();
        section.index.reserve(items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            upperInto(doc->scratch, items[i].tag);
            section.index.emplace(doc->scratch, static_cast<uint32_t>(i));
        }
        section.indexValid = true;
    }
    upperInto(doc->scratch, tag);
    auto found = section.index.find(doc->scratch);
    return found == section.index.end() ? -1 : static_cast<long>(found->second);
}

const Item *lookupItem(IniTextRec *doc, const char *section, const char *tag) {
    doc->lineOfLastAccess = -1;
    Section *found = findSection(doc, section);
    if (!found) return nullptr;
    const long position = findItemPosition(doc, *found, tag);
    if (position < 0) return nullptr;
    const Item &item = found->items[position];
    doc->lineOfLastAccess = item.line;
    return &item;
}

void sortDocument(IniTextRec *doc) {
    std::stable_sort(
        doc->sections.begin(), doc->sections.end(),
        [](const Section &a, const Section &b) { return compareNames(a.name, b.name) < 0; });
    for (Section &section : doc->sections)
        std::stable_sort(
            section.items.begin(), section.items.end(),
            [](const Item &a, const Item &b) { return compareNames(a.tag, b.tag) < 0; });
    invalidateLookups(doc);
}

} // namespace ini_detail

IniText Ini_New(int sorted) {
    IniText doc = new (std::nothrow) IniTextRec;
    if (doc) doc->sorted = sorted != 0;
    return doc;
}

void Ini_Dispose(IniText document) {
    delete document;
}

int Ini_SetTokens(IniText document, char sectionStart, char sectionEnd, const char *valueSeparator,
                  const char *commentMarker) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        if (sectionStart) document->sectionStart = sectionStart;
        if (sectionEnd) document->sectionEnd = sectionEnd;
        // Longer tokens are cut to the format's 7 characters.
        if (valueSeparator && *valueSeparator) {
            document->valueSeparator.assign(valueSeparator,
                                            strnlen(valueSeparator, INI_MAX_TOKEN_LENGTH));
            document->writtenSeparator = " " + document->valueSeparator + " ";
        }
        if (commentMarker && *commentMarker)
            document->commentMarker.assign(commentMarker,
                                           strnlen(commentMarker, INI_MAX_TOKEN_LENGTH));
        return 0;
    });
}

int Ini_SetDuplicateChecking(IniText document, int on) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    document->duplicateChecking = on != 0;
    return 0;
}

int Ini_SetAddQuotesToStrings(IniText document, int on) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    document->addQuotes = on != 0;
    return 0;
}

int Ini_SetMaxValueLineLength(IniText document, int maxLength) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    if (maxLength < 0 || maxLength > INI_MAX_LINE_LENGTH) return INI_ERR_MAX_LINE_LENGTH;
    document->maxValueLineLength = maxLength;
    return 0;
}

int Ini_SetSectionFilter(IniText document, Ini_SectionFilterFunc filter, void *userValue) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    document->filter = filter;
    document->filterUserValue = userValue;
    return 0;
}

int Ini_LineOfLastAccess(IniText document) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    return document->lineOfLastAccess;
}

int Ini_NumberOfSections(IniText document) {
    if (!document) return INI_ERR_NULL_ARGUMENT;
    return static_cast<int>(document->sections.size());
}

int Ini_NthSectionName(IniText document, int index, const char **name) {
    if (!document || !name) return INI_ERR_NULL_ARGUMENT;
    if (index < 0 || static_cast<size_t>(index) >= document->sections.size()) return 0;
    *name = document->sections[index].name.c_str();
    return 1;
}

int Ini_NumberOfItems(IniText document, const char *section) {
    if (!document || !section) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        const Section *found = findSection(document, section);
        return found ? static_cast<int>(found->items.size()) : 0;
    });
}

int Ini_NthItemName(IniText document, const char *section, int index, const char **tag) {
    if (!document || !section || !tag) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        const Section *found = findSection(document, section);
        if (!found || index < 0 || static_cast<size_t>(index) >= found->items.size()) return 0;
        *tag = found->items[index].tag.c_str();
        return 1;
    });
}
