#include "services/gdi/opengl_object.h"

#include <array>
#include <string>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "com/convert.h"
#include "com/error.h"
#include "platform/window/opengl_services.h"
#include "services/gdi/gl_byte_buffer.h"
#include "services/gdi/gl_pixel_data.h"
#include "services/gdi/script_shapes.h"

namespace qz {

namespace {

constexpr uint32_t kUnpackRowLength = 0x0CF2, kUnpackSkipRows = 0x0CF3, kUnpackSkipPixels = 0x0CF4,
                   kUnpackAlignment = 0x0CF5;

OpenGlServices& gl() { return graphics_services().opengl(); }

// PtrBuf's handles: each names one buffer as it was when handed out.
struct BufferHandles {
  struct Entry {
    const GlByteBuffer* buffer;
    uint64_t generation;
  };
  std::unordered_map<int32_t, Entry> entries;
  int32_t next = 0x7000010;
};
BufferHandles& buffer_handles() {
  static auto* h = new BufferHandles();
  return *h;
}

// Converts one argument to the type a GL parameter has.
template <class P>
P gl_arg(const Args& a, size_t i) {
  if constexpr (std::is_same_v<P, float>)
    return to_single(a[i]);
  else if constexpr (std::is_same_v<P, double>)
    return to_double(a[i]);
  else
    return static_cast<P>(to_long(a[i]));
}

class OpenGlObject : public NativeObject<OpenGlObject> {
 public:
  ~OpenGlObject() override {
    auto& e = buffer_handles().entries;
    std::erase_if(e, [this](const auto& kv) { return kv.second.buffer == &buffer_; });
  }
  std::u16string type_name() const override { return u"clsOpenGL"; }

  static void define(Members<OpenGlObject>& m);

  // A GL or GLU function while a context is current; null otherwise.
  void* function(const char* name) {
    if (!window_system_loaded() || !gl().current()) return nullptr;
    auto it = functions_.find(name);
    if (it != functions_.end()) return it->second;
    void* f = gl().function(name);
    functions_.emplace(name, f);
    return f;
  }

  // A member that calls `name` once with its arguments converted to P...; an int result is
  // returned, other results are dropped.
  template <class R, class... P>
  static void forward(Members<OpenGlObject>& m, std::u16string_view member, const char* name) {
    m.method(member,
             [name](OpenGlObject& o, Args a) { return o.call<R, P...>(name, a, std::index_sequence_for<P...>{}); });
  }

  template <class R, class... P, size_t... I>
  Variant call(const char* name, const Args& a, std::index_sequence<I...>) {
    std::tuple<P...> values{gl_arg<P>(a, I)...};  // converted (and checked) before the call
    auto f = reinterpret_cast<R (*)(P...)>(function(name));
    if constexpr (std::is_void_v<R>) {
      if (f) std::apply(f, values);
      return Variant();
    } else {
      return Variant(static_cast<int32_t>(f ? std::apply(f, values) : R()));
    }
  }

  GlUnpackState unpack_state() {
    GlUnpackState s;
    auto get = reinterpret_cast<void (*)(uint32_t, int32_t*)>(function("glGetIntegerv"));
    if (!get) return s;
    get(kUnpackAlignment, &s.alignment);
    get(kUnpackRowLength, &s.row_length);
    get(kUnpackSkipRows, &s.skip_rows);
    get(kUnpackSkipPixels, &s.skip_pixels);
    return s;
  }

  // The pixel data of a texture call: the script's byte array (of bytes, or of values that
  // convert to bytes, copied into `scratch`) or a live PtrBuf handle, holding at least `needed`
  // bytes; 0 means no data where `allow_none`. Raises 5 otherwise.
  const void* pixel_data(const Variant& v, size_t needed, bool allow_none, std::vector<uint8_t>& scratch) {
    const Variant& d = v.deref();
    if (d.is_array() && d.as_array()) {
      const ArrayRep& rep = *d.as_array();
      if (rep.dims.size() != 1 || rep.dims[0].lbound != 0) raise(kErrIllegalCall);
      if (rep.elem == VT::Byte && rep.bytes.size() >= needed) return rep.bytes.data();
      if (rep.elem != VT::Variant || rep.items.size() < needed) raise(kErrIllegalCall);
      scratch.clear();
      for (const Variant& item : rep.items) scratch.push_back(to_byte(item));
      return scratch.data();
    }
    int64_t number = to_longlong(d);
    if (number == 0 && allow_none) return nullptr;
    auto& e = buffer_handles().entries;
    auto it = number >= INT32_MIN && number <= INT32_MAX ? e.find(static_cast<int32_t>(number)) : e.end();
    if (it == e.end() || it->second.generation != it->second.buffer->generation() || it->second.buffer->empty() ||
        it->second.buffer->size() < needed)
      raise(kErrIllegalCall);
    return it->second.buffer->data();
  }

  std::unordered_map<std::string, void*> functions_;
  GlByteBuffer buffer_;
  int32_t width_ = 0, height_ = 0;
  std::unordered_map<int32_t, void*> quadrics_;
  int32_t next_quadric_ = 1;
};

int32_t index_arg(const Args& a, size_t i) { return a.has(i) ? to_long(a[i]) : -1; }

void OpenGlObject::define(Members<OpenGlObject>& m) {
  m.property(
      u"width", [](OpenGlObject& o, Args) { return Variant(o.width_); },
      [](OpenGlObject& o, Args, const Variant& v) { o.width_ = to_long(v); });
  m.property(
      u"height", [](OpenGlObject& o, Args) { return Variant(o.height_); },
      [](OpenGlObject& o, Args, const Variant& v) { o.height_ = to_long(v); });

  // ---- the buffer ----
  m.method(u"ReBuf", [](OpenGlObject& o, Args a) {
    o.buffer_.rebuild(to_long(a[0]), index_arg(a, 1), index_arg(a, 2));
    return Variant();
  });
  m.getter(u"sizeBuf", [](OpenGlObject& o, Args a) { return Variant(o.buffer_.size_of(to_long(a[0]))); });
  m.method(u"ClearBuf", [](OpenGlObject& o, Args) {
    o.buffer_.clear();
    return Variant();
  });
  m.method(u"PtrBuf", [](OpenGlObject& o, Args) {
    if (o.buffer_.empty()) raise(kErrSubscript);
    BufferHandles& h = buffer_handles();
    do {
      h.next = h.next >= 0x7FFFFFF0 ? 0x7000010 : h.next + 4;
    } while (h.entries.count(h.next));
    h.entries[h.next] = BufferHandles::Entry{&o.buffer_, o.buffer_.generation()};
    return Variant(h.next);
  });
  // buf(i[, j[, k]]) reads and writes one byte; outside the buffer it reads 0 and writes nothing.
  m.property(
      u"buf",
      [](OpenGlObject& o, Args a) {
        try {
          return Variant(o.buffer_.get(to_long(a[0]), index_arg(a, 1), index_arg(a, 2)));
        } catch (const ScriptError&) {
          return Variant(uint8_t{0});
        }
      },
      [](OpenGlObject& o, Args a, const Variant& v) {
        try {
          o.buffer_.put(to_long(a[0]), index_arg(a, 1), index_arg(a, 2), to_byte(v));
        } catch (const ScriptError&) {
        }
      });
  m.method(u"SetBuf", [](OpenGlObject& o, Args a) {
    const Variant& src = a[0];
    if (!src.is_array() || !src.as_array()) raise(13);
    const ArrayRep& rep = *src.as_array();
    const int32_t* b = o.buffer_.bounds();
    int dims = o.buffer_.kind() + 1;
    std::vector<uint8_t> bytes(o.buffer_.size());
    for (int32_t i = 0; i <= b[0]; ++i)
      for (int32_t j = 0; j <= b[1]; ++j)
        for (int32_t k = 0; k <= b[2]; ++k) {
          int32_t subs[3] = {i, j, k};
          size_t at = rep.offset(subs, static_cast<size_t>(dims));
          uint8_t value = rep.elem == VT::Byte ? rep.bytes[at] : to_byte(rep.items[at]);
          bytes[*o.buffer_.offset(i, dims > 1 ? j : -1, dims > 2 ? k : -1)] = value;
        }
    o.buffer_.assign(std::move(bytes));
    return Variant();
  });
  m.method(u"LoadImage", [](OpenGlObject& o, Args a) {
    const Variant& pic = a[0];
    Object* picture = pic.is_object() ? pic.as_object() : nullptr;
    if (!picture) return Variant(false);
    BgrPixels pixels;
    if (!graphics_services().picture_pixels(picture, pixels) || pixels.width <= 0 || pixels.height <= 0)
      return Variant(false);
    o.width_ = pixels.width;
    o.height_ = pixels.height;
    o.buffer_.rebuild(2, pixels.width - 1, pixels.height - 1);
    if (a.has(1) && to_bool(a[1]))
      for (size_t p = 0; p + 2 < pixels.bytes.size(); p += 3) std::swap(pixels.bytes[p], pixels.bytes[p + 2]);
    o.buffer_.assign(std::move(pixels.bytes));
    return Variant(true);
  });

  // ---- the context ----
  m.method(u"OpenGL_Enable", [](OpenGlObject& o, Args a) {
    DeviceContext dc = to_long(a[0]);
    PixelFormatRequest request;
    if (a.has(1)) to_integer(a[1]);  // the version: only one exists
    if (a.has(2)) request.flags = to_long(a[2]);
    if (a.has(3)) request.pixel_type = to_long(a[3]);
    if (a.has(4)) request.color_bits = to_long(a[4]);
    if (a.has(5)) request.depth_bits = to_long(a[5]);
    o.functions_.clear();
    gl().enable(dc, request);  // no context: everything stays as it was
    return Variant();
  });
  m.method(u"OpenGL_Disable", [](OpenGlObject& o, Args) {
    if (window_system_loaded()) gl().disable();
    o.functions_.clear();
    return Variant();
  });
  m.method(u"OGL_SwapBuffers",
           [](OpenGlObject&, Args a) { return Variant(int32_t{gl().swap_buffers(to_long(a[0])) ? 1 : 0}); });

  // ---- forwarded calls ----
  using u32 = uint32_t;
  using i32 = int32_t;
  forward<void, float, float, float, float>(m, u"OGL_glClearColor", "glClearColor");
  forward<void, u32>(m, u"OGL_glClear", "glClear");
  forward<void>(m, u"OGL_glPushMatrix", "glPushMatrix");
  forward<void, float, float, float, float>(m, u"OGL_glRotatef", "glRotatef");
  forward<void, u32>(m, u"OGL_glCallList", "glCallList");
  forward<void>(m, u"OGL_glPopMatrix", "glPopMatrix");
  forward<void, u32, u32>(m, u"OGL_glNewList", "glNewList");
  forward<void, u32>(m, u"OGL_glBegin", "glBegin");
  forward<void, float, float, float>(m, u"OGL_glColor3f", "glColor3f");
  forward<void, float, float>(m, u"OGL_glVertex2f", "glVertex2f");
  forward<void>(m, u"OGL_glEnd", "glEnd");
  forward<void>(m, u"OGL_glEndList", "glEndList");
  forward<void, i32, i32, i32, i32>(m, u"OGL_glViewport", "glViewport");
  forward<void, u32>(m, u"OGL_glMatrixMode", "glMatrixMode");
  forward<void>(m, u"OGL_glLoadIdentity", "glLoadIdentity");
  forward<void, double, double, double, double>(m, u"OGL_gluPerspective", "gluPerspective");
  forward<void, float, float, float>(m, u"OGL_glTranslatef", "glTranslatef");
  forward<void, u32, u32>(m, u"OGL_glPolygonMode", "glPolygonMode");
  forward<void, u32, i32, u32>(m, u"OGL_glStencilFunc", "glStencilFunc");
  forward<void, u32, u32, u32>(m, u"OGL_glStencilOp", "glStencilOp");
  forward<void, float, float, float>(m, u"OGL_glVertex3f", "glVertex3f");
  forward<void, float>(m, u"OGL_glLineWidth", "glLineWidth");
  forward<void, u32>(m, u"OGL_glShadeModel", "glShadeModel");
  forward<void, double>(m, u"OGL_glClearDepth", "glClearDepth");
  forward<void, u32>(m, u"OGL_glEnable", "glEnable");
  forward<void, u32>(m, u"OGL_glDepthFunc", "glDepthFunc");
  forward<void, u32, u32>(m, u"OGL_glHint", "glHint");
  forward<void, u32, u32, i32>(m, u"OGL_glTexEnvi", "glTexEnvi");
  forward<void, u32, u32, i32>(m, u"OGL_glTexParameteri", "glTexParameteri");
  forward<void, float, float>(m, u"OGL_glTexCoord2f", "glTexCoord2f");
  forward<void, double, double, double, double, double, double>(m, u"OGL_glOrtho", "glOrtho");
  forward<void, u32, i32>(m, u"OGL_glLightModeli", "glLightModeli");
  forward<void, u32, u32>(m, u"OGL_glBlendFunc", "glBlendFunc");
  forward<void, u32, u32>(m, u"OGL_glBindTexture", "glBindTexture");
  forward<void, u32, u32, float>(m, u"OGL_glTexParameterf", "glTexParameterf");
  forward<void, u32, i32>(m, u"OGL_glPixelStorei", "glPixelStorei");

  // Texture data: checked against width × height × format before OpenGL reads it.
  m.method(u"OGL_glTexImage2D", [](OpenGlObject& o, Args a) {
    u32 target = to_long(a[0]);
    i32 level = to_long(a[1]), internal = to_long(a[2]), width = to_long(a[3]), height = to_long(a[4]),
        border = to_long(a[5]);
    u32 format = to_long(a[6]), type = to_long(a[7]);
    auto needed = gl_image_bytes(width, height, format, type, o.unpack_state());
    if (!needed) raise(kErrIllegalCall);
    std::vector<uint8_t> scratch;
    const void* pixels = o.pixel_data(a[8], *needed, true, scratch);
    auto f =
        reinterpret_cast<void (*)(u32, i32, i32, i32, i32, i32, u32, u32, const void*)>(o.function("glTexImage2D"));
    if (f) f(target, level, internal, width, height, border, format, type, pixels);
    return Variant();
  });
  m.method(u"OGL_gluBuild2DMipmaps", [](OpenGlObject& o, Args a) {
    u32 target = to_long(a[0]);
    i32 components = to_long(a[1]), width = to_long(a[2]), height = to_long(a[3]);
    u32 format = to_long(a[4]), type = to_long(a[5]);
    auto needed = gl_image_bytes(width, height, format, type, o.unpack_state());
    if (!needed || *needed == 0) raise(kErrIllegalCall);
    std::vector<uint8_t> scratch;
    const void* pixels = o.pixel_data(a[6], *needed, false, scratch);
    auto f = reinterpret_cast<i32 (*)(u32, i32, i32, i32, u32, u32, const void*)>(o.function("gluBuild2DMipmaps"));
    return Variant(f ? f(target, components, width, height, format, type, pixels) : 0);
  });

  // One call sends a run of textured vertices: s, t, x, y, z each.
  m.method(u"OGL_Fast_glTexCoord2f_glVertex3f", [](OpenGlObject& o, Args a) {
    const Variant& run = a[0];
    int32_t last = array_length(run) - 1;
    auto tex = reinterpret_cast<void (*)(float, float)>(o.function("glTexCoord2f"));
    auto vertex = reinterpret_cast<void (*)(float, float, float)>(o.function("glVertex3f"));
    auto element = [&](int32_t i) { return to_single(array_element(run, i)); };
    for (int32_t i = 0; i <= last; i += 5) {
      float s = element(i), t = element(i + 1);
      if (tex) tex(s, t);
      float x = element(i + 2), y = element(i + 3), z = element(i + 4);
      if (vertex) vertex(x, y, z);
    }
    return Variant();
  });
  m.method(u"OGL_glLightfv", [](OpenGlObject& o, Args a) {
    u32 light = to_long(a[0]), pname = to_long(a[1]);
    int32_t n = array_length(a[2]);
    // At least four values: OpenGL reads up to four whatever the script gave.
    std::vector<float> values(static_cast<size_t>(n > 4 ? n : 4), 0.0f);
    for (int32_t i = 0; i < n; ++i) values[static_cast<size_t>(i)] = to_single(array_element(a[2], i));
    if (auto f = reinterpret_cast<void (*)(u32, u32, const float*)>(o.function("glLightfv")))
      f(light, pname, values.data());
    return Variant();
  });
  m.method(u"OGL_glGenTextures", [](OpenGlObject& o, Args a) {
    int32_t n = to_long(a[0]);
    Variant& names = a.ref(1);
    int32_t count = array_length(names);
    if (n > count) n = count;  // never more names than the array holds
    if (n <= 0) return Variant(int32_t{0});
    std::vector<u32> out(static_cast<size_t>(count), 0);
    if (auto f = reinterpret_cast<void (*)(i32, u32*)>(o.function("glGenTextures"))) f(n, out.data());
    ArrayRep* rep = names.array_mut();
    for (int32_t i = 0; i < count; ++i) {
      int32_t sub = i;
      size_t at = rep->offset(&sub, 1);
      if (rep->elem == VT::Variant) rep->items[at] = Variant(static_cast<int32_t>(out[static_cast<size_t>(i)]));
    }
    return Variant(int32_t{0});
  });

  // Quadrics are held by number: the script never sees an address.
  m.method(u"OGL_gluNewQuadric", [](OpenGlObject& o, Args) {
    auto f = reinterpret_cast<void* (*)()>(o.function("gluNewQuadric"));
    void* q = f ? f() : nullptr;
    if (!q) return Variant(int32_t{0});
    int32_t id = o.next_quadric_++;
    o.quadrics_[id] = q;
    return Variant(id);
  });
  auto quadric = [](OpenGlObject& o, const Variant& v) -> void* {
    auto it = o.quadrics_.find(to_long(v));
    return it == o.quadrics_.end() ? nullptr : it->second;
  };
  m.method(u"OGL_gluSphere", [quadric](OpenGlObject& o, Args a) {
    void* q = quadric(o, a[0]);
    double radius = to_double(a[1]);
    i32 slices = to_long(a[2]), stacks = to_long(a[3]);
    auto f = reinterpret_cast<void (*)(void*, double, i32, i32)>(o.function("gluSphere"));
    if (q && f) f(q, radius, slices, stacks);
    return Variant();
  });
  m.method(u"OGL_gluQuadricTexture", [quadric](OpenGlObject& o, Args a) {
    void* q = quadric(o, a[0]);
    uint8_t on = to_long(a[1]) != 0;
    auto f = reinterpret_cast<void (*)(void*, uint8_t)>(o.function("gluQuadricTexture"));
    if (q && f) f(q, on);
    return Variant();
  });
  m.method(u"OGL_gluDeleteQuadric", [quadric](OpenGlObject& o, Args a) {
    void* q = quadric(o, a[0]);
    auto f = reinterpret_cast<void (*)(void*)>(o.function("gluDeleteQuadric"));
    if (q && f) f(q);
    if (q) o.quadrics_.erase(to_long(a[0]));
    return Variant();
  });
}

}  // namespace

Ref<Object> new_opengl_object() { return make_ref<OpenGlObject>(); }

}  // namespace qz
