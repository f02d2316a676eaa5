// CreateObject("VBScript.RegExp") after the interpreter's start-up registration.
#include <gtest/gtest.h>

#include "com/progid.h"
#include "script/regexp/regexp_object.h"

namespace qz {
namespace {

TEST(RegExpProgId, CreatesAFreshRegExpEachTime) {
  register_regexp_progid();
  ASSERT_TRUE(progid_registered(u"vbscript.regexp"));
  Ref<Object> a = create_object(u"VBScript.RegExp");
  Ref<Object> b = create_object(u"VBScript.RegExp");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->type_name(), u"IRegExp2");
  a->let(u"Pattern", Variant(u"x"));
  EXPECT_TRUE(a->call(u"Test", {Variant(u"axb")}).as_bool());
  EXPECT_EQ(b->get(u"Pattern").str_view(), u"");
}

}  // namespace
}  // namespace qz
