// Calls into libc, libm and the test library through the dynamic caller, as scripts make them.
#include <unistd.h>

#include "platform/codepage.h"
#include "runtime/helpers/pointer_helpers.h"
#include "runtime/native/native_library.h"
#include "tests/native/native_fixture.h"

namespace qz::test {
namespace {

using NativeCalls = NativeScriptTest;

TEST_F(NativeCalls, LibcAndLibmFunctions) {
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"getpid\")"), ::getpid());
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"strlen\", \"hello\")"), 5);
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"abs\", -7)"), 7);
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"atoi\", \"  -42x\")"), -42);
  // fesetround(FE_TOWARDZERO) then fegetround, and back to nearest.
  EXPECT_EQ(num(u"api.CallFunction(\"libm.so.6\", \"fesetround\", &HC00)"), 0);
  EXPECT_EQ(num(u"api.CallFunction(\"libm.so.6\", \"fegetround\")"), 0xC00);
  EXPECT_EQ(num(u"api.CallFunction(\"libm.so.6\", \"fesetround\", 0)"), 0);
  EXPECT_EQ(eval(u"api.CallFunction(\"libc.so.6\", \"getpid\")").type(), VT::Long);
}

TEST_F(NativeCalls, SnprintfIntoABufferAndIntoAString) {
  code(u"api.curBuf = 1 : api.ReBuf 31");
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"snprintf\", api.PtrBuf(1), 32, \"%s=%d\", \"n\", 7)"), 3);
  EXPECT_EQ(bytes_at(u"api.PtrBuf(1)", 4), (std::vector<uint8_t>{'n', '=', '7', 0}));
  // A text the function writes into comes back as text of the same length.
  code(u"s = String(12, \"x\") : r = api.CallFunction(\"libc.so.6\", \"snprintf\", s, 12, \"%d-%s\", 42, \"ab\")");
  EXPECT_EQ(num(u"r"), 5);
  EXPECT_EQ(text(u"TypeName(s) & Len(s)"), u"String12");
  EXPECT_EQ(text(u"s"), std::u16string(u"42-ab") + u'\0' + u"xxxxxx");
}

TEST_F(NativeCalls, TextsTravelInTheAnsiPage) {
  // "café": in both ANSI pages this system uses.
  code(u"w = ChrW(99) & ChrW(97) & ChrW(102) & ChrW(233)");
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"strlen\", w)"), 4);
  // A text the function leaves alone is not rewritten, so characters outside the page survive.
  code(u"u = ChrW(&H4E2D) : n = api.CallFunction(\"libc.so.6\", \"strlen\", u)");
  EXPECT_EQ(num(u"AscW(u)"), 0x4E2D);
  EXPECT_EQ(static_cast<size_t>(num(u"n")), encode(ansi_code_page(), u"\u4E2D").size());
}

TEST_F(NativeCalls, UnknownLibraryOrSymbolGivesZeroAndTouchesNothing) {
  code(u"s = \"keep\"");
  EXPECT_EQ(num(u"api.CallFunction(\"libnothing_here_at_all.so\", \"strlen\", s)"), 0);
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"no_such_function_here\", s)"), 0);
  EXPECT_EQ(num(u"api.CallFunction(\"\", \"strlen\", s)"), 0);
  EXPECT_EQ(num(u"api.CallFunction(\"kernel32\", \"GetTickCount\")"), 0);
  EXPECT_EQ(text(u"s"), u"keep");
  // Numbers that are no library handle or no code are refused, not followed.
  EXPECT_EQ(num(u"api.CallFunction(12345, \"getpid\")"), 0);
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", 4096)"), 0);
  EXPECT_EQ(num(u"api.CallFunction3(4096, 1, 2, 3, 4)"), 0);
  EXPECT_EQ(num(u"api.CallFunction(0, \"getpid\")"), 0);
}

TEST_F(NativeCalls, NameWithoutExtensionFindsLibNameSo) {
  std::u16string path = testlib();
  std::u16string folder = path.substr(0, path.rfind(u'/') + 1);
  code(u"short = \"" + folder + u"qznative_test\"");
  EXPECT_EQ(num(u"api.CallFunction(short, \"qt_rec_size\")"), 23);
}

TEST_F(NativeCalls, ResultIsLow32BitsUnlessResultSizeIs8) {
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_wide\")"), 0x23456789);
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_add_words\", &H7FFFFFFF, 1)"), INT32_MIN);
  code(u"api.ResultSize = 8");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_wide\")"), 0x123456789LL);
  EXPECT_EQ(eval(u"api.CallFunction(lib, \"qt_wide\")").type(), VT::LongLong);
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_add_words\", &H7FFFFFFF, 1)"), 0x80000000LL);
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_add_words\", -5, 2)"), -3);
  EXPECT_EQ(error_of(u"api.ResultSize = 3"), 5);
  EXPECT_EQ(num(u"api.ResultSize"), 8);
}

TEST_F(NativeCalls, ArgumentWords) {
  code(u"api.ResultSize = 8");
  struct Case { const char16_t* args; int64_t sum; };
  for (Case c : {Case{u"True, 1", 0}, Case{u"CByte(200), 1", 201}, Case{u"1E+10, 0", 10000000000LL},
                 Case{u"2.5, 0", 2}, Case{u"3.5, 0", 4}, Case{u"CCur(7.6), 0", 8}, Case{u"Empty, -1", -1}})
    EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_add_words\", " + std::u16string(c.args) + u")"), c.sum) << u16_to_utf8(c.args);
  EXPECT_EQ(error_of(u"x = api.CallFunction(lib, \"qt_add_words\", 1E+30, 0)"), 6);
  EXPECT_EQ(error_of(u"x = api.CallFunction(lib, \"qt_add_words\", Null, 0)"), 94);
  EXPECT_EQ(error_of(u"x = api.CallFunction(lib, \"qt_add_words\", Array(1), 0)"), 13);
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_sum10\", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10)"), 385);
}

TEST_F(NativeCalls, ByteArraysPassTheirBytes) {
  code(u"api.curBuf = 2 : api.SetBuf Array(104, 105, 0) : Dim b : api.GetBuf b");
  // A Variant array is refused; the bytes of a buffer go by address.
  EXPECT_EQ(num(u"api.CallFunction(\"libc.so.6\", \"strlen\", api.PtrBuf(2))"), 2);
}

TEST_F(NativeCalls, CallFunction2StoresTheAddressAndRepeatsWithTheCurrentArguments) {
  code(u"fp = 0 : r1 = api.CallFunction2(lib, \"qt_add_words\", fp, 2, 1, 2)");
  EXPECT_EQ(num(u"r1"), 3);
  EXPECT_NE(num(u"fp"), 0);
  EXPECT_EQ(num(u"api.CallFunction2(\"\", \"\", fp, 2, 5, 6)"), 11);  // by the stored address
  EXPECT_EQ(num(u"api.CallFunction2(\"\", \"\", 0, 2, 10, 20)"), 30);  // repeat: this call's words
  EXPECT_EQ(num(u"api.CallFunction2(\"\", \"\", 0, 2, 100, 1)"), 101);
  // Four words: called directly; the callee ignores the words it does not take.
  EXPECT_EQ(num(u"api.CallFunction2(lib, \"qt_add_words\", 0, 4, 3, 4, 99, 99)"), 7);
  EXPECT_EQ(error_of(u"x = api.CallFunction2(lib, \"qt_add_words\", 0, 11, 1)"), 5);
  EXPECT_EQ(num(u"api.CallFunction2(lib, \"nothing_like_it\", 0, 0)"), 0);
}

TEST_F(NativeCalls, FreshObjectHasNothingToRepeat) {
  EXPECT_EQ(num(u"api.CallFunction2(\"\", \"\", 0, 2, 1, 2)"), 0);
}

TEST_F(NativeCalls, InterfaceCallsOnANativeObject) {
  code(u"api.ResultSize = 8 : p = api.CallFunction(lib, \"qt_counter\") : api.ResultSize = 4");
  EXPECT_EQ(num(u"api.CallInterface(p, 3, 1, 5)"), 5);
  EXPECT_EQ(num(u"api.CallInterface(p, 3, 1, 7)"), 12);
  EXPECT_EQ(num(u"api.CallInterface(p, 1, 0)"), 2);  // AddRef
  EXPECT_EQ(num(u"api.CallInterface(p, 2, 0)"), 1);  // Release
  code(u"q = 0 : hr = api.QueryInterface(p, \"{00000000-0000-0000-C000-000000000046}\", q)");
  EXPECT_EQ(num(u"hr"), 0);
  EXPECT_EQ(num(u"q"), num(u"p"));
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_counter_refs\")"), 2);
  EXPECT_EQ(num(u"api.QueryInterface(p, \"{11111111-0000-0000-C000-000000000046}\", q)"), static_cast<int32_t>(0x80004002));
  EXPECT_EQ(num(u"q"), 0);
  EXPECT_EQ(num(u"api.QueryInterface(p, \"not a guid\", q)"), static_cast<int32_t>(0x80070057));
  EXPECT_EQ(error_of(u"x = api.CallInterface(p, 3, 11, 1)"), 5);
  EXPECT_EQ(num(u"api.CallInterface(p, 3, -1)"), 0);
  EXPECT_EQ(num(u"api.CallInterface(0, 1, 0)"), 0);
  EXPECT_EQ(num(u"api.CallInterface(4096, 1, 0)"), 0);  // unreadable: refused, no crash
}

TEST_F(NativeCalls, InterfaceCallsOnOurOwnObjects) {
  Ref<Object> obj = make_ref<FuncCall>();
  control->add_code(u"p = " + utf8_to_u16(std::to_string(object_address(obj.get()))));
  uint32_t before = obj->ref_count();
  EXPECT_EQ(num(u"api.CallInterface(p, 1, 0)"), before + 1);  // AddRef
  EXPECT_EQ(num(u"api.CallInterface(p, 2, 0)"), before);      // Release
  code(u"q = 0 : hr = api.QueryInterface(p, \"{00000000-0000-0000-C000-000000000046}\", q)");
  EXPECT_EQ(num(u"hr"), 0);
  EXPECT_EQ(num(u"q"), num(u"p"));
  EXPECT_EQ(obj->ref_count(), before + 1);
  code(u"x = api.CallInterface(q, 2, 0)");
  EXPECT_EQ(obj->ref_count(), before);
  // Beyond the three COM methods our objects offer nothing.
  EXPECT_EQ(num(u"api.CallInterface(p, 5, 0)"), static_cast<int32_t>(0x80004001));
}

TEST_F(NativeCalls, LibrariesAreHeldOncePerObject) {
  void* h = open_native_library(testlib());
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(native_library_references(h), 1);
  code(u"x = api.CallFunction(lib, \"qt_rec_size\") : x = api.CallFunction(lib, \"qt_rec_size\")");
  EXPECT_EQ(native_library_references(h), 2);
  {
    Ref<FuncCall> other = make_ref<FuncCall>();
    other->free_lib = true;
    std::vector<Variant> args{Variant(testlib()), Variant(u"qt_rec_size")};
    EXPECT_EQ(to_long(other->call_function(Args(args))), 23);
    EXPECT_EQ(native_library_references(h), 2);  // released right after the call
  }
  control->reset();
  api = nullptr;  // the script control held the other reference to the object
  EXPECT_EQ(native_library_references(h), 1);
  close_native_library(h);
  EXPECT_EQ(native_library_references(h), 0);
}

}  // namespace
}  // namespace qz::test
