// Command buttons: a push button whose Click comes from the button itself (mouse release
// inside it, Space, Enter when it is the default button), and Value = True presses it from
// the script.
#include <QPushButton>

#include "platform/qt/control_registry.h"

namespace qz {

namespace {

class CommandButton final : public NativeObject<CommandButton, QtControl> {
 public:
  static void define(Members<CommandButton>& m) {
    define_common_members(m);
    m.property(u"Caption", [](CommandButton& c, Args) {
      c.check_alive();
      return Variant(c.button()->text().toStdU16String());
    }, [](CommandButton& c, Args, const Variant& v) {
      c.check_alive();
      c.button()->setText(QString::fromStdU16String(to_u16(v)));
    });
    // Reading Value gives False: a press is over by the time the script looks.
    m.property(u"Value", [](CommandButton& c, Args) { c.check_alive(); return Variant(false); },
               [](CommandButton& c, Args, const Variant& v) {
                 c.check_alive();
                 if (to_bool(v)) c.press();
               });
    m.property(u"Default", [](CommandButton& c, Args) { c.check_alive(); return Variant(c.button()->isDefault()); },
               [](CommandButton& c, Args, const Variant& v) { c.check_alive(); c.button()->setDefault(to_bool(v)); });
    m.property(u"Cancel", [](CommandButton& c, Args) { c.check_alive(); return Variant(c.cancel_); },
               [](CommandButton& c, Args, const Variant& v) { c.check_alive(); c.cancel_ = to_bool(v); });
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"CommandButton"; }

  CommandButton(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<CommandButton, QtControl>(kind, index) {
    auto* b = new QPushButton(parent);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(b, &QPushButton::clicked, [this] { click(); });
    attach(b);
  }

  QPushButton* button() const { return static_cast<QPushButton*>(widget()); }
  bool click_on_release() const override { return false; }
  void copy_settings_from(QtControl& model) override {
    QtControl::copy_settings_from(model);
    if (auto* m = dynamic_cast<CommandButton*>(&model); m && m->button())
      button()->setText(m->button()->text());
  }
  void press() { click(); }

 private:
  void click() {
    if (destroyed()) return;
    Ref<CommandButton> keep(this);
    raise_event(u"Click");
  }
  bool cancel_ = false;
};

}  // namespace

Ref<QtControl> make_command_button(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new CommandButton(kind, index, parent));
}

}  // namespace qz
