// The script members of sys.DynAPI. The buffer and record members never raise: a bad buffer
// number, a value that is no byte or a member that fails leaves things as they were and gives
// 0, False or nothing. The call members let conversion errors reach the script.
#include <cstring>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/native/func_call.h"

namespace qz {

namespace {

// The buffer a member names: -1 is the current one.
ByteBuffer* buffer_named(FuncCall& f, const Variant& number) {
  int n = to_integer(number);
  return f.buffers().at(n == -1 ? f.cur_buf : n);
}

ByteBuffer* current(FuncCall& f) { return f.buffers().at(f.cur_buf); }

template <class Fn>
Variant quietly(Fn fn, Variant otherwise = Variant()) {
  try {
    return fn();
  } catch (...) {
    return otherwise;
  }
}

void rebuf(FuncCall& f, const Variant& count) {
  ByteBuffer* b = current(f);
  int64_t last = to_longlong(count);
  if (!b || last < -1 || static_cast<uint64_t>(last + 1) > ByteBufferSet::kMaxBytes) return;
  b->data.assign(static_cast<size_t>(last + 1), 0);
  b->script_filled = true;
}

void setbuf(FuncCall& f, const Variant& source) {
  ByteBuffer* b = current(f);
  const Variant& v = source.deref();
  if (!b || !v.is_array()) return;
  const ArrayRep* arr = v.as_array();
  std::vector<uint8_t> bytes;
  if (arr->elem == VT::Byte) {
    bytes = arr->bytes;
  } else {
    bytes.reserve(arr->items.size());
    for (const Variant& item : arr->items) {
      uint8_t byte = 0;
      try {
        byte = to_byte(item);
      } catch (...) {
      }
      bytes.push_back(byte);
    }
  }
  b->data = std::move(bytes);
  b->script_filled = true;
}

void getbuf(FuncCall& f, Args a) {
  ByteBuffer* b = current(f);
  if (!b || b->data.empty() || a.empty()) return;
  std::vector<Variant> items;
  items.reserve(b->data.size());
  for (uint8_t byte : b->data) items.emplace_back(byte);
  b->script_filled = true;
  a.ref(0) = Variant::from_vector(std::move(items));
}

void strbuf(FuncCall& f, const Variant& code, const Variant& number) {
  ByteBuffer* b = buffer_named(f, number);
  if (!b) return;
  std::u16string text = to_u16(code);
  std::vector<uint8_t> bytes(text.size() / 2, 0);
  for (size_t i = 0; i < bytes.size(); ++i) {
    int hi = hex_digit_value(text[2 * i]), lo = hex_digit_value(text[2 * i + 1]);
    if (hi >= 0 && lo >= 0) bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  b->data = std::move(bytes);
  b->script_filled = true;
}

}  // namespace

void FuncCall::define(Members<FuncCall>& m) {
  m.property(
      u"curBuf", [](FuncCall& f, Args) { return Variant(f.cur_buf); },
      [](FuncCall& f, Args, const Variant& v) { f.cur_buf = to_integer(v); });
  m.method(u"FindBuf", [](FuncCall& f, Args a) {
    return quietly([&] { return Variant(static_cast<int32_t>(f.buffers().find_free(a.has(0) ? to_long(a[0]) : 0))); },
                   Variant(static_cast<int32_t>(-1)));
  });
  m.property(
      u"UseBuf",
      [](FuncCall& f, Args a) {
        return quietly([&] {
          ByteBuffer* b = buffer_named(f, a[0]);
          return Variant(b && b->in_use);
        }, Variant(false));
      },
      [](FuncCall& f, Args a, const Variant& v) {
        quietly([&] {
          ByteBuffer* b = buffer_named(f, a[0]);
          if (!b) return Variant();
          b->in_use = to_bool(v);
          if (!b->in_use) b->script_filled = false;  // the script gives the buffer up
          return Variant();
        });
      });
  m.method(u"ReBuf", [](FuncCall& f, Args a) {
    return quietly([&] { rebuf(f, a[0]); return Variant(); });
  });
  m.method(u"LenBuf", [](FuncCall& f, Args a) {
    return quietly([&] {
      ByteBuffer* b = buffer_named(f, a[0]);
      return Variant(static_cast<int32_t>(b ? b->data.size() : 0));
    }, Variant(static_cast<int32_t>(0)));
  });
  m.method(u"PtrBuf", [](FuncCall& f, Args a) {
    return quietly([&] {
      ByteBuffer* b = buffer_named(f, a[0]);
      if (!b || b->data.empty()) return Variant(int64_t{0});
      return Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(b->data.data())));
    }, Variant(int64_t{0}));
  });
  m.method(u"SetBuf", [](FuncCall& f, Args a) {
    return quietly([&] { setbuf(f, a[0]); return Variant(); });
  });
  m.method(u"GetBuf", [](FuncCall& f, Args a) {
    return quietly([&] { getbuf(f, a); return Variant(); });
  });
  m.method(u"StrBuf", [](FuncCall& f, Args a) {
    return quietly([&] { strbuf(f, a[0], a.has(1) ? a[1] : Variant(static_cast<int16_t>(-1))); return Variant(); });
  });
  m.method(u"LenType", [](FuncCall& f, Args a) {
    return quietly([&] { return Variant(f.record_size(a[0])); }, Variant(static_cast<int32_t>(0)));
  });
  m.method(u"GetPtrFromClassVars", [](FuncCall& f, Args a) {
    return quietly([&] { return f.record_address(a[0]); }, Variant(int64_t{0}));
  });
  m.method(u"GetClassVarsFromPtr", [](FuncCall& f, Args a) {
    return quietly([&] { f.record_read_back(a[0]); return Variant(); });
  });
  m.method(u"CallFunction3", [](FuncCall& f, Args a) { return f.call_function3(a); });
  m.method(u"CallFunction2", [](FuncCall& f, Args a) { return f.call_function2(a); });
  m.method(u"CallFunction", [](FuncCall& f, Args a) { return f.call_function(a); });
  m.method(u"CallDeclared", [](FuncCall& f, Args a) { return f.call_function(a, true); });
  m.method(u"QueryInterface", [](FuncCall& f, Args a) { return f.query_interface(a); });
  m.method(u"CallInterface", [](FuncCall& f, Args a) { return f.call_interface(a); });
  m.method(u"ClearBuffers", [](FuncCall& f, Args) { f.clear_buffers(); return Variant(); });
  m.property(
      u"CallType", [](FuncCall& f, Args) { return Variant(f.call_type); },
      [](FuncCall& f, Args, const Variant& v) { f.call_type = to_long(v); });
  m.property(
      u"IsFreeLib", [](FuncCall& f, Args) { return Variant(f.free_lib); },
      [](FuncCall& f, Args, const Variant& v) { f.free_lib = to_bool(v); });
  m.property(
      u"ResultSize", [](FuncCall& f, Args) { return Variant(f.result_size); },
      [](FuncCall& f, Args, const Variant& v) {
        int32_t size = to_long(v);
        if (size != 4 && size != 8) raise(kErrIllegalCall, u"ResultSize is 4 or 8");
        f.result_size = size;
      });
}

}  // namespace qz
