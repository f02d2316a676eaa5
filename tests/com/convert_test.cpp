// The conversion rules: CBool, CByte, CInt, CLng, CSng, CDbl, CCur, CDate, CStr and coerce.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>

#include "com/convert.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::error_of;
using testing::Holder;
using testing::Plain;

Variant obj(Variant v) { return Variant(make_ref<Holder>(std::move(v))); }
Variant arr() { return Variant::from_vector({Variant(int32_t{1})}); }
Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }
Variant i32(int32_t v) { return Variant(v); }
Variant cur(int64_t scaled) { return Variant::currency(scaled); }

// One conversion case: the input and either the result or the error number.
template <class T>
struct Case {
  const char* what;
  Variant in;
  T want;  // when err == 0
  int err;
};

template <class T>
void check_cases(const char* fn, const std::vector<Case<T>>& cases,
                 const std::function<T(const Variant&)>& convert) {
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(fn) + "(" + c.what + ")");
    T got{};
    int err = error_of([&] { got = convert(c.in); });
    EXPECT_EQ(err, c.err);
    if (c.err == 0 && err == 0) { EXPECT_EQ(got, c.want); }
  }
}


TEST(ToInteger, RoundsHalfToEvenAndChecksRange) {
  check_cases<int64_t>("CInt", {
      {"2.5", 2.5, 2, 0},
      {"3.5", 3.5, 4, 0},
      {"-2.5", -2.5, -2, 0},
      {"-3.5", -3.5, -4, 0},
      {"0.5", 0.5, 0, 0},
      {"1.5", 1.5, 2, 0},
      {"2.500001", 2.500001, 3, 0},
      {"-0.4", -0.4, 0, 0},
      {"32767.4", 32767.4, 32767, 0},
      {"32767.5", 32767.5, 0, 6},
      {"-32768.5", -32768.5, -32768, 0},
      {"-32768.51", -32768.51, 0, 6},
      {"1e300", 1e300, 0, 6},
      {"NaN", std::nan(""), 0, 6},
      {"Single 2.5", Variant(2.5f), 2, 0},
      {"Long 32767", i32(32767), 32767, 0},
      {"Long 32768", i32(32768), 0, 6},
      {"Long -32769", i32(-32769), 0, 6},
      {"LongLong 70000", Variant(int64_t{70000}), 0, 6},
      {"Byte 255", Variant(uint8_t{255}), 255, 0},
      {"Currency 2.5", cur(25000), 2, 0},
      {"Currency 3.5", cur(35000), 4, 0},
      {"Currency -2.5", cur(-25000), -2, 0},
      {"Currency -3.5", cur(-35000), -4, 0},
      {"Currency 2.5001", cur(25001), 3, 0},
      {"Date 45306.5", Variant::date(45306.5), 0, 6},
      {"Date 2.5", Variant::date(2.5), 2, 0},
      {"Empty", Variant(), 0, 0},
      {"True", Variant(true), -1, 0},
      {"False", Variant(false), 0, 0},
      {"Null", Variant::null(), 0, 94},
      {"Error", Variant::error(5), 0, 13},
      {"array", arr(), 0, 13},
      {"\"2.5\"", u"2.5", 2, 0},
      {"\" 12 \"", u" 12 ", 12, 0},
      {"\"1,000\"", u"1,000", 1000, 0},
      {"\"1e3\"", u"1e3", 1000, 0},
      {"\"(5)\"", u"(5)", -5, 0},
      {"\"&HFFFF\"", u"&HFFFF", -1, 0},
      {"\"&H7FFF\"", u"&H7FFF", 32767, 0},
      {"\"&H10000\"", u"&H10000", 0, 6},
      {"\"32767.5\"", u"32767.5", 0, 6},
      {"\"abc\"", u"abc", 0, 13},
      {"\"\"", u"", 0, 13},
      {"object with default 7", obj(i16(7)), 7, 0},
      {"object with default \"8.5\"", obj(u"8.5"), 8, 0},
      {"Nothing", Variant::nothing(), 0, 91},
      {"object without default", Variant(make_ref<Plain>()), 0, 438},
  }, [](const Variant& v) { return to_integer(v); });
}

TEST(ToLong, RangeAndHexWidths) {
  check_cases<int64_t>("CLng", {
      {"2147483647.4", 2147483647.4, 2147483647, 0},
      {"2147483647.5", 2147483647.5, 0, 6},
      {"-2147483648.5", -2147483648.5, -2147483648LL, 0},
      {"-2147483649", -2147483649.0, 0, 6},
      {"\"&HFFFFFFFF\"", u"&HFFFFFFFF", -1, 0},
      {"\"&H80000000\"", u"&H80000000", INT32_MIN, 0},
      {"\"&HFFFF\" (fits 16 bits, so sign-extends from 16)", u"&HFFFF", -1, 0},
      {"\"&H8000\"", u"&H8000", -32768, 0},
      {"\"&H10000\"", u"&H10000", 65536, 0},
      {"\"&O17\"", u"&O17", 15, 0},
      {"\"2147483648\"", u"2147483648", 0, 6},
      {"\"-2147483648\"", u"-2147483648", INT32_MIN, 0},
      {"\"-2147483648.5\"", u"-2147483648.5", INT32_MIN, 0},
      {"\"-2147483649.5\"", u"-2147483649.5", 0, 6},
      {"Currency max", cur(INT64_MAX), 0, 6},
      {"Date serial", Variant::date(45306.25), 45306, 0},
  }, [](const Variant& v) { return to_long(v); });
}

TEST(ToByte, UnsignedRange) {
  check_cases<int64_t>("CByte", {
      {"254.5", 254.5, 254, 0},
      {"255.5", 255.5, 0, 6},
      {"-0.5", -0.5, 0, 0},
      {"-0.51", -0.51, 0, 6},
      {"Integer -1", i16(-1), 0, 6},
      {"Integer 256", i16(256), 0, 6},
      {"\"&HFF\"", u"&HFF", 255, 0},
      {"\"&H100\"", u"&H100", 0, 6},
      {"\"-1\"", u"-1", 0, 6},
      {"True", Variant(true), 255, 0},
      {"Currency 255.4999", cur(2554999), 255, 0},
  }, [](const Variant& v) { return to_byte(v); });
}

TEST(ToLongLong, FullRange) {
  check_cases<int64_t>("CLngLng", {
      {"\"9223372036854775807\"", u"9223372036854775807", INT64_MAX, 0},
      {"\"-9223372036854775808\"", u"-9223372036854775808", INT64_MIN, 0},
      {"\"9223372036854775808\"", u"9223372036854775808", 0, 6},
      {"\"1e19\"", u"1e19", 0, 6},
      {"9.3e18", 9.3e18, 0, 6},
      {"-9223372036854775808.0", -9223372036854775808.0, INT64_MIN, 0},
      {"Long", i32(-5), -5, 0},
      {"Currency 1.5", cur(15000), 2, 0},
  }, [](const Variant& v) { return to_longlong(v); });
}

TEST(ToBool, TextAndNumbers) {
  check_cases<bool>("CBool", {
      {"\"True\"", u"True", true, 0},
      {"\"false\"", u"false", false, 0},
      {"\"TRUE\"", u"TRUE", true, 0},
      {"\" true \"", u" true ", true, 0},
      {"\"1\"", u"1", true, 0},
      {"\"0\"", u"0", false, 0},
      {"\"0.0\"", u"0.0", false, 0},
      {"\"-0.5\"", u"-0.5", true, 0},
      {"\"yes\"", u"yes", false, 13},
      {"\"\"", u"", false, 13},
      {"Empty", Variant(), false, 0},
      {"Null", Variant::null(), false, 94},
      {"0.5", 0.5, true, 0},
      {"0.0", 0.0, false, 0},
      {"Currency 0", cur(0), false, 0},
      {"Currency 0.0001", cur(1), true, 0},
      {"Byte 0", Variant(uint8_t{0}), false, 0},
      {"Date 0", Variant::date(0), false, 0},
      {"Error", Variant::error(1), false, 13},
      {"array", arr(), false, 13},
      {"object with default True", obj(true), true, 0},
      {"object with default \"False\"", obj(u"False"), false, 0},
  }, [](const Variant& v) { return to_bool(v); });
}

TEST(ToDouble, EverySubtype) {
  check_cases<double>("CDbl", {
      {"\"1,000.5\"", u"1,000.5", 1000.5, 0},
      {"\"0.1\" exactly", u"0.1", 0.1, 0},
      {"\"1e400\"", u"1e400", 0, 6},
      {"\"-1e400\"", u"-1e400", 0, 6},
      {"\"1e-400\"", u"1e-400", 0, 0},
      {"\"&HFFFF\"", u"&HFFFF", -1, 0},
      {"\"&HFFFFFFFF\"", u"&HFFFFFFFF", -1, 0},
      {"\"1d2\"", u"1d2", 100, 0},
      {"\"abc\"", u"abc", 0, 13},
      {"Currency 1.2345", cur(12345), 1.2345, 0},
      {"Date", Variant::date(45306.25), 45306.25, 0},
      {"True", Variant(true), -1, 0},
      {"Empty", Variant(), 0, 0},
      {"Single 0.1", Variant(0.1f), static_cast<double>(0.1f), 0},
      {"LongLong", Variant(int64_t{1} << 53), 9007199254740992.0, 0},
      {"Null", Variant::null(), 0, 94},
      {"Error", Variant::error(1), 0, 13},
  }, [](const Variant& v) { return to_double(v); });
}

TEST(ToDouble, FollowsByReferenceCells) {
  Variant target(int32_t{42});
  Variant ref = Variant::by_ref(&target);
  Variant ref2 = Variant::by_ref(&ref);
  EXPECT_EQ(to_double(ref2), 42.0);
  EXPECT_EQ(to_str(ref2).u16(), u"42");
  EXPECT_EQ(value_of(ref2).type(), VT::Long);
}

TEST(ToSingle, OverflowBeyondSingleRange) {
  EXPECT_EQ(error_of([] { to_single(1e39); }), 6);
  EXPECT_EQ(error_of([] { to_single(-1e39); }), 6);
  EXPECT_EQ(error_of([] { to_single(u"1e39"); }), 6);
  EXPECT_EQ(to_single(3.4e38), 3.4e38f);
  EXPECT_EQ(to_single(u"0.1"), 0.1f);
  EXPECT_EQ(to_single(cur(15000)), 1.5f);
}

TEST(ToCurrency, ScaledRoundingAndRange) {
  check_cases<int64_t>("CCur", {
      {"1.23456", 1.23456, 12346, 0},
      {"1.5", 1.5, 15000, 0},
      {"\"0.00005\" rounds to even", u"0.00005", 0, 0},
      {"\"0.00015\" rounds to even", u"0.00015", 2, 0},
      {"\"0.000150001\"", u"0.000150001", 2, 0},
      {"\"-0.00025\"", u"-0.00025", -2, 0},
      {"\"922337203685477.5807\"", u"922337203685477.5807", INT64_MAX, 0},
      {"\"-922337203685477.5808\"", u"-922337203685477.5808", INT64_MIN, 0},
      {"\"922337203685477.5808\"", u"922337203685477.5808", 0, 6},
      {"\"$1,234.56\"", u"$1,234.56", 12345600, 0},
      {"\"&HFFFF\"", u"&HFFFF", -10000, 0},
      {"1e15", 1e15, 0, 6},
      {"Long", i32(-7), -70000, 0},
      {"LongLong too big", Variant(int64_t{1} << 62), 0, 6},
      {"True", Variant(true), -10000, 0},
      {"Empty", Variant(), 0, 0},
      {"Null", Variant::null(), 0, 94},
      {"\"x\"", u"x", 0, 13},
  }, [](const Variant& v) { return to_currency(v); });
}

TEST(ToDate, NumbersTextAndRange) {
  check_cases<double>("CDate", {
      {"\"1/15/2024\"", u"1/15/2024", 45306, 0},
      {"Long", i32(45306), 45306, 0},
      {"Double with time", 45306.5, 45306.5, 0},
      {"True", Variant(true), -1, 0},
      {"Empty", Variant(), 0, 0},
      {"Currency", cur(15000), 1.5, 0},
      {"last day", 2958465.5, 2958465.5, 0},
      {"first day", -657434.0, -657434.0, 0},
      {"after the last day", 2958466.0, 0, 6},
      {"before the first day", -657435.0, 0, 6},
      {"\"abc\"", u"abc", 0, 13},
      {"\"1\" counts days", u"1", 1, 0},
      {"\" 45000.5 \" counts days", u" 45000.5 ", 45000.5, 0},
      {"\"3000000\" is past the last day", u"3000000", 0, 6},
      {"Null", Variant::null(), 0, 94},
  }, [](const Variant& v) { return to_date(v); });
}

TEST(ToStr, EverySubtype) {
  check_cases<std::string>("CStr", {
      {"True", Variant(true), "True", 0},
      {"False", Variant(false), "False", 0},
      {"Integer", i16(-32768), "-32768", 0},
      {"Long", i32(2147483647), "2147483647", 0},
      {"LongLong", Variant(INT64_MIN), "-9223372036854775808", 0},
      {"Byte", Variant(uint8_t{200}), "200", 0},
      {"Byte 0", Variant(uint8_t{0}), "0", 0},
      {"Integer one digit", i16(7), "7", 0},
      {"Integer two digits", i16(-10), "-10", 0},
      {"Long odd digits", i32(100), "100", 0},
      {"Long even digits", i32(123456), "123456", 0},
      {"Long lowest", i32(INT32_MIN), "-2147483648", 0},
      {"LongLong highest", Variant(INT64_MAX), "9223372036854775807", 0},
      {"Double", 1.5, "1.5", 0},
      {"Double 1e15", 1e15, "1E+15", 0},
      {"Single", Variant(1.0f / 3.0f), "0.3333333", 0},
      {"Currency", cur(15000), "1.5", 0},
      {"Date", Variant::date(45306), "1/15/2024", 0},
      {"Date zero", Variant::date(0), "12:00:00 AM", 0},
      {"Empty", Variant(), "", 0},
      {"String", u"abc", "abc", 0},
      {"Null", Variant::null(), "", 94},
      {"Error", Variant::error(5), "", 13},
      {"array", arr(), "", 13},
      {"object", obj(u"inner"), "inner", 0},
      {"object chain", obj(obj(2.5)), "2.5", 0},
      {"Nothing", Variant::nothing(), "", 91},
      {"object without default", Variant(make_ref<Plain>()), "", 438},
  }, [](const Variant& v) { return testing::utf8(to_u16(v)); });
}

TEST(ToStr, KeepsByteStringsExact) {
  const uint8_t bytes[] = {0x41, 0x00, 0xFF};
  Variant v(Str::from_bytes(bytes, 3));
  Str s = to_str(v);
  EXPECT_EQ(s.byte_size(), 3u);
  EXPECT_EQ(s, v.as_str());
}

// An object whose default member is itself never settles on a value.
class SelfDefault : public NativeObject<SelfDefault> {
 public:
  static void define(Members<SelfDefault>& m) {
    m.getter(u"Me", [](SelfDefault& s, Args) { return Variant(static_cast<Object*>(&s)); });
    m.default_member(u"Me");
  }
  std::u16string type_name() const override { return u"SelfDefault"; }
};

TEST(ValueOf, DefaultMembers) {
  EXPECT_EQ(value_of(obj(obj(i32(3)))).as_long(), 3);
  EXPECT_EQ(error_of([] { value_of(Variant(make_ref<SelfDefault>())); }), 13);
  Variant plain = arr();
  EXPECT_EQ(value_of(plain).type(), VT::Array);
  EXPECT_TRUE(value_of(Variant::null()).is_null());
}

TEST(ToObject, OnlyObjects) {
  auto h = make_ref<Holder>(i32(1));
  EXPECT_EQ(to_object(Variant(h)), h.get());
  EXPECT_EQ(to_object(Variant::nothing()), nullptr);
  EXPECT_EQ(error_of([] { to_object(i32(1)); }), 424);
  EXPECT_EQ(error_of([] { to_object(Variant()); }), 424);
}

TEST(Coerce, EveryTarget) {
  struct Case {
    const char* what;
    Variant in;
    VT to;
    std::u16string want_text;  // CStr of the result
    int err;
  };
  const Case cases[] = {
      {"\"12\" to Integer", u"12", VT::Integer, u"12", 0},
      {"3.7 to Long", 3.7, VT::Long, u"4", 0},
      {"\"&HFFFF\" to Long", u"&HFFFF", VT::Long, u"-1", 0},
      {"True to Currency", Variant(true), VT::Currency, u"-1", 0},
      {"\"1/15/2024\" to Date", u"1/15/2024", VT::Date, u"1/15/2024", 0},
      {"45306.5 to Date", 45306.5, VT::Date, u"1/15/2024 12:00:00 PM", 0},
      {"1.5 to String", 1.5, VT::String, u"1.5", 0},
      {"1.5 to Single", 1.5, VT::Single, u"1.5", 0},
      {"\"255\" to Byte", u"255", VT::Byte, u"255", 0},
      {"\"1e3\" to LongLong", u"1e3", VT::LongLong, u"1000", 0},
      {"\"true\" to Boolean", u"true", VT::Boolean, u"True", 0},
      {"2 to Boolean", i16(2), VT::Boolean, u"True", 0},
      {"Integer to Double", i16(3), VT::Double, u"3", 0},
      {"object to Double", obj(i16(3)), VT::Double, u"3", 0},
      {"Null to Integer", Variant::null(), VT::Integer, u"", 94},
      {"Null to String", Variant::null(), VT::String, u"", 94},
      {"\"x\" to Double", u"x", VT::Double, u"", 13},
      {"70000 to Integer", i32(70000), VT::Integer, u"", 6},
      {"5 to Object", i32(5), VT::Object, u"", 424},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Variant got;
    int err = error_of([&] { got = coerce(c.in, c.to); });
    EXPECT_EQ(err, c.err);
    if (c.err) continue;
    EXPECT_EQ(got.type(), c.to);
    EXPECT_EQ(testing::utf8(to_u16(got)), testing::utf8(c.want_text));
  }
}

TEST(Coerce, ObjectTargetKeepsTheObject) {
  auto h = make_ref<Holder>(i32(1));
  Variant got = coerce(Variant(h), VT::Object);
  ASSERT_TRUE(got.is_object());
  EXPECT_EQ(got.as_object(), h.get());
  EXPECT_TRUE(coerce(Variant::null(), VT::Null).is_null());
  EXPECT_TRUE(coerce(Variant::null(), VT::Variant).is_null());
  EXPECT_EQ(coerce(obj(i16(4)), VT::Variant).type(), VT::Integer);
  EXPECT_TRUE(coerce(u"x", VT::Empty).is_empty());
}

TEST(RoundHalfEven, Ties) {
  const double in[] = {0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 2.4999999, 1e16 + 2, -7.5};
  const double want[] = {0, 2, 2, -0.0, -2, -2, 2, 1e16 + 2, -8};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(round_half_even(in[i]), want[i]) << in[i];
}

}  // namespace
}  // namespace qz
