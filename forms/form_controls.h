// A form's Controls collection: every loaded element of every control array, in the order of
// the kinds and then of the indexes, taken when the collection is read. Item takes a position
// (0-based) or an array's name.
#pragma once
#include <vector>

#include "com/object.h"

namespace qz {

class FormControls final : public NativeObject<FormControls> {
 public:
  static void define(Members<FormControls>& m);
  std::u16string type_name() const override { return u"Object"; }
  Ref<Enumerator> enumerate() override;

  FormControls(std::vector<Ref<Object>> controls, std::vector<Ref<Object>> arrays)
      : controls_(std::move(controls)), arrays_(std::move(arrays)) {}

 private:
  std::vector<Ref<Object>> controls_;
  std::vector<Ref<Object>> arrays_;  // for a lookup by name
};

}  // namespace qz
