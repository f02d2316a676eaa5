// What check boxes and option buttons share: a box with a caption beside it, Alignment 1 putting
// the box on the right, the whole control answering the mouse (not only the box and the caption's
// text), and Click raised by the kind when its value changes rather than on every release.
#pragma once
#include "platform/qt/controls/shared_members.h"

namespace qz {

template <class Button>
class WholeAreaButton : public Button {
 public:
  using Button::Button;

 protected:
  bool hitButton(const QPoint& p) const override { return this->rect().contains(p); }
};

template <class T, class Widget>
class ChoiceButton : public NativeObject<T, QtControl> {
 public:
  // Caption and Alignment, after the common members.
  static void define_choice_members(Members<T>& m) {
    using namespace shared_members;
    define_common_members(m);
    define_caption(m, [](T& c) { return c.button()->text(); }, [](T& c, const QString& s) { c.button()->setText(s); });
    define_alignment(m, [](T& c) { return box_on_right(c.button()); },
                     [](T& c, int16_t a) { set_box_on_right(c.button(), a == 1); }, 1);
  }

  ChoiceButton(std::u16string_view kind, int16_t index, QWidget* parent, const QString& caption)
      : NativeObject<T, QtControl>(kind, index) {
    auto* b = new Widget(caption, parent);
    b->setFocusPolicy(Qt::StrongFocus);
    shared_members::own_mouse_events(b);
    this->attach(b);
    this->set_twips_rect(shared_members::kDesignRect);
  }

  Widget* button() const { return static_cast<Widget*>(this->widget()); }
  bool click_on_release() const override { return false; }

  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    auto* m = dynamic_cast<T*>(&model);
    if (!m || !m->button()) return;
    button()->setText(m->button()->text());
    button()->setLayoutDirection(m->button()->layoutDirection());
  }

 protected:
  void click() {
    if (this->destroyed()) return;
    Ref<T> keep(static_cast<T*>(this));
    this->raise_event(u"Click");
  }
};

}  // namespace qz
