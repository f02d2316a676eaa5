#include "host/dde/dde_errors.h"

#include "com/convert.h"

namespace qz::dde {

int32_t to_long_or_zero(const Variant& v) {
  try {
    return to_long(v);
  } catch (...) {
    return 0;
  }
}

}  // namespace qz::dde
