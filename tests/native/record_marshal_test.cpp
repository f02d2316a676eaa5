// Script records laid out as native structures, and read back.
#include <cstring>

#include "tests/native/native_fixture.h"

namespace qz::test {
namespace {

using Bytes = std::vector<uint8_t>;

class Records : public NativeScriptTest {
 protected:
  void SetUp() override {
    NativeScriptTest::SetUp();
    code(record_class(u"TSmall", {{u"Byte", u"a", u"", u""}, {u"Long", u"b", u"", u""}}));
    code(record_class(u"TName", {{u"String", u"s", u"", u"4"}}));
    code(record_class(u"TInts", {{u"Integer", u"v", u"2", u""}}));
    code(record_class(u"TText", {{u"Long", u"len", u"", u""}, {u"String", u"text", u"", u""}}));
    code(record_class(u"TOne", {{u"Long", u"v", u"", u""}}));
    code(record_class(u"TPt", {{u"Integer", u"x", u"", u""}, {u"Integer", u"y", u"", u""}}));
    code(record_class(u"TOuter", {{u"Long", u"id", u"", u""}, {u"TPt", u"pt", u"", u""}, {u"Byte", u"flag", u"", u""}}));
    code(record_class(u"TRec", {{u"Byte", u"a", u"", u""}, {u"Long", u"b", u"", u""}, {u"Integer", u"c", u"", u""},
                                {u"Double", u"d", u"", u""}, {u"String", u"name", u"", u"8"}}));
  }
  // The image of record expression `expr` (a script-level marshalling).
  Bytes image_of(std::u16string_view expr) {
    code(u"img = api.GetPtrFromClassVars(" + std::u16string(expr) + u")");
    int64_t size = num(u"api.LenBuf(" + std::u16string(expr) + u".class_vars_buf)");
    return bytes_at(u"img", static_cast<size_t>(size));
  }
};

TEST_F(Records, PackedWithoutPadding) {
  code(u"Set r = New TSmall : r.a = 1 : r.b = 2");
  EXPECT_EQ(image_of(u"r"), (Bytes{1, 2, 0, 0, 0}));
  EXPECT_EQ(num(u"api.LenType(r)"), 5);
  code(u"Set i = New TInts : i.v(0) = -1 : i.v(2) = 258");
  EXPECT_EQ(image_of(u"i"), (Bytes{0xFF, 0xFF, 0, 0, 2, 1}));
  // Every type's size, Boolean and Date included.
  code(record_class(u"TAll", {{u"Byte", u"a", u"", u""}, {u"Integer", u"b", u"", u""}, {u"Long", u"c", u"", u""},
                              {u"Single", u"d", u"", u""}, {u"Double", u"e", u"", u""}, {u"Currency", u"f", u"", u""},
                              {u"Boolean", u"g", u"", u""}, {u"Date", u"h", u"", u""}, {u"Var", u"i", u"", u""},
                              {u"String", u"j", u"", u""}, {u"String", u"k", u"", u"3"}}));
  EXPECT_EQ(num(u"api.LenType(New TAll)"), 1 + 2 + 4 + 4 + 8 + 8 + 2 + 8 + 0 + 8 + 3);
  code(u"Set t = New TAll : t.f = 1.5 : t.g = True");
  Bytes all = image_of(u"t");
  int64_t cy;
  std::memcpy(&cy, all.data() + 19, 8);
  EXPECT_EQ(cy, 15000);
  EXPECT_EQ(all[27], 0xFF);
  EXPECT_EQ(all[28], 0xFF);
}

TEST_F(Records, FixedTextGoesAsAnsiAndComesBack) {
  code(u"Set n = New TName : n.s = \"ab\"");
  EXPECT_EQ(image_of(u"n"), (Bytes{'a', 'b', 0, 0}));
  auto* p = reinterpret_cast<uint8_t*>(static_cast<intptr_t>(num(u"img")));
  std::memcpy(p, "ABCD", 4);
  code(u"api.GetClassVarsFromPtr n");
  EXPECT_EQ(text(u"n.s"), u"ABCD");
  // An empty fixed text gets room first.
  code(u"Set e = New TName : x = api.LenType(e)");
  EXPECT_EQ(text(u"Len(e.s) & \"/\" & AscW(e.s)"), u"4/0");
}

TEST_F(Records, TextByAddressPointsAtTheMembersOwnCharacters) {
  code(u"Set t = New TText : shared = \"hello\" : t.text = shared : t.len = 5");
  Bytes img = image_of(u"t");
  ASSERT_EQ(img.size(), 12u);
  uintptr_t address;
  std::memcpy(&address, img.data() + 4, sizeof address);
  Variant member = eval(u"t.text");
  EXPECT_EQ(address, reinterpret_cast<uintptr_t>(member.as_str().data()));
  // The member has storage of its own: writing there leaves the variable it came from alone.
  reinterpret_cast<char16_t*>(address)[0] = u'J';
  EXPECT_EQ(text(u"t.text"), u"Jello");
  EXPECT_EQ(text(u"shared"), u"hello");
  code(u"Set e = New TText : x = api.LenType(e)");
  EXPECT_EQ(text(u"Len(e.text) & \"/\" & AscW(Right(e.text, 1))"), u"260/0");
}

TEST_F(Records, ArrayOfRecordsSharesOneBuffer) {
  code(u"Dim arr(2) : For k = 0 To 2 : Set arr(k) = New TOne : arr(k).v = k + 1 : Next");
  EXPECT_EQ(image_of(u"arr(0)").size(), 4u);  // one record alone
  code(u"api.ClearBuffers : p = api.GetPtrFromClassVars(arr)");
  EXPECT_EQ(num(u"api.LenBuf(arr(0).class_vars_buf)"), 12);
  EXPECT_EQ(num(u"arr(1).class_vars_buf"), num(u"arr(0).class_vars_buf"));
  EXPECT_EQ(num(u"arr(2).class_vars_buf"), num(u"arr(0).class_vars_buf"));
  EXPECT_EQ(bytes_at(u"p", 12), (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}));
  auto* words = reinterpret_cast<int32_t*>(static_cast<intptr_t>(num(u"p")));
  words[0] = 10, words[1] = 20, words[2] = 30;
  code(u"api.GetClassVarsFromPtr arr");
  EXPECT_EQ(text(u"arr(0).v & \",\" & arr(1).v & \",\" & arr(2).v"), u"10,20,30");
}

TEST_F(Records, NestedRecordIsCopiedInlineAndReadBack) {
  code(u"Set o = New TOuter : o.id = 7 : o.pt.x = 1 : o.pt.y = -1 : o.flag = 9");
  Bytes img = image_of(u"o");
  EXPECT_EQ(img, (Bytes{7, 0, 0, 0, 1, 0, 0xFF, 0xFF, 9}));
  EXPECT_NE(num(u"o.pt.class_vars_buf"), num(u"o.class_vars_buf"));
  auto* p = reinterpret_cast<uint8_t*>(static_cast<intptr_t>(num(u"img")));
  p[4] = 50, p[6] = 60, p[7] = 0;
  code(u"api.GetClassVarsFromPtr o");
  EXPECT_EQ(text(u"o.pt.x & \",\" & o.pt.y & \",\" & o.id"), u"50,60,7");
}

TEST_F(Records, RecordsInAndOutOfTheTestLibrary) {
  code(u"Set r = New TRec : r.a = 1 : r.b = 1000 : r.c = -3 : r.d = 2.75 : r.name = \"abc\"");
  EXPECT_EQ(num(u"api.LenType(r)"), num(u"api.CallFunction(lib, \"qt_rec_size\")"));
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_rec_sum\", r)"), 1 + 1000 - 3 + 2 + 3);
  code(u"Set f = New TRec : x = api.CallFunction(lib, \"qt_rec_fill\", f)");
  EXPECT_EQ(text(u"f.a & \"|\" & f.b & \"|\" & f.c & \"|\" & f.d & \"|\" & f.name"), u"200|-123456|-2|2.5|ABCDEFGH");
  EXPECT_EQ(text(u"TypeName(f.a) & TypeName(f.b) & TypeName(f.c)"), u"ByteLongInteger");

  code(u"Set o = New TOuter : o.id = 21 : o.pt.x = 10 : o.pt.y = 20");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_outer_move\", o, 5)"), 15 + 10);
  EXPECT_EQ(text(u"o.id & \",\" & o.pt.x & \",\" & o.pt.y & \",\" & o.flag"), u"42,15,10,1");

  code(u"Set t = New TText : t.text = \"mixed Case\" : t.len = 10");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_text_upper\", t)"), 8);
  EXPECT_EQ(text(u"t.text"), u"MIXED CASE");
  // Every buffer the calls took is free again.
  EXPECT_EQ(num(u"api.FindBuf(0)"), 0);
  EXPECT_EQ(num(u"api.FindBuf(1)"), 1);
}

TEST_F(Records, ScriptTakenImageOutlivesTheCallThatUsesIt) {
  code(u"Dim pts(2) : For k = 0 To 2 : Set pts(k) = New TPt : pts(k).x = k : pts(k).y = 10 * k : Next");
  code(u"p = api.GetPtrFromClassVars(pts)");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_points_scale\", p, 3, 3)"), 33);
  code(u"api.GetClassVarsFromPtr pts");
  EXPECT_EQ(text(u"pts(0).x & \",\" & pts(1).x & \",\" & pts(2).y"), u"0,3,60");
  code(u"api.ClearBuffers");
  EXPECT_EQ(num(u"api.LenBuf(pts(0).class_vars_buf)"), 0);
}

TEST_F(Records, BuffersTheScriptFilledAreNotTaken) {
  code(u"api.curBuf = 0 : api.StrBuf \"AABB\", 0");
  code(u"Set r = New TSmall : r.a = 5 : x = api.GetPtrFromClassVars(r)");
  EXPECT_NE(num(u"r.class_vars_buf"), 0);
  EXPECT_EQ(bytes_at(u"api.PtrBuf(0)", 2), (Bytes{0xAA, 0xBB}));
  code(u"api.UseBuf(0) = False : api.ClearBuffers : x = api.GetPtrFromClassVars(r)");
  EXPECT_EQ(num(u"r.class_vars_buf"), 0);  // given up by the script: usable again
}

TEST_F(Records, NoBufferForANestedRecordFailsTheWholeMarshalling) {
  code(u"For k = 1 To 5000 : api.UseBuf(k) = True : Next");  // only buffer 0 is free
  code(u"Set o = New TOuter : o.id = 21 : o.pt.x = 10 : o.pt.y = 20");
  EXPECT_EQ(num(u"api.GetPtrFromClassVars(o)"), 0);
  EXPECT_FALSE(to_bool(eval(u"api.UseBuf(0)")));  // the outer buffer was given back
  EXPECT_EQ(num(u"api.LenType(o)"), 0);
  // No call is made: the function would have changed the record.
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_outer_move\", o, 5)"), 0);
  EXPECT_EQ(text(u"o.id & \",\" & o.pt.x"), u"21,10");
  code(u"api.UseBuf(5000) = False");
  EXPECT_EQ(num(u"api.CallFunction(lib, \"qt_outer_move\", o, 5)"), 25);
}

TEST_F(Records, LenTypeGivesBackEveryBufferItTook) {
  code(u"Set o = New TOuter");
  EXPECT_EQ(num(u"api.LenType(o)"), 9);
  EXPECT_EQ(num(u"api.FindBuf(0)"), 0);
  EXPECT_EQ(num(u"api.FindBuf(1)"), 1);
  EXPECT_FALSE(to_bool(eval(u"api.UseBuf(1)")));
}

TEST_F(Records, BrokenLayoutsAndCyclesDoNoHarm) {
  code(u"Set odd = New TOne : odd.class_vars_all = \"Long*v*abc*~**~Long*v**~Nonsense\"");
  EXPECT_EQ(num(u"api.LenType(odd)"), 4);
  code(u"Set loop1 = New TOuter : Set loop1.pt = loop1 : loop1.class_vars_all = \"Long*id**~TOuter*pt**\"");
  EXPECT_EQ(num(u"api.GetPtrFromClassVars(loop1)"), 0);
  code(u"Set loop1.pt = Nothing");
  EXPECT_EQ(num(u"api.FindBuf(0)"), 0);
  EXPECT_EQ(num(u"api.GetPtrFromClassVars(42)"), 0);
  EXPECT_EQ(num(u"api.LenType(Nothing)"), 0);
  code(u"api.GetClassVarsFromPtr odd");  // reads what it can
  code(u"odd.class_vars_buf = 99999 : api.GetClassVarsFromPtr odd");
}

}  // namespace
}  // namespace qz::test
