#include "platform/qt/notification_area.h"

#include <QSystemTrayIcon>

namespace qz {

namespace {

class SystemTrayArea final : public NotificationArea {
 public:
  SystemTrayArea() {
    QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
      // Qt reports whole clicks: each becomes the press and release the platform would send.
      switch (reason) {
        case QSystemTrayIcon::Trigger: mouse({0x201, 0x202}); break;
        case QSystemTrayIcon::Context: mouse({0x204, 0x205}); break;
        case QSystemTrayIcon::MiddleClick: mouse({0x207, 0x208}); break;
        case QSystemTrayIcon::DoubleClick: mouse({0x203}); break;
        default: break;
      }
    });
  }
  bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
  void show(const QIcon& icon, const QString& tip) override {
    icon_.setIcon(icon);
    icon_.setToolTip(tip);
    icon_.show();
  }
  void hide() override { icon_.hide(); }
  void set_icon(const QIcon& icon) override { icon_.setIcon(icon); }
  void set_tip(const QString& tip) override { icon_.setToolTip(tip); }
  void show_balloon(const QString& title, const QString& message, int kind, int timeout_ms) override {
    static const QSystemTrayIcon::MessageIcon kIcons[] = {QSystemTrayIcon::NoIcon, QSystemTrayIcon::Information,
                                                         QSystemTrayIcon::Warning, QSystemTrayIcon::Critical};
    if (!icon_.isVisible() || !QSystemTrayIcon::supportsMessages()) return;
    icon_.showMessage(title, message, kIcons[kind >= 0 && kind <= 3 ? kind : 0], timeout_ms);
  }

 private:
  void mouse(std::initializer_list<int> messages) {
    for (int m : messages)
      if (on_mouse) on_mouse(m);
  }
  QSystemTrayIcon icon_;
};

NotificationAreaFactory& factory() {
  static auto* f = new NotificationAreaFactory();
  return *f;
}

}  // namespace

std::unique_ptr<NotificationArea> make_notification_area() {
  if (factory()) return factory()();
  return std::make_unique<SystemTrayArea>();
}

void set_notification_area_factory(NotificationAreaFactory f) { factory() = std::move(f); }

}  // namespace qz
