#include "services/media/media_object.h"

#include <cmath>
#include <memory>

#include "com/convert.h"
#include "com/error.h"
#include "platform/event_loop.h"
#include "platform/window/window_system.h"
#include "runtime/engine_link.h"
#include "runtime/helpers/value_helpers.h"
#include "services/media/media_commands.h"

namespace qz {

namespace {

// The leading number of a reply, rounded to 32 bits (0 when there is none or it is too large).
int32_t reply_number(std::u16string_view reply) {
  double v = std::nearbyint(leading_number(reply));
  return v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int32_t>(v) : 0;
}

std::u16string text_arg(const Args& a, size_t i) { return a.has(i) ? to_u16(a[i]) : std::u16string(); }

// The platform's completion-notice message: wParam the notice's flag, lParam the device number.
constexpr int32_t kMciNotifyMessage = 0x3B9;

class MediaObject : public NativeObject<MediaObject> {
 public:
  // Completion notices go to the engine's hidden host window as a message posted on the event
  // loop, so a script form hears them through AttachMsg on that window, after the command (or
  // the event that ended the play) has returned. Notices still queued when the object goes are
  // dropped.
  explicit MediaObject(EngineLink* engine)
      : commands_([]() -> MediaServices& { return window_system().media(); },
                  [engine, alive = std::weak_ptr<bool>(alive_)](int32_t flag, int32_t device) {
                    if (!engine) return;
                    event_loop().post([engine, alive, flag, device] {
                      if (alive.expired() || !window_system_loaded()) return;
                      if (WindowHandle host = engine->notification_window())
                        window_system().deliver_message({host, kMciNotifyMessage, flag, device});
                    });
                  }) {}
  std::u16string type_name() const override { return u"clsMedia"; }

  // A failed command leaves the reply empty.
  std::u16string send(std::u16string_view command) { return commands_.send(command).value_or(std::u16string()); }

  static void define(Members<MediaObject>& m) {
    m.method(u"Mci", [](MediaObject& o, Args a) { return Variant(Str(o.send(text_arg(a, 0)))); });
    m.method(u"MediaOpen", [](MediaObject& o, Args a) {
      o.send(u"close all");
      std::u16string reply =
          o.send(u"open \"" + text_arg(a, 0) + u"\" alias " + text_arg(a, 2) + u" " + text_arg(a, 1));
      o.send(u"set med time format seconds");
      return Variant(reply_number(reply) != 0);
    });
    m.method(u"MediaReset", [](MediaObject& o, Args) {
      o.send(u"close all");
      return Variant();
    });
    m.method(u"MediaPlay", [](MediaObject& o, Args a) {
      o.send(u"play " + text_arg(a, 1) + u" " + text_arg(a, 0));
      return Variant();
    });
    struct Simple {
      const char16_t* member;
      const char16_t* before;
      const char16_t* after;
    };
    for (Simple s : {Simple{u"MediaStop", u"stop ", u""}, Simple{u"MediaPause", u"pause ", u""},
                     Simple{u"MediaResume", u"resume ", u""}, Simple{u"MediaFullScreen", u"play ", u" fullscreen"},
                     Simple{u"MediaPlayRepeat", u"play ", u" repeat"}}) {
      m.method(s.member, [s](MediaObject& o, Args a) {
        o.send(s.before + text_arg(a, 0) + s.after);
        return Variant();
      });
    }
    m.method(u"MediaLength", [](MediaObject& o, Args a) {
      return Variant(reply_number(o.send(u"status " + text_arg(a, 0) + u" length")));
    });
    m.method(u"MediaPosition", [](MediaObject& o, Args a) {
      return Variant(reply_number(o.send(u"status " + text_arg(a, 0) + u" position")));
    });
    m.method(u"MediaStatus",
             [](MediaObject& o, Args a) { return Variant(Str(o.send(u"status " + text_arg(a, 0) + u" mode"))); });
    m.method(u"Sound", [](MediaObject&, Args a) {
      try {
        window_system().media().tone(to_long(a[0]), to_long(a[1]));
      } catch (const ScriptError&) {
      }
      return Variant();
    });
    m.method(u"OpenCD", [](MediaObject& o, Args) {
      o.send(u"Set cdaudio door open wait");
      return Variant();
    });
    m.method(u"CloseCD", [](MediaObject& o, Args) {
      o.send(u"Set cdaudio door closed wait");
      return Variant();
    });
  }

 private:
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // before commands_, which use it
  MediaCommands commands_;
};

}  // namespace

Ref<Object> new_media_object() { return make_ref<MediaObject>(nullptr); }

Ref<Object> create_media_service(EngineLink& engine) { return make_ref<MediaObject>(&engine); }

}  // namespace qz
