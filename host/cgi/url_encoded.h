// Form-encoded request text (a query string or an application/x-www-form-urlencoded body):
// splitting into pairs and decoding each pair.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qz::cgi {

// Decodes one pair. Every "+" becomes a blank first (so "%2B" ends as a plus sign); then each
// "%" followed by hexadecimal digits (one or two; reading stops at the first other character)
// is replaced, together with the two characters after it, by the character that byte value
// has in `codepage`. A "%" whose value is 0 ("%zz", "%00") stays. Decoded characters are never
// decoded again, so "%252" gives "%2".
std::u16string url_decode(std::u16string_view text, int codepage);

// The decoded pairs of a request text, split at every "&": "a=1&&b=2" gives three pairs (the
// middle one empty); a trailing "&" adds none. A whole pair is decoded at once, so an encoded
// "=" becomes a real one.
std::vector<std::u16string> split_form_pairs(std::u16string_view text, int codepage);

}  // namespace qz::cgi
