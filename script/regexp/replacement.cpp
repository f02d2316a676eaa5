#include "script/regexp/replacement.h"

namespace qz {

namespace {
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

void ReplacementTemplate::add_text(std::u16string_view s) {
  if (!pieces_.empty() && pieces_.back().kind == Kind::kText &&
      pieces_.back().start + pieces_.back().len == text_.size()) {
    pieces_.back().len += s.size();
  } else {
    pieces_.push_back({Kind::kText, 0, text_.size(), s.size()});
  }
  text_.append(s);
}

ReplacementTemplate::ReplacementTemplate(std::u16string_view t, uint32_t group_count) {
  size_t i = 0;
  while (i < t.size()) {
    size_t dollar = t.find(u'$', i);
    if (dollar == std::u16string_view::npos) {
      add_text(t.substr(i));
      break;
    }
    if (dollar > i) add_text(t.substr(i, dollar - i));
    i = dollar + 1;
    char16_t c = i < t.size() ? t[i] : 0;
    Piece code{Kind::kGroup, 0, 0, 0};
    if (c == u'$') {
      add_text(u"$");
      ++i;
      continue;
    }
    if (c == u'&') {
      ++i;
    } else if (c == u'`') {
      code.kind = Kind::kBefore;
      ++i;
    } else if (c == u'\'') {
      code.kind = Kind::kAfter;
      ++i;
    } else if (is_digit(c)) {
      uint32_t one = c - u'0';
      uint32_t two = i + 1 < t.size() && is_digit(t[i + 1]) ? one * 10 + (t[i + 1] - u'0') : 0;
      if (two >= 1 && two <= group_count) {
        code.group = two;
        i += 2;
      } else if (one >= 1 && one <= group_count) {
        code.group = one;
        i += 1;
      } else {
        add_text(u"$");
        continue;
      }
    } else {
      add_text(u"$");
      continue;
    }
    pieces_.push_back(code);
    literal_only_ = false;
  }
}

void ReplacementTemplate::expand(std::u16string& out, std::u16string_view subject, const size_t* offsets,
                                 uint32_t pairs) const {
  for (const Piece& p : pieces_) {
    switch (p.kind) {
      case Kind::kText: out.append(text_, p.start, p.len); break;
      case Kind::kGroup: {
        if (p.group >= pairs) break;
        size_t s = offsets[2 * p.group], e = offsets[2 * p.group + 1];
        if (s != kUnset && e >= s && e <= subject.size()) out.append(subject.substr(s, e - s));
        break;
      }
      case Kind::kBefore: out.append(subject.substr(0, offsets[0])); break;
      case Kind::kAfter: out.append(subject.substr(offsets[1])); break;
    }
  }
}

}  // namespace qz
