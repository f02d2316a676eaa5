// Code pages: text <-> bytes for the single-byte pages scripts use, UTF-8, and the choice of
// the "ANSI" page, the language and the output page from the environment.
//
// Single-byte pages are lossless: a byte that a page leaves undefined (0x98 in page 1251;
// 0x81, 0x8D, 0x8F, 0x90, 0x9D in page 1252) decodes to the C1 control of the same number
// and encodes back to that byte, so any byte string survives decode + encode unchanged.
// Encoding a character that a page has no byte for gives '?'.
//
// Page numbers are the usual ones; 0 (the ANSI page) and 3 (the thread's ANSI page) mean
// ansi_code_page(), 1 (the OEM page) means 866 for Russian and 437 otherwise. A page this
// module does not know is treated as the ANSI page (see code_page_supported).
#pragma once
#include <string>
#include <string_view>

#include "com/str.h"

namespace qz {

enum class CodePage : int {
  Ansi = 0, Oem = 1, ThreadAnsi = 3,
  Cp437 = 437, Cp866 = 866, Win1251 = 1251, Win1252 = 1252, Koi8R = 20866,
  Latin1 = 28591, Iso8859_5 = 28595, Utf8 = 65001,
};

// True for the pages listed above (the aliases 0, 1, 3 included).
bool code_page_supported(int codepage);
// The concrete page an alias or unknown number stands for (0 -> 1251 or 1252, ...).
int resolve_code_page(int codepage);

std::u16string decode(int codepage, std::string_view bytes);
std::string encode(int codepage, std::u16string_view text);

// Single-byte pages (every page but UTF-8) give one character per byte, so a text can be
// decoded piece by piece into a buffer made for it: decode_into writes bytes.size() units to
// `out`, the bytes decoded through a single-byte page.
bool is_single_byte_page(int codepage);
void decode_into(int codepage, std::string_view bytes, char16_t* out);
// decode() straight into a script string, without a second copy of the text.
Str decode_to_str(int codepage, std::string_view bytes);

// One byte of a single-byte page (the resolved page must not be UTF-8; UTF-8 gives U+00xx).
char16_t decode_byte(int codepage, unsigned char byte);
// The byte for a character, or -1 when the page has none.
int encode_char(int codepage, char16_t c);

// Byte strings (odd-length capable Str values, as ChrB and StrConv make them).
Str encode_to_byte_string(int codepage, std::u16string_view text);
std::u16string decode_byte_string(int codepage, const Str& bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool is_valid_utf8(std::string_view bytes);

// Environment: read on every call, so a test or the host may change the variables.
// 1049 when QUAZEL_LANGID is 1049, or when it is unset and the first set one of LC_ALL,
// LC_MESSAGES, LANG starts with "ru"; else 1033.
int language_id();
int ansi_code_page();    // 1251 for Russian, else 1252
int oem_code_page();     // 866 for Russian, else 437
// The ANSI page of a locale id: 1251 for the languages written in Cyrillic (Russian 1049,
// Ukrainian, Belarusian, Bulgarian ...), 1252 for every other language; 0, -1 and the neutral
// default locales (1024, 2048) give ansi_code_page().
int locale_code_page(int lcid);
// QUAZEL_OUTPUT_CP when it names a supported page (0 and 1 resolve as above), else 65001.
int output_code_page();
// The page CGI request bodies and standard input are read through: the output page when that
// is a single-byte page, so bytes read and written back pass unchanged; else the ANSI page.
int byte_input_code_page();

// Text bytes from the system (environment, arguments): UTF-8 (a leading BOM dropped) when the
// bytes are valid UTF-8, else the ANSI page.
std::u16string decode_script_bytes(std::string_view bytes);

// The page of script files that are not UTF-8: Windows-1251, the dialect's own, whatever the
// locale; QUAZEL_SCRIPT_CP may name another single-byte page.
int script_code_page();
// Script files (and their includes and libraries): UTF-8 (a leading BOM dropped) when the
// bytes are valid UTF-8, else script_code_page().
std::u16string decode_script_file(std::string_view bytes);

}  // namespace qz
