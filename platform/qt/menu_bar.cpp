#include "platform/qt/menu_bar.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include "platform/qt/gui_application.h"
#include "platform/qt/picture.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/window_table.h"
#include "platform/qt/window_messages.h"
#include "platform/window/window_messages.h"

namespace qz {

namespace {

constexpr const char* kClientTop = "quazel_client_top";

QIcon entry_icon(const MenuEntry& e) {
  QIcon icon;
  if (Picture* p = Picture::from_handle(e.picture)) icon.addPixmap(QPixmap::fromImage(p->image()), QIcon::Normal, QIcon::Off);
  if (Picture* p = Picture::from_handle(e.checked_picture)) icon.addPixmap(QPixmap::fromImage(p->image()), QIcon::Normal, QIcon::On);
  return icon;
}

// Fills a menu or menu bar; `chosen` hears the id of an item the user chooses.
template <class M>
void fill(M* menu, const MenuEntries& entries, const std::function<void(int32_t)>& chosen) {
  for (const MenuEntry& e : entries) {
    if (e.separator) {
      menu->addSeparator();
      continue;
    }
    QString text = QString::fromStdU16String(e.text);
    if (e.is_submenu) {
      QMenu* sub = menu->addMenu(text);
      fill(sub, e.submenu, chosen);
      continue;
    }
    QAction* a = menu->addAction(text);
    a->setEnabled(!e.grayed);
    if (e.checked) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    if (e.picture || e.checked_picture) a->setIcon(entry_icon(e));
    if (e.is_default) {
      QFont f = a->font();
      f.setBold(true);
      a->setFont(f);
    }
    int32_t id = e.id;
    QObject::connect(a, &QAction::triggered, [chosen, id] { chosen(id); });
  }
}

// The bar of one form window and what it shows; a child of the form's widget, so it goes with
// the window. It keeps the bar as wide as the window.
class MenuBarHolder final : public QObject {
 public:
  explicit MenuBarHolder(QWidget* form) : QObject(form), form_(form) {
    setObjectName("quazel_menu_bar_holder");
    form->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == form_ && event->type() == QEvent::Resize && bar_) bar_->setGeometry(0, 0, form_->width(), height_);
    return false;
  }
  bool shows(const MenuEntries& entries) const { return entries == entries_ && (bar_ || entries.empty()); }
  void show(const MenuEntries& entries, WindowHandle form_handle) {
    if (shows(entries)) return;
    entries_ = entries;
    if (bar_) delete bar_.data();
    int old_height = height_;
    height_ = 0;
    if (!entries.empty()) {
      bar_ = new QMenuBar(form_);
      bar_->setObjectName("quazel_menu_bar");
      fill(bar_.data(), entries, [form_handle](int32_t id) {
        QtControl* f = find_window(form_handle);
        if (f && f->messages_watched) send_window_message({form_handle, wm::kCommand, id, 0});
      });
      height_ = bar_->sizeHint().height();
      bar_->setGeometry(0, 0, form_->width(), height_);
      bar_->show();
      bar_->raise();
    }
    // The controls keep their place in the client area, which now starts below the bar.
    int delta = height_ - old_height;
    if (delta == 0) return;
    for (QObject* child : form_->children()) {
      auto* w = qobject_cast<QWidget*>(child);
      if (w && w != bar_ && !w->isWindow()) w->move(w->x(), w->y() + delta);
    }
    form_->setProperty(kClientTop, height_);
    form_->resize(form_->width(), form_->height() + delta);
  }

 private:
  QWidget* form_;
  QPointer<QMenuBar> bar_;
  MenuEntries entries_;
  int height_ = 0;
};

}  // namespace

void set_form_menu_bar(QtControl& form, const MenuEntries& entries) {
  QWidget* w = form.widget();
  if (!w) return;
  auto* holder = w->findChild<MenuBarHolder*>("quazel_menu_bar_holder", Qt::FindDirectChildrenOnly);
  if (holder ? holder->shows(entries) : entries.empty()) return;
  if (w->testAttribute(Qt::WA_WState_InPaintEvent)) {
    // The form redraws its menu on every paint: the bar (which resizes the window) changes
    // once the paint is over.
    WindowHandle handle = form.handle();
    QTimer::singleShot(0, w, [handle, entries] {
      if (QtControl* f = find_window(handle)) set_form_menu_bar(*f, entries);
    });
    return;
  }
  if (!holder) holder = new MenuBarHolder(w);
  holder->show(entries, form.handle());
}

void popup_menu_at(const MenuEntries& entries, int32_t x, int32_t y, std::function<void(int32_t)> closed) {
  auto* menu = new QMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose, false);
  auto chosen = std::make_shared<int32_t>(0);
  fill(menu, entries, [chosen](int32_t id) { *chosen = id; });
  // The item's action fires after the menu has hidden: the answer waits one turn of the loop.
  QObject::connect(menu, &QMenu::aboutToHide, menu, [menu, chosen, closed] {
    QTimer::singleShot(0, menu, [menu, chosen, closed] {
      menu->deleteLater();
      try {
        if (closed) closed(*chosen);
      } catch (...) {
      }
      // The engine's loop may be about to sleep in Qt's dispatcher with nothing else to come:
      // it must wake and see that the menu has closed.
      wake_engine_loop();
    });
  });
  QPoint at = QCursor::pos();
  if (x != -1) at.setX(x);
  if (y != -1) at.setY(y);
  menu->popup(at);
}

}  // namespace qz
