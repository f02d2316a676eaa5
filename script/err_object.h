// The Err object: the last run-time error that On Error Resume Next took, and Err.Raise.
#pragma once
#include <string>

#include "com/error.h"
#include "com/object.h"

namespace qz::vbs {

class ErrObject final : public NativeObject<ErrObject> {
 public:
  static void define(Members<ErrObject>& m);
  std::u16string type_name() const override { return u"ErrObject"; }

  void set(const ScriptError& e);
  void clear();

  int32_t number = 0;
  std::u16string description;
  std::u16string source;
  std::u16string help_file;
  int32_t help_context = 0;
};

}  // namespace qz::vbs
