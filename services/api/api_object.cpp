#include "services/api/api_object.h"

#include <time.h>

#include "com/convert.h"
#include "com/error.h"
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

Variant zero(Args) { return Variant(int32_t{0}); }

class ApiObject : public NativeObject<ApiObject> {
 public:
  std::u16string type_name() const override { return u"clsAPI"; }

  static void define(Members<ApiObject>& m) {
    auto fails = [](ApiObject&, Args a) { return zero(a); };
    auto nothing = [](ApiObject&, Args) { return Variant(); };
    for (const char16_t* name : {u"LoadLibrary", u"FreeLibrary", u"GetProcAddress", u"LockWindowUpdateA",
                                 u"SystemParametersInfoA", u"BitBltA", u"StretchBltA", u"SetPixelVA", u"SendMessage",
                                 u"FindWindowEx", u"FindWindow", u"SetWindowPosA", u"SetParentA", u"TextOut",
                                 u"CreateWindow"})
      m.method(name, fails);
    m.method(u"SetPixelA", [](ApiObject&, Args) { return Variant(int32_t{-1}); });
    m.method(u"Mouse_Event", nothing);
    m.method(u"GetIO", [](ApiObject&, Args a) {
      try {
        return Variant(static_cast<int32_t>(read_port(a.has(0) ? to_long(a[0]) : 0)));
      } catch (const ScriptError&) {
        return Variant(int32_t{0});
      }
    });
    m.method(u"PutIO", [](ApiObject&, Args a) {
      try {
        int32_t value = a.has(1) ? to_long(a[1]) : 0;
        if (value >= 0 && value <= 255) write_port(a.has(0) ? to_long(a[0]) : 0, static_cast<uint8_t>(value));
      } catch (const ScriptError&) {
      }
      return Variant();
    });
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
