// Every member resumes on error: an unknown format, an empty format or a value that will not
// convert gives "", Nothing or False, and setting it does nothing.
#include "services/clipboard/clipboard_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "platform/window/graphics_services.h"
#include "services/clipboard/clipboard_store.h"
#include "services/clipboard/system_clipboard.h"

namespace qz {

namespace {

constexpr int32_t kErrArgNotOptional = 449;

// Formats the desktop clipboard carries: text, and bitmaps as PNG; rich text, links and
// metafiles stay in the process.
bool desktop_format(int format) { return format == 1 || format == 7 || format == 13 || is_bitmap_format(format); }

// The picture on the desktop clipboard; null when there is none or it does not decode.
Ref<Object> desktop_picture() {
  std::optional<std::string> png = read_system_clipboard_png();
  if (!png) return nullptr;
  try {
    return window_system().picture_from_bytes(reinterpret_cast<const uint8_t*>(png->data()), png->size());
  } catch (const ScriptError&) {
    return nullptr;
  }
}

int format_arg(const Args& a, size_t i, int missing) { return a.has(i) ? to_integer(a[i]) : missing; }

class ClipboardObject : public NativeObject<ClipboardObject> {
 public:
  ClipboardObject(ClipboardStore& store, bool use_desktop) : store_(store), desktop_(use_desktop) {}
  std::u16string type_name() const override { return u"clsClipBoard"; }

  static void define(Members<ClipboardObject>& m) {
    m.method(u"GetText", [](ClipboardObject& c, Args a) {
      try {
        int format = format_arg(a, 0, 1);
        if (!is_text_format(format)) return Variant(Str());
        if (c.desktop(format))
          if (auto text = read_system_clipboard()) return Variant(Str(*text));
        Variant v = c.store_.get(format);
        return v.is_empty() ? Variant(Str()) : v;
      } catch (const ScriptError&) {
        return Variant(Str());
      }
    });
    m.method(u"SetText", [](ClipboardObject& c, Args a) {
      try {
        Str text = a.has(0) ? to_str(a[0]) : Str();
        int format = format_arg(a, 1, 1);
        if (!is_text_format(format)) return Variant();
        c.store_.put(format, Variant(text));
        if (c.desktop(format)) write_system_clipboard(to_u16(Variant(text)));
      } catch (const ScriptError&) {
      }
      return Variant();
    });
    m.method(u"Clear", [](ClipboardObject& c, Args) {
      c.store_.clear();
      if (c.desktop(1)) write_system_clipboard(u"");
      return Variant();
    });
    m.method(u"GetData", [](ClipboardObject& c, Args a) {
      try {
        int format = format_arg(a, 0, 2);
        if (!is_text_format(format)) {
          if (c.desktop(format) && is_bitmap_format(format))
            if (Ref<Object> picture = desktop_picture()) return Variant(picture.get());
          Variant v = c.store_.get(format);
          if (v.is_object() || v.is_array()) return v;
        }
      } catch (const ScriptError&) {
      }
      return Variant::nothing();
    });
    m.method(u"GetFormat", [](ClipboardObject& c, Args a) {
      if (!a.has(0)) raise(kErrArgNotOptional);
      try {
        int format = to_integer(a[0]);
        if (c.desktop(format) && is_text_format(format)) {
          auto text = read_system_clipboard();
          if (text) return Variant(!text->empty());
        }
        if (c.desktop(format) && is_bitmap_format(format) && read_system_clipboard_png()) return Variant(true);
        return Variant(c.store_.has(format));
      } catch (const ScriptError&) {
        return Variant(false);
      }
    });
    m.method(u"SetData", [](ClipboardObject& c, Args a) {
      try {
        int format = format_arg(a, 1, 2);
        const Variant& data = a[0];
        // A picture (any object but Nothing) or a byte buffer; text goes through SetText.
        bool picture = data.is_object() && data.as_object();
        if (!is_text_format(format) && (picture || data.is_array())) c.store_.put(format, data);
        if (picture && c.desktop(format) && is_bitmap_format(format))
          write_system_clipboard_png(graphics_services().picture_png(data.as_object()));
      } catch (const ScriptError&) {
      }
      return Variant();
    });
  }

 private:
  bool desktop(int format) const { return desktop_ && desktop_format(format) && system_clipboard_available(); }
  ClipboardStore& store_;
  bool desktop_;
};

}  // namespace

Ref<Object> new_clipboard_object(ClipboardStore& store, bool use_desktop) {
  return make_ref<ClipboardObject>(store, use_desktop);
}

Ref<Object> create_clipboard_service(EngineLink&) { return new_clipboard_object(process_clipboard(), true); }

}  // namespace qz
