// The resource blocks that make appends to a script for the lines of [resfile]:
//
//   CR LF
//   <#res id=NAME name="FILE" FLAG #> CR LF       (name="info" for an inline text)
//   the file's bytes (Base64 lines when FLAG is ":base64"), or the inline text
//   CR LF <#res#> CR LF
#pragma once
#include <string>
#include <vector>

#include "engine/make/make_context.h"
#include "engine/make/make_ini.h"

namespace qz::make {

// `ini_codepage` is the page make.ini was read in: names and inline texts go back to bytes in
// it. File paths are found relative to `folder`. A missing or unreadable file gives a block
// with nothing between its two tags (and a note).
std::string resource_blocks(const std::vector<ResfileLine>& lines, int ini_codepage, const std::string& folder,
                            const MakeContext& ctx);

}  // namespace qz::make
