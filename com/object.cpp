#include "com/object.h"

#include "com/convert.h"
#include "com/error.h"

namespace qz {

const Variant& Args::missing_arg() {
  static const Variant m = Variant::missing();
  return m;
}

namespace {
thread_local bool watched_args_looked_at = false;
}  // namespace

void Args::note_looked_at() { watched_args_looked_at = true; }

bool Args::exchange_looked_at(bool value) {
  bool old = watched_args_looked_at;
  watched_args_looked_at = value;
  return old;
}

Variant apply_args_to_result(const Variant& result, Args args) {
  const Variant& r = result.deref();
  if (r.is_object()) {
    Ref<Object> keep(r.as_object());
    if (!keep) raise(kErrNotObjectVar);
    return keep->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), args);
  }
  if (r.is_array()) {
    const ArrayRep* rep = r.as_array();
    if (args.size() > 64) raise(kErrSubscript);
    int32_t subs[64];
    for (size_t i = 0; i < args.size(); ++i) subs[i] = to_long(args[i]);
    size_t off = rep->offset(subs, args.size());
    return rep->elem == VT::Byte ? Variant(rep->bytes[off]) : rep->items[off];
  }
  return result;
}

int32_t Object::QueryInterface(const void*, void** out) {
  // Only our own dispatch identity is offered; native code that asks gets this object.
  if (out) {
    *out = this;
    AddRef();
  }
  return 0;
}

Ref<Enumerator> Object::enumerate() {
  Variant e = invoke(kDispNewEnum, static_cast<CallKind>(kMethod | kGet), Args());
  if (e.is_object()) {
    if (auto* en = dynamic_cast<Enumerator*>(e.as_object())) return Ref<Enumerator>(en);
  }
  raise(451);  // Object not a collection
}

static DispId member_or_raise(Object& o, std::u16string_view name) {
  DispId id = o.find_member(name);
  if (id == kDispUnknown) raise_not_supported(name);
  return id;
}

Variant Object::call(std::u16string_view name, std::vector<Variant> args) {
  return invoke(member_or_raise(*this, name), static_cast<CallKind>(kMethod | kGet), Args(args));
}

Variant Object::get(std::u16string_view name, std::vector<Variant> args) {
  return invoke(member_or_raise(*this, name), kGet, Args(args));
}

void Object::let(std::u16string_view name, const Variant& value) {
  std::vector<Variant> args{value};
  invoke(member_or_raise(*this, name), kLet, Args(args));
}

void Object::set(std::u16string_view name, const Variant& value) {
  std::vector<Variant> args{value};
  invoke(member_or_raise(*this, name), kSet, Args(args));
}

Variant Enumerator::invoke(DispId, CallKind, Args) { raise(kErrNoSuchMember); }

void raise_not_supported(std::u16string_view member) {
  std::u16string text(error_text(kErrNoSuchMember));
  if (!member.empty()) {
    text += u": '";
    text += member;
    text += u"'";
  }
  raise(kErrNoSuchMember, text);
}

}  // namespace qz
