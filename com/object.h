// Dispatch objects: everything a script holds as an object. Members are found by name without
// regard to case, resolved once to an id (which call sites cache) and invoked with a call kind.
// The first three virtual functions keep the COM layout (QueryInterface, AddRef, Release) so a
// script may hand an object's address to native code.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com/folded_index.h"
#include "com/ref.h"
#include "com/variant.h"

namespace qz {

using DispId = int32_t;
constexpr DispId kDispValue = 0;        // the default member
constexpr DispId kDispNewEnum = -4;     // For Each
constexpr DispId kDispUnknown = -1;     // no such member

// How a member is called; Method|Get together is a call whose result is used.
enum CallKind : uint8_t { kMethod = 1, kGet = 2, kLet = 4, kSet = 8 };

// The arguments of a call, in source order. An argument may be a by-reference cell (VT::ByRef)
// that refers to the caller's variable; a left-out optional argument is Variant::missing().
// For Let/Set the last argument is the value being assigned.
class Args {
 public:
  Args() = default;
  Args(Variant* data, size_t n) : data_(data), n_(n) {}
  Args(std::vector<Variant>& v) : data_(v.data()), n_(v.size()) {}  // NOLINT
  size_t size() const { touch(); return n_ & kCountMask; }
  bool empty() const { return size() == 0; }
  // The value of argument i (by-reference cells followed); Missing when i is past the end.
  const Variant& operator[](size_t i) const {
    touch();
    if (i >= (n_ & kCountMask)) return missing_arg();
    return data_[i].deref();
  }
  bool has(size_t i) const { return i < size() && !(*this)[i].is_missing(); }
  // The variable behind argument i, to assign a by-reference result to.
  Variant& ref(size_t i) { touch(); return data_[i].deref(); }
  Variant* data() const { touch(); return data_; }
  // For Let/Set: the value being assigned and the index arguments before it.
  const Variant& value() const { return (*this)[size() - 1]; }
  Args indices() const { size_t n = size(); return Args(data_, n ? n - 1 : 0); }
  // The same arguments, watched: a callee that looks at them in any way sets this thread's
  // looked-at flag. A member that never does takes none (the arguments then go to its
  // result's default member). exchange_looked_at swaps the flag, so watched calls may nest.
  Args watched() const { Args a(data_, n_); a.n_ |= kWatched; return a; }
  static bool exchange_looked_at(bool value);

 private:
  static constexpr size_t kWatched = size_t{1} << 63;
  static constexpr size_t kCountMask = kWatched - 1;
  void touch() const { if (n_ & kWatched) note_looked_at(); }
  static void note_looked_at();
  static const Variant& missing_arg();
  Variant* data_ = nullptr;
  size_t n_ = 0;   // the count; the top bit marks watched arguments
};

class Enumerator;

class Object {
 public:
  virtual int32_t QueryInterface(const void* iid, void** out);
  virtual uint32_t AddRef() { return ++refs_; }
  virtual uint32_t Release() {
    uint32_t r = --refs_;
    if (r == 0) destroy();
    return r;
  }
  virtual ~Object() {
    if (address_taken_ && address_released) address_released(this);
  }

  // kDispUnknown when there is no such member.
  virtual DispId find_member(std::u16string_view name) = 0;
  // Calls member `id`. Raises ScriptError on failure (438 when the kind is not supported).
  virtual Variant invoke(DispId id, CallKind kind, Args args) = 0;
  // TypeName's answer.
  virtual std::u16string type_name() const = 0;
  // The member name behind an id (for messages); empty when unknown.
  virtual std::u16string member_name(DispId) const { return {}; }
  // Identity of the member table: objects with the same key resolve names to the same ids,
  // so a call site may reuse an id it resolved before. Null: do not cache.
  virtual const void* member_key() const { return nullptr; }
  // For Each support; the default asks member kDispNewEnum for an enumerator object.
  virtual Ref<Enumerator> enumerate();

  uint32_t ref_count() const { return refs_; }

  // A script took this object's address (sys.CObjPtr): the table of such addresses is told
  // when the object goes, so a stale address is never followed back to an object.
  void mark_address_taken() { address_taken_ = true; }
  bool address_taken() const { return address_taken_; }
  static inline void (*address_released)(Object*) = nullptr;

  // Convenience for C++ callers: by name, raising 438 when the member is missing.
  Variant call(std::u16string_view name, std::vector<Variant> args = {});
  Variant get(std::u16string_view name, std::vector<Variant> args = {});
  void let(std::u16string_view name, const Variant& value);
  void set(std::u16string_view name, const Variant& value);

 protected:
  // Runs when the last reference goes; script classes run Class_Terminate here.
  virtual void destroy() { delete this; }
  uint32_t refs_ = 0;
  bool address_taken_ = false;
};

// An iterator for For Each.
class Enumerator : public Object {
 public:
  // Stores the next item in `out` and returns true, or returns false at the end.
  virtual bool next(Variant& out) = 0;
  DispId find_member(std::u16string_view) override { return kDispUnknown; }
  Variant invoke(DispId, CallKind, Args) override;
  std::u16string type_name() const override { return u"Enumerator"; }
};

// An enumerator over a snapshot of values.
class VectorEnumerator : public Enumerator {
 public:
  explicit VectorEnumerator(std::vector<Variant> items) : items_(std::move(items)) {}
  bool next(Variant& out) override {
    if (pos_ >= items_.size()) return false;
    out = items_[pos_++];
    return true;
  }
 private:
  std::vector<Variant> items_;
  size_t pos_ = 0;
};

// The member table of a C++ class: one place to declare its script members.
//   static void define(Members<Dictionary>& m) {
//     m.method(u"Add", [](Dictionary& d, Args a) { ...; return Variant(); });
//     m.property(u"Item", getter, letter);   m.default_member(u"Item");
//   }
template <class T>
class Members {
 public:
  using Getter = std::function<Variant(T&, Args)>;          // methods and property gets
  using Putter = std::function<void(T&, Args, const Variant&)>;  // let/set: index args, value

  struct Entry {
    std::u16string name;
    Getter call;   // method or get
    Putter let;
    Putter set;
  };

  Members& method(std::u16string_view name, Getter fn) { slot(name).call = std::move(fn); return *this; }
  Members& getter(std::u16string_view name, Getter fn) { slot(name).call = std::move(fn); return *this; }
  Members& letter(std::u16string_view name, Putter fn) { slot(name).let = std::move(fn); return *this; }
  Members& setter(std::u16string_view name, Putter fn) { slot(name).set = std::move(fn); return *this; }
  Members& property(std::u16string_view name, Getter g, Putter l) {
    auto& e = slot(name);
    e.call = std::move(g);
    e.let = std::move(l);
    return *this;
  }
  // Makes `name` also the default member (DispId 0).
  Members& default_member(std::u16string_view name) { default_ = find(name); return *this; }

  DispId find(std::u16string_view name) const {
    int32_t id = index_.find(name, name_of());
    return id < 0 ? kDispUnknown : id;
  }
  const Entry* entry(DispId id) const {
    if (id == kDispValue) id = default_;
    if (id <= 0 || static_cast<size_t>(id) > entries_.size()) return nullptr;
    return &entries_[id - 1];
  }

 private:
  // One hash lookup a member, no folded copy of its name: large tables (the sys object's) are
  // built when a run first uses them.
  Entry& slot(std::u16string_view name) {
    auto added = static_cast<DispId>(entries_.size() + 1);
    DispId id = index_.insert(name, added, name_of());
    if (id == added) entries_.push_back(Entry{std::u16string(name), {}, {}, {}});
    return entries_[static_cast<size_t>(id) - 1];
  }
  auto name_of() const {
    return [this](int32_t id) { return std::u16string_view(entries_[static_cast<size_t>(id) - 1].name); };
  }
  std::vector<Entry> entries_;
  FoldedIndex index_;
  DispId default_ = kDispUnknown;
};

// Dispatch on a Members<T> table; shared by every instance of T.
[[noreturn]] void raise_not_supported(std::u16string_view member);
// A member without parameters called with arguments: they apply to its result, as to a
// variable holding it (an object's default member, an array's elements; other values stay).
Variant apply_args_to_result(const Variant& result, Args args);

// Base lets a class with an interface of its own (derived from Object) keep its members in a table.
template <class T, class Base = Object>
class NativeObject : public Base {
 public:
  using Base::Base;
  static Members<T>& members() {
    static Members<T>* table = [] {
      auto* t = new Members<T>();
      T::define(*t);
      return t;
    }();
    return *table;
  }
  DispId find_member(std::u16string_view name) override { return members().find(name); }
  const void* member_key() const override { return &members(); }
  std::u16string member_name(DispId id) const override {
    auto* e = members().entry(id);
    return e ? e->name : std::u16string();
  }
  Variant invoke(DispId id, CallKind kind, Args args) override {
    auto* e = members().entry(id);
    if (!e) raise_not_supported(member_name(id));
    T& self = static_cast<T&>(*this);
    if (kind & (kMethod | kGet)) {
      if (e->call) {
        if (!(kind & kGet) || args.empty()) return e->call(self, args);
        bool outer = Args::exchange_looked_at(false);
        Variant result;
        try {
          result = e->call(self, args.watched());
        } catch (...) {
          Args::exchange_looked_at(outer);
          throw;
        }
        bool looked = Args::exchange_looked_at(outer);
        return looked ? result : apply_args_to_result(result, args);
      }
    } else if (kind & kLet) {
      if (e->let) { e->let(self, args.indices(), args.value()); return Variant(); }
      if (e->set) { e->set(self, args.indices(), args.value()); return Variant(); }
    } else if (kind & kSet) {
      if (e->set) { e->set(self, args.indices(), args.value()); return Variant(); }
      if (e->let) { e->let(self, args.indices(), args.value()); return Variant(); }
    }
    // x.Files("k") = v with Files a getter without parameters: the assignment goes to the
    // default member of the object it returns.
    if ((kind & (kLet | kSet)) && e->call && args.size() > 1) {
      bool outer = Args::exchange_looked_at(false);
      Variant result;
      try {
        result = e->call(self, Args().watched());
      } catch (...) {
        Args::exchange_looked_at(outer);
        throw;
      }
      bool looked = Args::exchange_looked_at(outer);
      if (!looked && result.is_object() && result.as_object()) {
        Ref<Object> keep(result.as_object());
        return keep->invoke(kDispValue, kind, args);
      }
    }
    raise_not_supported(e->name);
  }
};

}  // namespace qz
