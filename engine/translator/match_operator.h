// The =~ operator and match references: "target =~ [igm]/pattern/replacement/" becomes a call
// of sys.rxp_rpl (replace form) or sys.rxp_cmp (match form, empty replacement); "$n" and
// "$n_m" become sys.rxp_param calls ("^^n", from "$$n" in a replacement, a str_from_eval
// call); "$$n" elsewhere becomes the plain text "$n".
#pragma once
#include <string>

namespace qz::tr {

void rewrite_match_operators(std::u16string& text);
void rewrite_match_references(std::u16string& text);
void unescape_match_references(std::u16string& text);

}  // namespace qz::tr
