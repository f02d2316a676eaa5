// The desktop's notification area as the tray control uses it: one icon with a tip, balloon
// messages, and the mouse on the icon reported as the platform's mouse messages (0x200 move,
// 0x201/0x202 left down/up, 0x203 left double-click, 0x204-0x206 right, 0x207-0x209 middle).
// On Qt it is a QSystemTrayIcon; tests put a fake in its place.
#pragma once
#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

namespace qz {

class NotificationArea {
 public:
  virtual ~NotificationArea() = default;
  // False when the desktop has no notification area: the icon then shows nowhere.
  virtual bool available() const = 0;
  virtual void show(const QIcon& icon, const QString& tip) = 0;
  virtual void hide() = 0;
  virtual void set_icon(const QIcon& icon) = 0;
  virtual void set_tip(const QString& tip) = 0;
  // `kind`: 0 none, 1 information, 2 warning, 3 error.
  virtual void show_balloon(const QString& title, const QString& message, int kind, int timeout_ms) = 0;
  // Hears the mouse messages of the icon.
  std::function<void(int message)> on_mouse;
};

using NotificationAreaFactory = std::function<std::unique_ptr<NotificationArea>()>;
// A new icon place of the desktop (or of the factory a test installed).
std::unique_ptr<NotificationArea> make_notification_area();
// nullptr goes back to the desktop's.
void set_notification_area_factory(NotificationAreaFactory factory);

}  // namespace qz
