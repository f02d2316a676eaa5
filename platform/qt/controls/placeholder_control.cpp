// A kind without an adapter of its own: a plain window that answers the common members and
// raises the common mouse and key events of its table.
#include "platform/qt/control_registry.h"

namespace qz {

namespace {

class PlaceholderControl final : public NativeObject<PlaceholderControl, QtControl> {
 public:
  static void define(Members<PlaceholderControl>& m) { define_common_members(m); }
  std::u16string type_name() const override { return std::u16string(kind()); }

  PlaceholderControl(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<PlaceholderControl, QtControl>(kind, index) {
    auto* w = new QWidget(parent);
    w->setMouseTracking(true);
    attach(w);
  }
};

}  // namespace

Ref<QtControl> make_placeholder_control(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new PlaceholderControl(kind, index, parent));
}

}  // namespace qz
