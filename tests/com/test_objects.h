// Small objects and helpers shared by the object-model tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/error.h"
#include "com/object.h"

namespace qz::testing {

// An object whose default member returns a fixed value.
class Holder : public NativeObject<Holder> {
 public:
  explicit Holder(Variant v) : value(std::move(v)) {}
  static void define(Members<Holder>& m) {
    m.getter(u"Value", [](Holder& h, Args) { return h.value; });
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"Holder"; }
  Variant value;
};

// An object without a default member.
class Plain : public NativeObject<Plain> {
 public:
  static void define(Members<Plain>& m) {
    m.method(u"Ping", [](Plain&, Args) { return Variant(true); });
  }
  std::u16string type_name() const override { return u"Plain"; }
};

// The script error number `f` raises; 0 when it returns normally.
template <class F>
int error_of(F&& f) {
  try {
    f();
  } catch (const ScriptError& e) {
    return e.number;
  }
  return 0;
}

inline std::string utf8(std::u16string_view s) { return u16_to_utf8(s); }

}  // namespace qz::testing
