// (stand-in: the adapter arrives with its own file)
#include "platform/qt/control_registry.h"

namespace qz {

Ref<QtControl> make_list_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return make_placeholder_control(kind, index, parent);
}

}  // namespace qz
