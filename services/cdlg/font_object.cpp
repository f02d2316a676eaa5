#include "services/cdlg/font_object.h"

#include "com/convert.h"

namespace qz {

namespace {

class FontObject : public NativeObject<FontObject> {
 public:
  explicit FontObject(FontChoice f) : f_(std::move(f)) {}
  std::u16string type_name() const override { return u"StdFont"; }

  static void define(Members<FontObject>& m) {
    m.property(u"Name", [](FontObject& o, Args) { return Variant(Str(o.f_.name)); },
               [](FontObject& o, Args, const Variant& v) { o.f_.name = to_u16(v); });
    m.property(u"Size", [](FontObject& o, Args) { return Variant(o.f_.size); },
               [](FontObject& o, Args, const Variant& v) { o.f_.size = to_double(v); });
    m.property(u"Weight", [](FontObject& o, Args) { return Variant(static_cast<int16_t>(o.f_.weight)); },
               [](FontObject& o, Args, const Variant& v) {
                 o.f_.weight = to_integer(v);
                 o.f_.bold = o.f_.weight >= 550;
               });
    m.property(u"Bold", [](FontObject& o, Args) { return Variant(o.f_.bold); },
               [](FontObject& o, Args, const Variant& v) {
                 o.f_.bold = to_bool(v);
                 o.f_.weight = o.f_.bold ? 700 : 400;
               });
    m.property(u"Italic", [](FontObject& o, Args) { return Variant(o.f_.italic); },
               [](FontObject& o, Args, const Variant& v) { o.f_.italic = to_bool(v); });
    m.property(u"Underline", [](FontObject& o, Args) { return Variant(o.f_.underline); },
               [](FontObject& o, Args, const Variant& v) { o.f_.underline = to_bool(v); });
    m.property(u"Strikethrough", [](FontObject& o, Args) { return Variant(o.f_.strikethrough); },
               [](FontObject& o, Args, const Variant& v) { o.f_.strikethrough = to_bool(v); });
    m.default_member(u"Name");
  }

 private:
  FontChoice f_;
};

}  // namespace

Ref<Object> new_font_object(const FontChoice& font) { return make_ref<FontObject>(font); }

}  // namespace qz
