// Frames: a captioned box that holds other controls. A control whose Container is the frame is
// a child widget of it: it moves, hides and goes with the frame, its Left and Top count from the
// frame's corner, and option buttons inside form a group of their own.
#include <QGroupBox>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/shared_members.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

using namespace shared_members;

class Frame final : public NativeObject<Frame, QtControl> {
 public:
  static void define(Members<Frame>& m) {
    define_common_members(m);
    define_caption(m, [](Frame& c) { return c.box()->title(); },
                   [](Frame& c, const QString& s) { c.box()->setTitle(s); });
    // Without a border only the caption is drawn.
    define_border_style(m, [](Frame& c) { return !c.box()->isFlat(); },
                        [](Frame& c, bool on) { c.box()->setFlat(!on); });
    m.default_member(u"Caption");
  }
  std::u16string type_name() const override { return u"Frame"; }

  Frame(std::u16string_view kind, int16_t index, QWidget* parent) : NativeObject<Frame, QtControl>(kind, index) {
    auto* g = new QGroupBox(QStringLiteral("Frame1"), parent);
    own_mouse_events(g);
    attach(g);
    set_twips_rect(kDesignRect);
  }

  QGroupBox* box() const { return static_cast<QGroupBox*>(widget()); }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<Frame*>(&model);
    if (!m || !m->box()) return;
    box()->setTitle(m->box()->title());
    box()->setFlat(m->box()->isFlat());
  }

  // The controls inside are unloaded with the frame, before their widgets go with its widget.
  void destroy() override {
    if (QWidget* w = widget()) {
      for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVariant h = child->property("quazel_handle");
        if (QtControl* c = h.isValid() ? find_window(h.toInt()) : nullptr) {
          Ref<QtControl> keep(c);
          c->destroy();
        }
      }
    }
    QtControl::destroy();
  }
};

}  // namespace

Ref<QtControl> make_frame(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new Frame(kind, index, parent));
}

}  // namespace qz
