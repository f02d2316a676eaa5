#include "platform/qt/qt_window_system.h"

#include <QApplication>

#include "com/error.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/form_window.h"
#include "platform/qt/gdi/qt_graphics_services.h"
#include "platform/qt/gui_application.h"
#include "platform/qt/media/qt_media.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/picture_bridge.h"
#include "platform/qt/printer_pages.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/window_messages.h"
#include "platform/qt/window_shape.h"
#include "platform/qt/window_styles.h"
#include "platform/qt/window_table.h"

namespace qz {

namespace {

class QtWindowSystem final : public WindowSystem {
 public:
  Ref<ToolkitWindow> create_form(std::u16string_view caption) override {
    return Ref<ToolkitWindow>(new FormWindow(caption));
  }

  Ref<ToolkitWindow> create_control(std::u16string_view kind, int16_t index, ToolkitWindow* parent,
                                    ToolkitWindow* model) override {
    auto* p = parent ? find_window(parent->handle()) : nullptr;
    if (!p || !p->widget()) return nullptr;
    Ref<QtControl> c = find_control_maker(kind)(kind, index, p->widget());
    if (!c) return nullptr;
    c->widget()->hide();
    if (auto* m = model ? find_window(model->handle()) : nullptr; m && m != c.get()) c->copy_settings_from(*m);
    return Ref<ToolkitWindow>(c.get());
  }

  ToolkitWindow* find(WindowHandle h) override { return find_window(h); }

  Ref<Object> load_picture(std::u16string_view path) override { return load_picture_file(path); }
  Ref<Object> picture_from_bytes(const uint8_t* data, size_t size) override { return load_picture_bytes(data, size); }
  void save_picture(Object* picture, std::u16string_view path) override { save_picture_file(picture, path); }
  Ref<Object> create_printer_pages(std::u16string_view printer) override {
    return Ref<Object>(make_ref<PrinterPages>(printer).get());
  }
  std::string take_printer_document(Object* pages) override {
    auto* p = pages ? dynamic_cast<PrinterPages*>(pages) : nullptr;
    if (!p) raise(5);
    return p->take_document();
  }

  bool offscreen() const override { return gui_offscreen(); }
  void process_events() override {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }

  void set_message_hook(MessageHook hook) override { set_window_message_hook(std::move(hook)); }
  void watch_messages(WindowHandle h, bool on) override {
    if (QtControl* c = find_window(h)) c->messages_watched = on;
  }
  void deliver_message(const WindowMessage& m) override {
    QtControl* c = find_window(m.window);
    if (c && !c->destroyed() && c->messages_watched) send_window_message(m);
  }
  void set_menu_bar(WindowHandle form, const MenuEntries& entries) override {
    if (QtControl* f = find_window(form)) set_form_menu_bar(*f, entries);
  }
  void popup_menu(const MenuEntries& entries, int32_t x, int32_t y, std::function<void(int32_t)> closed) override {
    popup_menu_at(entries, x, y, std::move(closed));
  }
  void set_window_mask(WindowHandle window, Object* mask) override {
    QtControl* w = find_window(window);
    if (!w) raise(5);
    shape_window(*w, mask);
  }
  GraphicsServices& graphics() override { return qt_graphics_services(); }
  MediaServices& media() override { return qt_media_services(); }
  DialogServices& dialogs() override { return qt_dialog_services(); }
  void set_window_style(WindowHandle form, WindowStylePart part, bool on) override {
    QtControl* f = find_window(form);
    if (!f || !f->widget() || !f->widget()->isWindow()) raise(5);
    apply_window_style(*f->widget(), part, on);
  }
};

}  // namespace

WindowSystem* make_qt_window_system(EventLoop* loop) {
  if (!start_gui_application(loop)) return nullptr;
  static QtWindowSystem* ws = new QtWindowSystem();
  return ws;
}

}  // namespace qz
