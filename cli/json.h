// A small JSON writer for taviron's --json output: objects, arrays, strings, integers and
// booleans, written compactly on one line. Text from the sensor (names, firmware) is not
// always UTF-8: a byte that does not start valid UTF-8 is taken as the Latin-1 character of
// that code, so the output is always valid UTF-8 and a Latin-1 "ü" stays an "ü".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

class JsonWriter {
  public:
    JsonWriter &BeginObject();
    JsonWriter &EndObject();
    JsonWriter &BeginArray();
    JsonWriter &EndArray();
    // The name of the next member of an object.
    JsonWriter &Key(std::string_view name);
    JsonWriter &String(std::string_view text);
    JsonWriter &Int(std::int64_t value);
    JsonWriter &Bool(bool value);
    JsonWriter &Null();
    // A value already written as JSON (another writer's text).
    JsonWriter &Raw(std::string_view json);

    const std::string &Text() const { return text_; }

  private:
    void BeforeValue();
    std::string text_;
    bool first_ = true;     // no member or element yet at this level
    bool afterKey_ = false; // the value of a member follows
};
