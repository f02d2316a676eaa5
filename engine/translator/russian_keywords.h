// <#--AddRus>: Russian keywords become VBScript keywords and every other Cyrillic letter is
// transliterated, outside string literals. Every line of the result ends with CR LF.
#pragma once
#include <string>
#include <string_view>

namespace qz::tr {

std::u16string translate_russian(std::u16string_view text);

}  // namespace qz::tr
