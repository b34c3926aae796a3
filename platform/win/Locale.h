#pragma once
// Locale information of Windows locale ids (LCIDs): the English name of a locale's language.
#include "platform/com/ComTypes.h"

using LCTYPE = std::uint32_t;

constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;  // the language's English name, e.g. "English"

// The primary language id of an LCID: its low ten bits.
constexpr std::uint16_t PRIMARYLANGID(LCID Locale) { return static_cast<std::uint16_t>(Locale & 0x3FF); }

// Writes the item as a NUL-terminated text into Data and returns its length including the
// NUL; with Size 0 only returns that length. 0 for an item or language not known, or a Data
// too small for the text.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, char* Data, int Size);
