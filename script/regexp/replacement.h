// The replacement text of RegExp.Replace, parsed once per call: literal runs and the $ codes
// ($1..$99, $&, $`, $', $$). A two-digit reference counts only when that group exists, else
// it is the one-digit group and a literal digit; a $ that starts no code stays literal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

class ReplacementTemplate {
 public:
  ReplacementTemplate(std::u16string_view text, uint32_t group_count);

  // Appends the expansion for one match. `offsets` holds start/end pairs of the whole match and
  // of each group (`pairs` pairs); an unset group has start == kUnset and expands to nothing.
  void expand(std::u16string& out, std::u16string_view subject, const size_t* offsets, uint32_t pairs) const;

  // True when the expansion does not depend on the match (no $ code at all).
  bool is_literal() const { return literal_only_; }

  static constexpr size_t kUnset = ~static_cast<size_t>(0);

 private:
  enum class Kind : uint8_t { kText, kGroup, kBefore, kAfter };  // kGroup 0 is the whole match
  struct Piece {
    Kind kind;
    uint32_t group;      // kGroup
    size_t start, len;   // kText: a run of text_
  };
  void add_text(std::u16string_view s);

  std::u16string text_;
  std::vector<Piece> pieces_;
  bool literal_only_ = true;
};

}  // namespace qz
