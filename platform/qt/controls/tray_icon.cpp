// Tray: one icon in the desktop's notification area with its tip, balloon messages, an
// animation that cycles through frames of icons and tips, and the mouse on the icon as events
// (MouseMove, MouseDown/MouseUp with Button 1, 2 or 3, DblClick, Animation). Where the desktop
// has no notification area, TrayAvailable is False and showing the icon says so once on the
// error stream; everything else works the same.
#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <optional>

#include "com/error.h"
#include "platform/output.h"
#include "platform/qt/control_registry.h"
#include "platform/qt/notification_area.h"
#include "platform/qt/picture.h"

namespace qz {

namespace {

constexpr int kBalloonTimeoutMs = 30000;
constexpr int kTipChars = 127;  // the tip field's length, without its NUL

QString tip_text(const std::u16string& tip) {
  return QString::fromStdU16String(tip.size() > kTipChars ? tip.substr(0, kTipChars) : tip);
}

class TrayIcon final : public NativeObject<TrayIcon, QtControl> {
 public:
  static void define(Members<TrayIcon>& m) {
    m.getter(u"Name", [](TrayIcon& t, Args) { return Variant(std::u16string(t.kind())); });
    m.getter(u"hWnd", [](TrayIcon& t, Args) { return Variant(int32_t{t.handle()}); });
    m.getter(u"Parent", [](TrayIcon& t, Args) { return t.parent_object.is_empty() ? Variant::nothing() : t.parent_object; });
    m.getter(u"TrayAvailable", [](TrayIcon& t, Args) { return Variant(t.area_->available()); });
    m.property(u"AniTip", [](TrayIcon& t, Args) { return Variant(t.ani_tip_); },
               [](TrayIcon& t, Args, const Variant& v) { t.ani_tip_ = to_u16(v); });
    m.method(u"ShowBalloonTip", [](TrayIcon& t, Args a) {
      std::u16string message = to_u16(a[0]), title = a.has(1) ? to_u16(a[1]) : std::u16string();
      int16_t kind = a.has(2) ? to_integer(a[2]) : int16_t{0};
      if (t.shown_)
        t.area_->show_balloon(QString::fromStdU16String(title), QString::fromStdU16String(message), kind,
                              kBalloonTimeoutMs);
      return Variant();
    });
    m.method(u"SetMaxAniIcon", [](TrayIcon& t, Args a) {
      int32_t last = to_long(a[0]);
      if (last < 0) raise(9);
      t.frame_icons_.emplace(static_cast<size_t>(last) + 1, Variant::nothing());
      t.frame_tips_.emplace(static_cast<size_t>(last) + 1);
      return Variant();
    });
    m.method(u"SetAniIcon", [](TrayIcon& t, Args a) {
      int32_t i = to_long(a[0]);
      if (!t.frame_icons_ || i < 0 || static_cast<size_t>(i) >= t.frame_icons_->size()) raise(9);
      (*t.frame_icons_)[static_cast<size_t>(i)] = a.has(1) ? a[1].deref() : Variant::nothing();
      (*t.frame_tips_)[static_cast<size_t>(i)] = a.has(2) ? to_u16(a[2]) : std::u16string();
      return Variant();
    });
    m.method(u"TrayPlay", [](TrayIcon& t, Args a) {
      t.play(a.has(0) && to_bool(a[0]));
      return Variant();
    });
    m.method(u"TrayPause", [](TrayIcon& t, Args) {
      t.pause();
      return Variant();
    });
    m.method(u"TrayStop", [](TrayIcon& t, Args) {
      t.stop();
      return Variant();
    });
    m.method(u"TrayNext", [](TrayIcon& t, Args) {
      if (++t.frame_ > t.last_frame_ || t.frame_ < 0) t.frame_ = 0;
      t.show_frame(t.frame_);
      return Variant();
    });
    m.method(u"TrayPrev", [](TrayIcon& t, Args) {
      if (--t.frame_ < 0) t.frame_ = t.last_frame_;
      t.show_frame(t.frame_);
      return Variant();
    });
    m.property(u"Interval", [](TrayIcon& t, Args) { return Variant(int32_t{t.timer_.interval()}); },
               [](TrayIcon& t, Args, const Variant& v) { t.timer_.setInterval(std::max<int32_t>(0, to_long(v))); });
    auto put_icon = [](TrayIcon& t, Args, const Variant& v) { t.set_icon(v.deref()); };
    m.property(u"TrayIcon", [](TrayIcon& t, Args) { return t.icon_; }, put_icon);
    m.setter(u"TrayIcon", put_icon);
    m.property(u"TrayTip", [](TrayIcon& t, Args) { return Variant(t.tip_); },
               [](TrayIcon& t, Args, const Variant& v) { t.set_tip(to_u16(v)); });
    m.property(u"InTray", [](TrayIcon& t, Args) { return Variant(t.in_tray_); },
               [](TrayIcon& t, Args, const Variant& v) { t.set_in_tray(to_bool(v)); });
    m.method(u"DestroyTray", [](TrayIcon& t, Args) {
      t.set_in_tray(false);
      return Variant();
    });
  }
  std::u16string type_name() const override { return u"Tray"; }

  TrayIcon(std::u16string_view kind, int16_t index, QWidget* parent)
      : NativeObject<TrayIcon, QtControl>(kind, index), area_(make_notification_area()) {
    auto* w = new QWidget(parent);
    w->setFixedSize(225 / kTwipsPerPixel, 225 / kTwipsPerPixel);
    attach(w);
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    // The icon's mouse arrives after the toolkit's own event has returned, as a posted message.
    QPointer<QWidget> alive(w);
    area_->on_mouse = [this, alive](int message) {
      QMetaObject::invokeMethod(
          alive.data(), [this, alive, message] {
            if (alive) notify(message);
          },
          Qt::QueuedConnection);
    };
  }
  ~TrayIcon() override { remove_icon(); }

  void destroy() override {
    timer_.stop();
    remove_icon();
    QtControl::destroy();
  }

  // One mouse message of the icon, as the platform numbers them.
  void notify(int message) {
    if (destroyed()) return;
    Ref<TrayIcon> keep(this);
    auto button = [&](std::u16string_view event, int16_t b) {
      std::vector<Variant> args{Variant(b)};
      raise_event(event, args);
    };
    switch (message) {
      case 0x200: raise_event(u"MouseMove"); break;
      case 0x201: button(u"MouseDown", 1); break;
      case 0x202: button(u"MouseUp", 1); break;
      case 0x204: button(u"MouseDown", 2); break;
      case 0x205: button(u"MouseUp", 2); break;
      case 0x207: button(u"MouseDown", 3); break;
      case 0x208: button(u"MouseUp", 3); break;
      case 0x203: case 0x206: case 0x209: raise_event(u"DblClick"); break;
      default: break;
    }
  }

 private:
  static QIcon qicon(const Variant& icon) {
    Picture* p = icon.is_object() ? as_picture(icon.as_object()) : nullptr;
    return p ? QIcon(QPixmap::fromImage(p->image())) : QIcon();
  }

  // Only icons are taken: Nothing, bitmaps and metafiles change nothing.
  void set_icon(const Variant& v) {
    Picture* p = v.is_object() && v.as_object() ? as_picture(v.as_object()) : nullptr;
    if (!p || p->kind() != Picture::kIcon) return;
    icon_ = Variant(static_cast<Object*>(p));
    if (shown_) area_->set_icon(qicon(icon_));
  }

  void set_tip(std::u16string tip) {
    tip_ = std::move(tip);
    if (shown_) area_->set_tip(tip_text(tip_));
  }

  void set_in_tray(bool show) {
    if (show == in_tray_) return;
    if (show) {
      if (!area_->available() && !said_unavailable_) {
        said_unavailable_ = true;
        write_stderr(u"quazel: the desktop has no notification area; the tray icon is not shown\n");
      }
      area_->show(qicon(icon_), tip_text(tip_));
      shown_ = true;
    } else {
      remove_icon();
    }
    in_tray_ = show;
  }

  void remove_icon() {
    if (!shown_) return;
    area_->hide();
    shown_ = false;
  }

  void show_frame(int32_t i) {
    if (last_frame_ <= 0 || !frame_icons_ || i < 0 || static_cast<size_t>(i) >= frame_icons_->size()) return;
    Ref<TrayIcon> keep(this);
    set_icon((*frame_icons_)[static_cast<size_t>(i)]);
    if (ani_tip_.empty()) set_tip((*frame_tips_)[static_cast<size_t>(i)]);
    std::vector<Variant> args{Variant(i)};
    raise_event(u"Animation", args);
  }

  void play(bool step) {
    if (timer_.isActive()) return;
    if (!stopped_) {
      pause();
      return;
    }
    saved_icon_ = icon_;
    saved_tip_ = tip_;
    set_tip(ani_tip_);
    if (!frame_icons_) raise(9);
    last_frame_ = static_cast<int32_t>(frame_icons_->size()) - 1;
    frame_ = 0;
    stopped_ = false;
    if (step) show_frame(0);
    else timer_.start();
  }

  void pause() {
    if (stopped_) return;
    if (timer_.isActive()) timer_.stop();
    else timer_.start();
  }

  // Without an animation there is nothing to put back: the icon and the tip stay.
  void stop() {
    timer_.stop();
    if (stopped_) return;
    set_icon(saved_icon_);
    set_tip(saved_tip_);
    stopped_ = true;
    last_frame_ = 0;
  }

  void tick() {
    if (frame_ > last_frame_) frame_ = 0;
    show_frame(frame_);
    ++frame_;
  }

  std::unique_ptr<NotificationArea> area_;
  QTimer timer_;
  std::u16string ani_tip_, tip_, saved_tip_;
  Variant icon_ = Variant::nothing(), saved_icon_ = Variant::nothing();
  bool in_tray_ = false, shown_ = false, stopped_ = true, said_unavailable_ = false;
  std::optional<std::vector<Variant>> frame_icons_;
  std::optional<std::vector<std::u16string>> frame_tips_;
  int32_t frame_ = 0, last_frame_ = 0;
};

}  // namespace

Ref<QtControl> make_tray_icon(std::u16string_view kind, int16_t index, QWidget* parent) {
  return Ref<QtControl>(new TrayIcon(kind, index, parent));
}

}  // namespace qz
