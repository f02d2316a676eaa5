#include "script/regexp/regexp_object.h"

#include "com/convert.h"
#include "com/error.h"
#include "script/regexp/match_objects.h"
#include "script/regexp/regex.h"

namespace qz {

namespace {

const Variant& required(Args a, size_t i) {
  if (!a.has(i)) raise(kErrArgCount);
  return a[i];
}

// TypeName "IRegExp2". The compiled pattern lives in `rx` until a setting changes.
class RegExpObject : public NativeObject<RegExpObject> {
 public:
  static void define(Members<RegExpObject>& m) {
    m.property(
        u"Pattern", [](RegExpObject& r, Args) { return Variant(r.rx.pattern()); },
        [](RegExpObject& r, Args, const Variant& v) { r.rx.set_pattern(to_u16(v)); });
    m.property(
        u"Global", [](RegExpObject& r, Args) { return Variant(r.rx.global()); },
        [](RegExpObject& r, Args, const Variant& v) { r.rx.set_global(to_bool(v)); });
    m.property(
        u"IgnoreCase", [](RegExpObject& r, Args) { return Variant(r.rx.ignore_case()); },
        [](RegExpObject& r, Args, const Variant& v) { r.rx.set_ignore_case(to_bool(v)); });
    m.property(
        u"MultiLine", [](RegExpObject& r, Args) { return Variant(r.rx.multiline()); },
        [](RegExpObject& r, Args, const Variant& v) { r.rx.set_multiline(to_bool(v)); });
    m.method(u"Test", [](RegExpObject& r, Args a) { return Variant(r.rx.test(to_u16(required(a, 0)))); });
    m.method(u"Execute", [](RegExpObject& r, Args a) {
      auto list = std::make_shared<const std::vector<RegexMatch>>(r.rx.execute(to_u16(required(a, 0))));
      return Variant(new_match_collection(std::move(list)));
    });
    m.method(u"Replace", [](RegExpObject& r, Args a) { return r.replace(a); });
  }
  std::u16string type_name() const override { return u"IRegExp2"; }

 private:
  // The replacement is a text with $ codes, or a function (GetRef) called for each match with
  // the match, each submatch, the position and the whole text.
  Variant replace(Args a) {
    std::u16string text = to_u16(required(a, 0));
    const Variant& with = required(a, 1);
    if (with.is(VT::Boolean)) return Variant(rx.replace(text, with.as_bool() ? u"-1" : u"0"));   // as a number
    if (!with.is_object() || !with.as_object()) return Variant(rx.replace(text, to_u16(with)));
    Ref<Object> fn(with.as_object());
    return Variant(rx.replace(text, [&](const RegexMatch& m) {
      std::vector<Variant> args;
      args.reserve(m.groups.size() + 3);
      args.emplace_back(m.value);
      for (const auto& g : m.groups) args.push_back(g.matched ? Variant(g.value) : Variant());
      args.emplace_back(static_cast<int32_t>(m.index));
      args.emplace_back(text);
      return to_u16(fn->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), Args(args)));
    }));
  }

  Regex rx;
};

}  // namespace

Ref<Object> new_regexp_object() { return Ref<Object>(new RegExpObject()); }

}  // namespace qz
