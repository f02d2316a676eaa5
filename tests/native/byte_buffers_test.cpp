// The numbered byte buffers as scripts use them.
#include "tests/native/native_fixture.h"

namespace qz::test {
namespace {

using ByteBuffers = NativeScriptTest;

TEST_F(ByteBuffers, FreshSetHasOneZeroByteEverywhere) {
  EXPECT_EQ(num(u"api.LenBuf(0)"), 1);
  EXPECT_EQ(num(u"api.LenBuf(5000)"), 1);
  EXPECT_FALSE(to_bool(eval(u"api.UseBuf(0)")));
  EXPECT_EQ(num(u"api.FindBuf(0)"), 0);
  EXPECT_EQ(num(u"api.curBuf"), 0);
}

TEST_F(ByteBuffers, FindBufSkipsBuffersInUse) {
  code(u"api.UseBuf(0) = True : api.UseBuf(2) = True");
  EXPECT_EQ(num(u"api.FindBuf(0)"), 1);
  EXPECT_EQ(num(u"api.FindBuf(2)"), 3);
  code(u"For i = 0 To 5000 : api.UseBuf(i) = True : Next");
  EXPECT_EQ(num(u"api.FindBuf(0)"), -1);
}

TEST_F(ByteBuffers, SizesFollowTheirRules) {
  code(u"api.curBuf = 7 : api.ReBuf 10");
  EXPECT_EQ(num(u"api.LenBuf(-1)"), 11);
  EXPECT_EQ(num(u"api.LenBuf(7)"), 11);
  code(u"api.StrBuf \"4D5A9\", 3");
  EXPECT_EQ(num(u"api.LenBuf(3)"), 2);
  EXPECT_EQ(bytes_at(u"api.PtrBuf(3)", 2), (std::vector<uint8_t>{0x4D, 0x5A}));
  code(u"api.StrBuf \"zz41\", 3");  // a pair that is not hexadecimal leaves its byte 0
  EXPECT_EQ(bytes_at(u"api.PtrBuf(3)", 2), (std::vector<uint8_t>{0x00, 0x41}));
}

TEST_F(ByteBuffers, SetBufAndGetBufRoundTrip) {
  code(u"api.curBuf = 4 : api.SetBuf Array(65, 66, \"x\", 67)");
  EXPECT_EQ(num(u"api.LenBuf(4)"), 4);
  code(u"Dim got : api.GetBuf got");
  EXPECT_EQ(text(u"TypeName(got(0)) & UBound(got)"), u"Byte3");
  EXPECT_EQ(text(u"got(0) & \",\" & got(1) & \",\" & got(2) & \",\" & got(3)"), u"65,66,0,67");
  // A byte array is taken whole.
  code(u"api.curBuf = 5 : api.SetBuf api_bytes_dummy");  // not an array: nothing changes
  EXPECT_EQ(num(u"api.LenBuf(5)"), 1);
}

TEST_F(ByteBuffers, BadNumbersAndSizesChangeNothing) {
  EXPECT_EQ(num(u"api.LenBuf(5001)"), 0);
  EXPECT_EQ(num(u"api.PtrBuf(-7)"), 0);
  EXPECT_FALSE(to_bool(eval(u"api.UseBuf(9999)")));
  code(u"api.curBuf = 1 : api.ReBuf 3 : api.ReBuf 2000000000 : api.ReBuf -5");
  EXPECT_EQ(num(u"api.LenBuf(1)"), 4);
  code(u"api.ReBuf -1");  // no bytes at all
  EXPECT_EQ(num(u"api.LenBuf(1)"), 0);
  EXPECT_EQ(num(u"api.PtrBuf(1)"), 0);
}

TEST_F(ByteBuffers, ClearBuffersReleasesOnlyTemporaryBuffers) {
  code(record_class(u"TOne", {{u"Long", u"v", u"", u""}}));
  code(u"api.UseBuf(0) = True : api.curBuf = 0 : api.ReBuf 3");
  code(u"Dim r : Set r = New TOne : r.v = 9 : p = api.GetPtrFromClassVars(r)");
  int64_t image = num(u"r.class_vars_buf");
  EXPECT_NE(image, 0);
  EXPECT_TRUE(to_bool(eval(u"api.UseBuf(r.class_vars_buf)")));
  code(u"api.ClearBuffers");
  EXPECT_EQ(num(u"api.LenBuf(r.class_vars_buf)"), 0);
  EXPECT_FALSE(to_bool(eval(u"api.UseBuf(r.class_vars_buf)")));
  EXPECT_EQ(num(u"api.LenBuf(0)"), 4);
  EXPECT_TRUE(to_bool(eval(u"api.UseBuf(0)")));
}

}  // namespace
}  // namespace qz::test
