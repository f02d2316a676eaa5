#include "services/api/api_object.h"

#include <time.h>

#include <algorithm>

#include "com/convert.h"
#include "com/error.h"
#include "platform/window/graphics_services.h"
#include "runtime/native/native_library.h"
#include "services/api/port_io.h"

namespace qz {

namespace {

int64_t monotonic_ns() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Milliseconds since boot in 32 bits, wrapping as the system's tick count does.
Variant tick_count() { return Variant(static_cast<int32_t>(static_cast<uint32_t>(monotonic_ns() / 1000000))); }

// The counter's 64 bits go into the variable as a currency value (count / 10000).
Variant store_counter(Args& a, int64_t count) {
  if (a.size() > 0) a.ref(0) = Variant::currency(count);
  return Variant(int32_t{1});
}

int32_t long_arg(const Args& a, size_t i) { return a.has(i) ? to_long(a[i]) : 0; }
std::u16string text_arg(const Args& a, size_t i) { return a.has(i) ? to_u16(a[i]) : std::u16string(); }
Variant result(bool ok) { return Variant(int32_t{ok ? 1 : 0}); }

void* library_handle(const Variant& v) { return reinterpret_cast<void*>(static_cast<intptr_t>(to_longlong(v))); }

// The members that resume on error give 0 when the call cannot be made.
template <class F>
auto resuming(F f) {
  return [f](auto& self, Args a) -> Variant {
    try {
      return f(self, a);
    } catch (const ScriptError&) {
      return Variant(int32_t{0});
    }
  };
}

class ApiObject : public NativeObject<ApiObject> {
 public:
  std::u16string type_name() const override { return u"clsAPI"; }

  static void define(Members<ApiObject>& m) {
    // ---- libraries ----
    m.method(u"LoadLibrary", [](ApiObject&, Args a) {
      void* h = open_native_library(to_u16(a[0]));
      return Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(h)));
    });
    m.method(u"FreeLibrary", [](ApiObject&, Args a) {
      void* h = library_handle(a[0]);
      if (!h || native_library_references(h) == 0) return result(false);
      close_native_library(h);
      return result(true);
    });
    m.method(u"GetProcAddress", [](ApiObject&, Args a) {
      void* h = library_handle(a[0]);
      void* f = valid_library_handle(h) ? find_native_symbol(h, to_u16(a[1])) : nullptr;
      return Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(f)));
    });

    // ---- ports ----
    m.method(u"GetIO",
             resuming([](ApiObject&, Args a) { return Variant(static_cast<int32_t>(read_port(long_arg(a, 0)))); }));
    m.method(u"PutIO", resuming([](ApiObject&, Args a) {
               int32_t value = long_arg(a, 1);
               if (value >= 0 && value <= 255) write_port(long_arg(a, 0), static_cast<uint8_t>(value));
               return Variant();
             }));

    // ---- windows ----
    m.method(u"LockWindowUpdateA",
             [](ApiObject&, Args a) { return result(graphics_services().lock_window_update(long_arg(a, 0))); });
    m.method(u"SystemParametersInfoA", [](ApiObject&, Args) { return Variant(int32_t{0}); });
    m.method(u"Mouse_Event", resuming([](ApiObject&, Args a) {
               graphics_services().mouse_event(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2));
               return Variant();
             }));
    m.method(u"SendMessage", resuming([](ApiObject&, Args a) {
               return Variant(
                   graphics_services().send_message(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2), long_arg(a, 3)));
             }));
    m.method(u"FindWindowEx", resuming([](ApiObject&, Args a) {
               return Variant(graphics_services().find_child_window(long_arg(a, 0), long_arg(a, 1), text_arg(a, 2),
                                                                    text_arg(a, 3)));
             }));
    m.method(u"FindWindow", resuming([](ApiObject&, Args a) {
               return Variant(graphics_services().find_top_window(text_arg(a, 0), text_arg(a, 1)));
             }));
    m.method(u"SetWindowPosA", resuming([](ApiObject&, Args a) {
               return result(graphics_services().set_window_pos(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2),
                                                                long_arg(a, 3), long_arg(a, 4), long_arg(a, 5),
                                                                long_arg(a, 6)));
             }));
    m.method(u"SetParentA", resuming([](ApiObject&, Args a) {
               return Variant(graphics_services().set_parent_window(long_arg(a, 0), long_arg(a, 1)));
             }));
    m.method(u"CreateWindow", [](ApiObject&, Args) { return Variant(int32_t{0}); });

    // ---- drawing ----
    m.method(u"BitBltA", [](ApiObject&, Args a) {
      PixelRect to{long_arg(a, 1), long_arg(a, 2), long_arg(a, 3), long_arg(a, 4)};
      PixelRect from{long_arg(a, 6), long_arg(a, 7), to.width, to.height};
      return result(graphics_services().stretch_blt(long_arg(a, 0), to, long_arg(a, 5), from, long_arg(a, 8)));
    });
    m.method(u"StretchBltA", [](ApiObject&, Args a) {
      PixelRect to{long_arg(a, 1), long_arg(a, 2), long_arg(a, 3), long_arg(a, 4)};
      PixelRect from{long_arg(a, 6), long_arg(a, 7), long_arg(a, 8), long_arg(a, 9)};
      return result(graphics_services().stretch_blt(long_arg(a, 0), to, long_arg(a, 5), from, long_arg(a, 10)));
    });
    m.method(u"SetPixelA", [](ApiObject&, Args a) {
      return Variant(graphics_services().set_pixel(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2), long_arg(a, 3)));
    });
    m.method(u"SetPixelVA", [](ApiObject&, Args a) {
      return result(graphics_services().set_pixel(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2), long_arg(a, 3)) !=
                    -1);
    });
    // The count is the script's, clamped to the text: nothing past the text's end is drawn.
    m.method(u"TextOut", resuming([](ApiObject&, Args a) {
               std::u16string text = text_arg(a, 3);
               int32_t count = std::clamp(long_arg(a, 4), 0, static_cast<int32_t>(text.size()));
               text.resize(static_cast<size_t>(count));
               return result(graphics_services().text_out(long_arg(a, 0), long_arg(a, 1), long_arg(a, 2), text));
             }));

    // ---- clocks ----
    m.method(u"QueryPerformanceCounterA", [](ApiObject&, Args a) { return store_counter(a, monotonic_ns()); });
    m.method(u"QueryPerformanceFrequencyA", [](ApiObject&, Args a) { return store_counter(a, 1000000000); });
    m.method(u"GetTickCountA", [](ApiObject&, Args) { return tick_count(); });
    m.method(u"timeGetTimeA", [](ApiObject&, Args) { return tick_count(); });
  }
};

}  // namespace

Ref<Object> new_api_object() { return make_ref<ApiObject>(); }

Ref<Object> create_api_service(EngineLink&) { return new_api_object(); }

}  // namespace qz
