// Addresses of values, and the guarded way back from an address to an object.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "runtime/helpers/pointer_helpers.h"

namespace qz {
namespace {

TEST(PointerHelpers, ObjectAddressLeadsBackOnlyWhileAlive) {
  Ref<Object> obj = new_collection();
  int64_t address = object_address(obj.get());
  EXPECT_NE(address, 0);
  EXPECT_EQ(object_at_address(address), obj.get());
  EXPECT_EQ(object_address(obj.get()), address);
  obj = Ref<Object>();  // the last reference goes
  EXPECT_EQ(object_at_address(address), nullptr);
}

TEST(PointerHelpers, UnknownAddressesLeadNowhere) {
  Ref<Object> obj = new_collection();  // alive, but its address was never handed out
  EXPECT_EQ(object_at_address(reinterpret_cast<intptr_t>(obj.get())), nullptr);
  EXPECT_EQ(object_at_address(0), nullptr);
  EXPECT_EQ(object_at_address(12345), nullptr);
  EXPECT_EQ(object_address(nullptr), 0);
}

TEST(PointerHelpers, StringAndVariableAddresses) {
  Variant s(u"hello");
  Variant cell = Variant::by_ref(&s);
  int64_t a = string_address(cell);
  EXPECT_EQ(a, reinterpret_cast<intptr_t>(s.as_str().data()));
  EXPECT_EQ(*reinterpret_cast<const char16_t*>(a), u'h');
  EXPECT_EQ(string_address(Variant(u"")), 0);
  EXPECT_EQ(string_address(Variant(int32_t{5})), 0);
  EXPECT_EQ(variant_address(s), reinterpret_cast<intptr_t>(&s));
}

}  // namespace
}  // namespace qz
