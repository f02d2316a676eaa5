// IIF's condition rules, the numeric reading of text (CVal) and the text sort of arrays.
#include <gtest/gtest.h>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/helpers/value_helpers.h"

namespace qz {
namespace {

TEST(InlineIf, OnlyTextIsEvaluated) {
  std::vector<std::u16string> evaluated;
  auto eval = [&](std::u16string_view text) {
    evaluated.emplace_back(text);
    if (text == u"1 > 2") return Variant(false);
    if (text == u"True") return Variant(true);
    raise(kErrSyntax);
  };
  EXPECT_EQ(to_u16(inline_if(Variant(u"1 > 2"), Variant(u"a"), Variant(u"b"), eval)), u"b");
  EXPECT_EQ(to_long(inline_if(Variant(true), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 1);
  // A Double is a truth value, never source text (1,5 in a comma-decimal language).
  EXPECT_EQ(to_long(inline_if(Variant(1.5), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 1);
  EXPECT_EQ(to_long(inline_if(Variant(0.0), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 2);
  EXPECT_EQ(to_long(inline_if(Variant(), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 2);
  EXPECT_EQ(evaluated.size(), 1u);
  // What cannot be evaluated or converted takes the first value.
  EXPECT_EQ(to_long(inline_if(Variant(u"1 +"), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 1);
  EXPECT_EQ(to_long(inline_if(Variant::null(), Variant(int32_t{1}), Variant(int32_t{2}), eval)), 1);
  // By-reference values come back as values.
  Variant var(u"x");
  Variant cell = Variant::by_ref(&var);
  EXPECT_TRUE(inline_if(Variant(true), cell, Variant(), eval).is_string());
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  struct Case { const char16_t* text; double value; };
  const Case cases[] = {
      {u"12abc", 12}, {u"1 2.5", 12.5}, {u"&HFF", 255}, {u"&o17", 15}, {u"abc", 0}, {u"1,5", 1},
      {u"  -3.5e2x", -350}, {u"1e", 1}, {u"\t4\n2", 42}, {u".5", 0.5}, {u"1.2.3", 1.2}, {u"", 0},
      {u"+7", 7}, {u"&H", 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(leading_number(c.text), c.value) << u16_to_utf8(c.text);
}

std::vector<std::u16string> texts(const Variant& v) {
  std::vector<std::u16string> out;
  for (const Variant& item : v.as_array()->items) out.push_back(to_u16(item));
  return out;
}

TEST(SortArray, SortsAsTextWithoutRegardToCase) {
  Variant numbers = Variant::from_vector({Variant(int32_t{10}), Variant(int32_t{9}), Variant(int32_t{100})});
  sort_array_as_text(numbers);
  EXPECT_EQ(texts(numbers), (std::vector<std::u16string>{u"10", u"100", u"9"}));
  EXPECT_TRUE(numbers.as_array()->items[0].is_string());

  Variant letters = Variant::from_vector({Variant(u"b"), Variant(u"A"), Variant(u"a")});
  sort_array_as_text(letters);
  EXPECT_EQ(lower(texts(letters)[0]), u"a");
  EXPECT_EQ(lower(texts(letters)[1]), u"a");
  EXPECT_EQ(texts(letters)[2], u"b");

  Variant one = Variant::from_vector({Variant(u"x")});
  sort_array_as_text(one);
  EXPECT_EQ(texts(one), std::vector<std::u16string>{u"x"});
}

TEST(SortArray, RefusesWhatCannotBeSorted) {
  auto error_of = [](Variant v) {
    try {
      sort_array_as_text(v);
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  };
  EXPECT_EQ(error_of(Variant(u"text")), kErrTypeMismatch);
  EXPECT_EQ(error_of(Variant::from_vector({Variant(u"a"), Variant::null()})), kErrInvalidNull);
  EXPECT_EQ(error_of(Variant::new_array({{1, 2}})), kErrSubscript);
  EXPECT_EQ(error_of(Variant::new_array({{0, 2}, {0, 2}})), kErrSubscript);
}

}  // namespace
}  // namespace qz
