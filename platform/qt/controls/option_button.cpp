// Option buttons: one choice of a group. The buttons of one container (the form, a frame, a
// picture box) form the group, so choosing one clears the others there. Click is raised when
// a button becomes chosen, by the user or by Value = True; Value = False clears the button
// and leaves its group without a choice.
#include <QRadioButton>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/choice_button.h"

namespace qz {

namespace {

using namespace shared_members;
using OptionWidget = WholeAreaButton<QRadioButton>;

class OptionButton final : public ChoiceButton<OptionButton, OptionWidget> {
 public:
  static void define(Members<OptionButton>& m) {
    define_choice_members(m);
    m.property(u"Value", alive<OptionButton>([](OptionButton& c, Args) { return Variant(c.button()->isChecked()); }),
               alive_let<OptionButton>([](OptionButton& c, Args, const Variant& v) { c.set_value(to_bool(v)); }));
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"OptionButton"; }

  OptionButton(std::u16string_view kind, int16_t index, QWidget* parent)
      : ChoiceButton<OptionButton, OptionWidget>(kind, index, parent, QStringLiteral("Option")) {
    QObject::connect(button(), &QRadioButton::toggled, [this](bool on) {
      if (on) click();
    });
  }

 private:
  void set_value(bool on) {
    OptionWidget* b = button();
    if (on || !b->isChecked()) {
      b->setChecked(on);
      return;
    }
    // The chosen button of an exclusive group refuses to be cleared directly.
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(true);
  }
};

}  // namespace

Ref<QtControl> make_option_button(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new OptionButton(kind, index, parent));
}

}  // namespace qz
