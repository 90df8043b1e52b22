// The six-bit text encoding of binary data: three bytes become four characters from "0" to
// "o". The first character of a group carries the top two bits of each byte, the others the
// low six bits of one byte each; a last group of one or two bytes is one character shorter.
#include "inifile/ini_internal.h"

namespace ini_detail {

void encodeDataInto(std::string &out, const unsigned char *data, size_t byteCount) {
    out.clear();
    out.reserve(4 * (byteCount / 3) + 4);
    for (size_t i = 0; i < byteCount; i += 3) {
        const size_t inGroup = byteCount - i < 3 ? byteCount - i : 3;
        unsigned top = 0;
        for (size_t k = 0; k < inGroup; ++k)
            top |= static_cast<unsigned>(data[i + k] >> 6) << (4 - 2 * k);
        out += static_cast<char>('0' + top);
        for (size_t k = 0; k < inGroup; ++k)
            out += static_cast<char>('0' + (data[i + k] & 0x3F));
    }
}

size_t decodedDataSize(size_t textLength) {
    const size_t rest = textLength % 4;
    return 3 * (textLength / 4) + (rest ? rest - 1 : 0);
}

void decodeData(std::string_view text, unsigned char *out) {
    // Characters outside "0".."o" are not part of the encoding; their low six bits are used.
    auto six = [](char c) {
        return static_cast<unsigned>(static_cast<unsigned char>(c) - '0') & 0x3F;
    };
    const size_t length = text.size();
    size_t o = 0;
    for (size_t i = 0; i + 1 < length; i += 4) {
        const size_t inGroup = length - i >= 4 ? 3 : length - i - 1;
        const unsigned top = six(text[i]);
        for (size_t k = 0; k < inGroup; ++k)
            out[o++] = static_cast<unsigned char>((((top >> (4 - 2 * k)) & 3) << 6) |
                                                  six(text[i + 1 + k]));
    }
}

} // namespace ini_detail
