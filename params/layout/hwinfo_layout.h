// The content of the hardware information file: the sensor's 512-byte hardware block as hex
// text, and the eight items of the file in their order. Pure: no panels, no link.
#pragma once

#include "inifile/inifile.h"

#include <cstdint>

constexpr int kHwBlockSize = 512;               // bytes of the block: 256 words
constexpr int kHwTextLength = 2 * kHwBlockSize; // 4 hex digits a word
constexpr int kHwTextSize = kHwTextLength + 1;  // with the terminating zero

// Writes the block as 256 little-endian words, each as 4 lower-case hex digits, word 0 first,
// into text (kHwTextSize bytes). Only the first `count` bytes (at most 512) are taken: a byte
// that did not arrive shows as "--" in its half of the word, so the text keeps its length and
// every word keeps its place.
void HardwareText(const std::uint8_t *block, int count, char *text);

// Puts the items of the file into a fresh unsorted document, in file order: identification,
// firmware text, the hardware text as "DATA", the four parameters. `firmware` is read up to
// its first zero or `firmwareSize` bytes, whichever comes first.
void PutHwInfoItems(IniText document, const char *firmware, int firmwareSize,
                    const char *hardwareText, const std::uint16_t *paraValues);
