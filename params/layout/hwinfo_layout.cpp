// The hex text of the hardware block and the items of the hardware information file.
#include "params/layout/hwinfo_layout.h"

#include "params/layout/para_names.h"
#include "taviron_version.h"

#include <cstring>
#include <string>

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Two hex digits of a byte, or "--" for a byte that did not arrive.
void PutByte(const std::uint8_t *block, int index, int count, char *out) {
    if (index >= count) {
        out[0] = out[1] = '-';
        return;
    }
    out[0] = kHexDigits[block[index] >> 4];
    out[1] = kHexDigits[block[index] & 0x0F];
}

} // namespace

void HardwareText(const std::uint8_t *block, int count, char *text) {
    if (count < 0 || !block) count = 0;
    if (count > kHwBlockSize) count = kHwBlockSize;
    for (int word = 0; word < kHwBlockSize / 2; ++word) {
        PutByte(block, 2 * word + 1, count, text + 4 * word); // high byte first
        PutByte(block, 2 * word, count, text + 4 * word + 2);
    }
    text[kHwTextLength] = 0;
}

void PutHwInfoItems(IniText document, const char *firmware, int firmwareSize,
                    const char *hardwareText, const std::uint16_t *paraValues) {
    const std::string firmwareText =
        firmware ? std::string(firmware, strnlen(firmware, firmwareSize)) : std::string();
    Ini_PutString(document, "GENERAL INFO", "FILE TYPE:", "Hardware Initial File");
    Ini_PutString(document, "GENERAL INFO", "SCOPE VERSION:", kProgramVersion);
    Ini_PutString(document, "GENERAL INFO", "FIRMWARE VERSION:", firmwareText.c_str());
    Ini_PutString(document, "HARDWARE INFO", "DATA", hardwareText);
    for (int i = 0; i < 4; ++i)
        Ini_PutInt(document, "PARAMETER", kParaNames[i].fileKey, paraValues[i]);
}
