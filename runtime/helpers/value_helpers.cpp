#include "runtime/helpers/value_helpers.h"

#include <cmath>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "services/conv/string_sort.h"

namespace qz {

Variant inline_if(const Variant& condition, const Variant& if_true, const Variant& if_false,
                  const std::function<Variant(std::u16string_view)>& evaluate) {
  const Variant& c = condition.deref();
  bool truth;
  try {
    truth = c.is_string() ? to_bool(evaluate(c.str_view())) : to_bool(c);
  } catch (...) {
    truth = true;
  }
  return truth ? if_true.deref() : if_false.deref();
}

namespace {

bool ignorable(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

}  // namespace

double leading_number(std::u16string_view in) {
  std::u16string s;
  for (char16_t c : in)
    if (!ignorable(c)) s.push_back(c);
  size_t i = 0;
  if (s.size() >= 2 && s[0] == u'&') {
    char16_t kind = fold_case(s[1]);
    if (kind == u'h' || kind == u'o') {
      const int base = kind == u'h' ? 16 : 8;
      double v = 0;
      for (i = 2; i < s.size(); ++i) {
        char16_t c = fold_case(s[i]);
        int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : 99;
        if (d >= base) break;
        v = v * base + d;
      }
      return v;
    }
  }
  std::string text;  // the longest prefix that reads as a number
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) text.push_back(static_cast<char>(s[i++]));
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= u'0' && s[i] <= u'9') {
      text.push_back(static_cast<char>(s[i]));
      digits = true;
    } else if (s[i] == u'.' && !point) {
      text.push_back('.');
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && fold_case(s[i]) == u'e') {
    size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp.push_back(static_cast<char>(s[j++]));
    bool exp_digits = false;
    for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j) {
      exp.push_back(static_cast<char>(s[j]));
      exp_digits = true;
    }
    if (exp_digits) text += exp;
  }
  double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) raise(kErrOverflow);
  return v;
}

void sort_array_as_text(Variant& var) {
  Variant& target = var.deref();
  if (!target.is_array()) raise(kErrTypeMismatch);
  ArrayRep* rep = target.array_mut();
  if (rep->dims.size() != 1 || rep->dims[0].lbound > 0) raise(kErrSubscript);
  const int64_t ubound = static_cast<int64_t>(rep->dims[0].lbound) + rep->dims[0].count - 1;
  const int64_t lbound = rep->dims[0].lbound;
  if (ubound < 0) return;
  std::vector<Str> texts;
  for (int64_t i = 0; i <= ubound; ++i) {
    size_t k = static_cast<size_t>(i - lbound);
    texts.push_back(rep->elem == VT::Byte ? to_str(Variant(rep->bytes[k])) : to_str(rep->items[k]));
  }
  sort_strings(texts, SortOrder::Ascending, SortCompare::Text);
  for (int64_t i = 0; i <= ubound; ++i) {
    size_t k = static_cast<size_t>(i - lbound);
    if (rep->elem == VT::Byte) rep->bytes[k] = to_byte(Variant(texts[static_cast<size_t>(i)]));
    else rep->items[k] = Variant(texts[static_cast<size_t>(i)]);
  }
}

}  // namespace qz
