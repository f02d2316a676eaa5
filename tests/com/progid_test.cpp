// The ProgID registry behind CreateObject.
#include <gtest/gtest.h>

#include "com/progid.h"
#include "test_objects.h"

namespace qz {
namespace {

using testing::error_of;
using testing::Holder;

TEST(ProgId, CreatesByNameWithoutRegardToCase) {
  int made = 0;
  register_progid(u"Test.Thing", [&made] {
    ++made;
    return Ref<Object>(make_ref<Holder>(Variant(int32_t{made})));
  });
  EXPECT_TRUE(progid_registered(u"test.thing"));
  EXPECT_TRUE(progid_registered(u"TEST.THING"));
  Ref<Object> a = create_object(u"tEsT.tHiNg");
  Ref<Object> b = create_object(u"Test.Thing");
  ASSERT_TRUE(a && b);
  EXPECT_NE(a.get(), b.get());  // a new object each time
  EXPECT_EQ(made, 2);
  EXPECT_EQ(a->type_name(), u"Holder");
  EXPECT_EQ(a->ref_count(), 1u);
  register_progid(u"Test.Thing", nullptr);
}

TEST(ProgId, UnknownNamesRaise429) {
  EXPECT_FALSE(progid_registered(u"No.Such.Thing"));
  try {
    create_object(u"No.Such.Thing");
    FAIL() << "nothing raised";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number, 429);
    EXPECT_EQ(testing::utf8(e.description), "ActiveX component can't create object");
  }
  EXPECT_EQ(error_of([] { create_object(u""); }), 429);
}

TEST(ProgId, ReplacingAndRemoving) {
  register_progid(u"Test.Swap", [] { return Ref<Object>(make_ref<Holder>(Variant(int32_t{1}))); });
  register_progid(u"TEST.SWAP", [] { return Ref<Object>(make_ref<Holder>(Variant(int32_t{2}))); });
  EXPECT_EQ(static_cast<Holder*>(create_object(u"test.swap").get())->value.as_long(), 2);
  register_progid(u"Test.Swap", nullptr);
  EXPECT_FALSE(progid_registered(u"Test.Swap"));
  EXPECT_EQ(error_of([] { create_object(u"Test.Swap"); }), 429);
}

TEST(ProgId, FactoryGivingNothingRaises429) {
  register_progid(u"Test.Null", [] { return Ref<Object>(); });
  EXPECT_EQ(error_of([] { create_object(u"Test.Null"); }), 429);
  register_progid(u"Test.Null", nullptr);
}

TEST(ProgId, FactoryMayRegisterMoreNames) {
  register_progid(u"Test.Outer", [] {
    for (int i = 0; i < 100; ++i)
      register_progid(u"Test.Inner" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                          std::u16string(1, static_cast<char16_t>(u'a' + i / 26)),
                      [] { return Ref<Object>(make_ref<Holder>(Variant())); });
    return Ref<Object>(make_ref<Holder>(Variant()));
  });
  EXPECT_TRUE(create_object(u"Test.Outer"));
  EXPECT_TRUE(progid_registered(u"Test.InnerZa"));
}

}  // namespace
}  // namespace qz
