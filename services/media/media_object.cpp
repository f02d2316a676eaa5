#include "services/media/media_object.h"

#include <cmath>

#include "com/convert.h"
#include "runtime/helpers/value_helpers.h"

namespace qz {

namespace {

// The reply to a command string; empty: the command failed.
std::u16string send_command(std::u16string_view) { return std::u16string(); }

// The leading number of a reply, rounded to 32 bits (0 when there is none or it is too large).
int32_t reply_number(std::u16string_view reply) {
  double v = std::nearbyint(leading_number(reply));
  return v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int32_t>(v) : 0;
}

std::u16string text_arg(const Args& a, size_t i) { return a.has(i) ? to_u16(a[i]) : std::u16string(); }

class MediaObject : public NativeObject<MediaObject> {
 public:
  std::u16string type_name() const override { return u"clsMedia"; }

  static void define(Members<MediaObject>& m) {
    m.method(u"Mci", [](MediaObject&, Args a) { return Variant(Str(send_command(text_arg(a, 0)))); });
    m.method(u"MediaOpen", [](MediaObject&, Args a) {
      send_command(u"close all");
      std::u16string reply =
          send_command(u"open \"" + text_arg(a, 0) + u"\" alias " + text_arg(a, 2) + u" " + text_arg(a, 1));
      send_command(u"set med time format seconds");
      return Variant(reply_number(reply) != 0);
    });
    m.method(u"MediaReset", [](MediaObject&, Args) { send_command(u"close all"); return Variant(); });
    m.method(u"MediaPlay", [](MediaObject&, Args a) {
      send_command(u"play " + text_arg(a, 1) + u" " + text_arg(a, 0));
      return Variant();
    });
    struct Simple { const char16_t* member; const char16_t* before; const char16_t* after; };
    for (Simple s : {Simple{u"MediaStop", u"stop ", u""}, Simple{u"MediaPause", u"pause ", u""},
                     Simple{u"MediaResume", u"resume ", u""}, Simple{u"MediaFullScreen", u"play ", u" fullscreen"},
                     Simple{u"MediaPlayRepeat", u"play ", u" repeat"}}) {
      m.method(s.member, [s](MediaObject&, Args a) {
        send_command(s.before + text_arg(a, 0) + s.after);
        return Variant();
      });
    }
    m.method(u"MediaLength", [](MediaObject&, Args a) {
      return Variant(reply_number(send_command(u"status " + text_arg(a, 0) + u" length")));
    });
    m.method(u"MediaPosition", [](MediaObject&, Args a) {
      return Variant(reply_number(send_command(u"status " + text_arg(a, 0) + u" position")));
    });
    m.method(u"MediaStatus", [](MediaObject&, Args a) {
      return Variant(Str(send_command(u"status " + text_arg(a, 0) + u" mode")));
    });
    m.method(u"Sound", [](MediaObject&, Args) { return Variant(); });
    m.method(u"OpenCD", [](MediaObject&, Args) { send_command(u"Set cdaudio door open wait"); return Variant(); });
    m.method(u"CloseCD", [](MediaObject&, Args) { send_command(u"Set cdaudio door closed wait"); return Variant(); });
  }
};

}  // namespace

Ref<Object> new_media_object() { return make_ref<MediaObject>(); }

Ref<Object> create_media_service(EngineLink&) { return new_media_object(); }

}  // namespace qz
