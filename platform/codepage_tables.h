// Upper halves (bytes 0x80-0xFF) of the single-byte code pages; bytes below 0x80 are ASCII.
// A byte that a page leaves undefined maps to the C1 control of the same number, so every
// byte decodes to a character and back to itself.
#pragma once

namespace qz::codepage_tables {

extern const char16_t kWin1251[128];
extern const char16_t kWin1252[128];
extern const char16_t kKoi8R[128];
extern const char16_t kCp866[128];
extern const char16_t kCp437[128];
extern const char16_t kIso8859_5[128];

}  // namespace qz::codepage_tables
