// The put operations: each builds the item's value text and places the item in its section,
// replacing items of the same tag while duplicate checking is on.
#include "inifile/ini_internal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

using namespace ini_detail;

namespace {

void forgetItemIndex(Section &section) {
    section.indexValid = false;
    section.index.clear();
}

void putIntoSorted(IniTextRec *doc, std::string_view sectionName, Item &&item) {
    auto &sections = doc->sections;
    auto byName = [](const Section &s, std::string_view n) { return compareNames(s.name, n) < 0; };
    auto where = std::lower_bound(sections.begin(), sections.end(), sectionName, byName);
    if (where == sections.end() || !namesEqual(where->name, sectionName)) {
        Section section;
        section.name = sectionName;
        section.items.push_back(std::move(item));
        sections.insert(where, std::move(section));
        doc->lastSection = -1; // positions moved
        return;
    }
    auto &items = where->items;
    const std::string_view tag = item.tag;
    auto first =
        std::lower_bound(items.begin(), items.end(), tag, [](const Item &i, std::string_view t) {
            return compareNames(i.tag, t) < 0;
        });
    auto last =
        std::find_if(first, items.end(), [&](const Item &i) { return !namesEqual(i.tag, tag); });
    if (doc->duplicateChecking)
        first = items.erase(first, last);
    else
        first = last; // after the earlier ones: gets still find the first
    items.insert(first, std::move(item));
}

int putItem(IniText doc, const char *section, const char *tag, std::string &&value, bool quoted) {
    const std::string_view sectionName = trim(section);
    Item item;
    item.tag = trim(tag);
    item.value = std::move(value);
    item.quoted = quoted;
    if (doc->sorted) {
        putIntoSorted(doc, sectionName, std::move(item));
        return 0;
    }
    Section *found = findSection(doc, sectionName);
    if (!found) {
        appendSection(doc, std::string(sectionName)).items.push_back(std::move(item));
        return 0;
    }
    auto &items = found->items;
    if (doc->duplicateChecking) {
        const long first = findItemPosition(doc, *found, item.tag);
        if (first >= 0) {
            // The new item takes the place of the first one of its tag; later ones go.
            const std::string_view tagName = item.tag;
            auto kept = std::remove_if(items.begin() + first + 1, items.end(),
                                       [&](const Item &i) { return namesEqual(i.tag, tagName); });
            if (kept != items.end()) {
                items.erase(kept, items.end());
                forgetItemIndex(*found);
            }
            items[first] = std::move(item);
            return 0;
        }
    }
    items.push_back(std::move(item));
    if (found->indexValid) {
        try {
            upperInto(doc->scratch, items.back().tag);
            found->index.emplace(doc->scratch, static_cast<uint32_t>(items.size() - 1));
        } catch (...) {
            forgetItemIndex(*found);
            throw;
        }
    }
    return 0;
}

int put(IniText doc, const char *section, const char *tag, const auto &makeValue, bool quoted) {
    if (!doc || !section || !tag) return INI_ERR_NULL_ARGUMENT;
    return guarded([&] {
        std::string value;
        makeValue(value);
        return putItem(doc, section, tag, std::move(value), quoted);
    });
}

template <class T> void decimal(std::string &out, T value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.assign(text, result.ptr);
}

} // namespace

int Ini_PutString(IniText document, const char *section, const char *tag, const char *text) {
    return put(
        document, section, tag, [&](std::string &v) { escapeInto(v, text ? text : ""); },
        document && document->addQuotes);
}

int Ini_PutRawString(IniText document, const char *section, const char *tag, const char *text) {
    return put(
        document, section, tag, [&](std::string &v) { v = text ? text : ""; },
        document && document->addQuotes);
}

int Ini_PutInt(IniText document, const char *section, const char *tag, int value) {
    return put(
        document, section, tag, [&](std::string &v) { decimal(v, value); }, false);
}

int Ini_PutUInt(IniText document, const char *section, const char *tag, unsigned int value) {
    return put(
        document, section, tag, [&](std::string &v) { decimal(v, value); }, false);
}

int Ini_PutDouble(IniText document, const char *section, const char *tag, double value) {
    // "%.16g" in the C locale, whatever locale the program runs in.
    return put(
        document, section, tag,
        [&](std::string &v) {
            char text[64];
            const auto result =
                std::to_chars(text, text + sizeof text, value, std::chars_format::general, 16);
            v.assign(text, result.ptr);
        },
        false);
}

int Ini_PutBoolean(IniText document, const char *section, const char *tag, int value) {
    return put(
        document, section, tag, [&](std::string &v) { v = value ? "True" : "False"; }, false);
}

int Ini_PutData(IniText document, const char *section, const char *tag, const unsigned char *data,
                long byteCount) {
    if (byteCount < 0 || (byteCount > 0 && !data)) return INI_ERR_NULL_ARGUMENT;
    return put(
        document, section, tag,
        [&](std::string &v) { encodeDataInto(v, data, static_cast<size_t>(byteCount)); },
        document && document->addQuotes);
}
