// Check boxes: Value 0 (unchecked), 1 (checked) or 2 (greyed, set only by the script). Click is
// raised whenever Value changes, by the user (mouse, Space) or by an assignment; a click of
// the user's on a greyed box checks it.
#include <QCheckBox>

#include "platform/qt/control_registry.h"
#include "platform/qt/controls/choice_button.h"

namespace qz {

namespace {

using namespace shared_members;

class CheckWidget final : public WholeAreaButton<QCheckBox> {
 public:
  using WholeAreaButton<QCheckBox>::WholeAreaButton;

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

class CheckBox final : public ChoiceButton<CheckBox, CheckWidget> {
 public:
  static void define(Members<CheckBox>& m) {
    define_choice_members(m);
    m.property(u"Value", alive<CheckBox>([](CheckBox& c, Args) { return Variant(c.value()); }),
               alive_let<CheckBox>([](CheckBox& c, Args, const Variant& v) {
                 int16_t value = to_integer(v);
                 if (value < 0 || value > 2) invalid_value();
                 c.set_value(value);
               }));
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"CheckBox"; }

  CheckBox(std::u16string_view kind, int16_t index, QWidget* parent)
      : ChoiceButton<CheckBox, CheckWidget>(kind, index, parent, QStringLiteral("Check")) {
    QObject::connect(button(), &QCheckBox::stateChanged, [this](int) { click(); });
  }

  void copy_settings_from(QtControl& model) override {
    ChoiceButton<CheckBox, CheckWidget>::copy_settings_from(model);
    if (auto* m = dynamic_cast<CheckBox*>(&model); m && m->button()) set_value(m->value());
  }

 private:
  int16_t value() const {
    Qt::CheckState s = button()->checkState();
    return s == Qt::Checked ? 1 : s == Qt::PartiallyChecked ? 2 : 0;
  }
  void set_value(int16_t v) {
    button()->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
  }
};

}  // namespace

Ref<QtControl> make_check_box(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new CheckBox(kind, index, parent));
}

}  // namespace qz
