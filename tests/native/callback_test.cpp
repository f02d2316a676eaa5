// Native code calling script functions through the fixed entry points.
#include <cmath>
#include <thread>

#include "runtime/native/callback_bridge.h"
#include "tests/native/native_fixture.h"

namespace qz::test {
namespace {

class Callbacks : public NativeScriptTest {
 protected:
  int64_t bind(std::u16string_view name, int32_t module = 1) { return bind_callback(*control, name, module); }
};

// F<k>(a1..ak) = a1 * 1 + a2 * 10 + a3 * 100 ...: shows every argument and its place.
std::u16string weighted_function(int k) {
  std::u16string params, body = u"0";
  for (int i = 1; i <= k; ++i) {
    params += (i > 1 ? u", a" : u"a") + utf8_to_u16(std::to_string(i));
    body += u" + a" + utf8_to_u16(std::to_string(i)) + u" * " + utf8_to_u16(std::to_string(static_cast<long long>(std::pow(10, i - 1))));
  }
  return u"Function F" + utf8_to_u16(std::to_string(k)) + u"(" + params + u")\r\n  F" + utf8_to_u16(std::to_string(k)) +
         u" = " + body + u"\r\nEnd Function\r\n";
}

TEST_F(Callbacks, EveryArityFromZeroToTen) {
  for (int k = 0; k <= 10; ++k) code(weighted_function(k));
  for (int k = 0; k <= 10; ++k) {
    int64_t address = bind(u"F" + utf8_to_u16(std::to_string(k)));
    EXPECT_EQ(reinterpret_cast<const void*>(static_cast<intptr_t>(address)), callback_entry(k));
    code(u"r = api.CallFunction(lib, \"qt_call\", " + utf8_to_u16(std::to_string(address)) + u", " +
         utf8_to_u16(std::to_string(k)) + u")");
    int64_t expected = 0;
    for (int i = 1; i <= k; ++i) expected += i * static_cast<int64_t>(std::pow(10, i - 1));
    if (k <= 9) {
      EXPECT_EQ(num(u"r"), expected) << k;
    } else {
      // Ten arguments reach 10^10: the result is the low 32 bits unless asked for more.
      EXPECT_EQ(num(u"r"), static_cast<int32_t>(static_cast<uint32_t>(expected)));
      code(u"api.ResultSize = 8 : r = api.CallFunction(lib, \"qt_call\", " + utf8_to_u16(std::to_string(address)) + u", 10)");
      EXPECT_EQ(num(u"r"), expected);
    }
  }
}

TEST_F(Callbacks, OnlyFunctionsOfExistingModulesBind) {
  code(u"Sub NoResult(a, b) : End Sub\r\nFunction Two(a, b) : Two = a - b : End Function");
  code(u"Function Eleven(a,b,c,d,e,f,g,h,i,j,k) : End Function");
  EXPECT_EQ(bind(u"NoResult"), 0);
  EXPECT_EQ(bind(u"Missing"), 0);
  EXPECT_EQ(bind(u"Eleven"), 0);
  EXPECT_EQ(bind(u"tWO"), reinterpret_cast<intptr_t>(callback_entry(2)));
  EXPECT_EQ(bind(u"Two", 0), 0);
  // The last module counts: numbers run from 1 to Count.
  ScriptModule* m = control->add_module(u"Extra");
  m->add_code(u"Function Three(a, b, c) : Three = a + b + c : End Function");
  ASSERT_EQ(control->module_count(), 2u);
  EXPECT_EQ(bind(u"Three", 2), reinterpret_cast<intptr_t>(callback_entry(3)));
  EXPECT_EQ(bind(u"Three", 3), 0);
  auto three = reinterpret_cast<int64_t (*)(int64_t, int64_t, int64_t)>(const_cast<void*>(callback_entry(3)));
  EXPECT_EQ(three(1, 2, 3), 6);
}

TEST_F(Callbacks, SameArityRebindsTheSameEntry) {
  code(u"Function A2(x, y) : A2 = x + y : End Function\r\nFunction B2(x, y) : B2 = x * y : End Function");
  int64_t a = bind(u"A2"), b = bind(u"B2");
  EXPECT_EQ(a, b);
  auto entry = reinterpret_cast<int64_t (*)(int64_t, int64_t)>(static_cast<intptr_t>(a));
  EXPECT_EQ(entry(6, 7), 42);
}

TEST_F(Callbacks, ResultsBecomeWords) {
  struct Case { const char16_t* body; int64_t word; };
  for (Case c : {Case{u"", 0}, Case{u"R1 = True", -1}, Case{u"R1 = 2.5", 2}, Case{u"R1 = 3.5", 4},
                 Case{u"R1 = \"12\"", 12}, Case{u"R1 = CByte(255)", 255}, Case{u"R1 = x * 4294967296", 3 * 4294967296LL},
                 Case{u"R1 = 1 / 0", 0}, Case{u"R1 = \"not a number\"", 0}, Case{u"Err.Raise 5", 0}}) {
    control->reset();
    code(u"Function R1(x)\r\n" + std::u16string(c.body) + u"\r\nEnd Function");
    auto entry = reinterpret_cast<int64_t (*)(int64_t)>(static_cast<intptr_t>(bind(u"R1")));
    EXPECT_EQ(entry(3), c.word) << u16_to_utf8(c.body);
  }
}

TEST_F(Callbacks, WordsArriveAsLongOrLongLongInCellsOfTheirOwn) {
  code(u"Function Kinds(a, b) : Kinds = VarType(a) * 100 + VarType(b) : a = 0 : b = 0 : End Function");
  int64_t cb = bind(u"Kinds");
  code(u"api.ResultSize = 8");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_call2\", " + utf8_to_u16(std::to_string(cb)) + u", -1, 1099511627776)"), 320);
  code(u"Function Echo(a, b) : Echo = a - b : End Function");
  cb = bind(u"Echo");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_call2\", " + utf8_to_u16(std::to_string(cb)) + u", 1099511627776, -1)"),
            1099511627777LL);
}

TEST_F(Callbacks, AnotherThreadIsTurnedAway) {
  code(u"Dim calls\r\nFunction Count0() : calls = calls + 1 : Count0 = 5 : End Function");
  auto entry = reinterpret_cast<int64_t (*)()>(static_cast<intptr_t>(bind(u"Count0")));
  EXPECT_EQ(entry(), 5);
  int64_t from_thread = -1;
  std::thread([&] { from_thread = entry(); }).join();
  EXPECT_EQ(from_thread, 0);
  EXPECT_EQ(num(u"calls"), 1);
}

TEST_F(Callbacks, CallbackMakingANativeCallLeavesTheOuterBuffersAlone) {
  code(record_class(u"TRec", {{u"Byte", u"a", u"", u""}, {u"Long", u"b", u"", u""}, {u"Integer", u"c", u"", u""},
                              {u"Double", u"d", u"", u""}, {u"String", u"name", u"", u"8"}}));
  // The callback gets the outer record's address, makes a call with a record of its own, then
  // reads the outer image again through that address.
  code(u"Function Inner(outerPtr, unused)\r\n"
       u"  Set mine = New TRec : mine.b = 1\r\n"
       u"  first = api.CallFunction(lib, \"qt_rec_sum\", mine)\r\n"
       u"  Inner = first * 1000 + api.CallFunction(lib, \"qt_rec_sum\", outerPtr)\r\n"
       u"End Function");
  int64_t cb = bind(u"Inner");
  code(u"Set outer = New TRec : outer.b = 40 : outer.a = 2");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_call2\", " + utf8_to_u16(std::to_string(cb)) + u", outer, 0)"), 1 * 1000 + 42);
  EXPECT_EQ(num(u"api.FindBuf(0)"), 0);
  EXPECT_EQ(num(u"api.FindBuf(1)"), 1);
}

TEST_F(Callbacks, BindingWhoseFunctionIsGoneGivesZero) {
  code(u"Function Seven(a, b, c, d, e, f, g) : Seven = g : End Function");
  auto entry = reinterpret_cast<int64_t (*)(int64_t, int64_t, int64_t, int64_t, int64_t, int64_t, int64_t)>(
      static_cast<intptr_t>(bind(u"Seven")));
  EXPECT_EQ(entry(1, 2, 3, 4, 5, 6, 7), 7);
  control->reset();  // the script's procedures go
  EXPECT_EQ(entry(1, 2, 3, 4, 5, 6, 7), 0);
  EXPECT_EQ(callback_entry(11), nullptr);
  EXPECT_EQ(callback_entry(-1), nullptr);
}

}  // namespace
}  // namespace qz::test
