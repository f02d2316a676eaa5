#include "script/regexp/match_objects.h"

#include "com/convert.h"
#include "com/error.h"

namespace qz {

namespace {

// Index argument 0 of an Item call, checked against `count`.
size_t item_index(Args a, size_t count) {
  if (!a.has(0)) raise(kErrArgCount);
  int32_t i = to_long(a[0]);
  if (i < 0 || static_cast<size_t>(i) >= count) raise(kErrIllegalCall);
  return static_cast<size_t>(i);
}

Variant count_of(size_t n) { return Variant(static_cast<int32_t>(n)); }

// TypeName "ISubMatches": the groups of one match; Empty for a group that did not take part.
class SubMatchesObject : public NativeObject<SubMatchesObject> {
 public:
  SubMatchesObject(MatchList list, size_t match) : list_(std::move(list)), match_(match) {}

  static void define(Members<SubMatchesObject>& m) {
    m.getter(u"Count", [](SubMatchesObject& s, Args) { return count_of(s.groups().size()); });
    m.getter(u"Item", [](SubMatchesObject& s, Args a) { return s.item(item_index(a, s.groups().size())); });
    m.default_member(u"Item");
  }
  std::u16string type_name() const override { return u"ISubMatches"; }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> items;
    for (size_t g = 0; g < groups().size(); ++g) items.push_back(item(g));
    return Ref<Enumerator>(new VectorEnumerator(std::move(items)));
  }

 private:
  const std::vector<RegexMatch::Group>& groups() const { return (*list_)[match_].groups; }
  Variant item(size_t g) const {
    const RegexMatch::Group& group = groups()[g];
    return group.matched ? Variant(group.value) : Variant();
  }

  MatchList list_;
  size_t match_;
};

// TypeName "IMatch2": FirstIndex, Length, Value (default), SubMatches.
class MatchObject : public NativeObject<MatchObject> {
 public:
  MatchObject(MatchList list, size_t match) : list_(std::move(list)), match_(match) {}

  static void define(Members<MatchObject>& m) {
    m.getter(u"FirstIndex", [](MatchObject& o, Args) { return count_of(o.match().index); });
    m.getter(u"Length", [](MatchObject& o, Args) { return count_of(o.match().length); });
    m.getter(u"Value", [](MatchObject& o, Args) { return Variant(o.match().value); });
    m.getter(u"SubMatches", [](MatchObject& o, Args a) {
      if (!o.submatches_) o.submatches_ = Ref<Object>(new SubMatchesObject(o.list_, o.match_));
      // m.SubMatches(0): arguments given to the property go to the collection's Item.
      if (!a.empty()) return o.submatches_->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), a);
      return Variant(o.submatches_);
    });
    m.default_member(u"Value");
  }
  std::u16string type_name() const override { return u"IMatch2"; }

 private:
  const RegexMatch& match() const { return (*list_)[match_]; }

  MatchList list_;
  size_t match_;
  Ref<Object> submatches_;
};

// Match objects are made when first asked for and then kept, so that the same item is the
// same object each time.
class MatchCollectionObject : public NativeObject<MatchCollectionObject> {
 public:
  explicit MatchCollectionObject(MatchList list) : list_(std::move(list)), items_(list_->size()) {}

  static void define(Members<MatchCollectionObject>& m) {
    m.getter(u"Count", [](MatchCollectionObject& c, Args) { return count_of(c.list_->size()); });
    m.getter(u"Item", [](MatchCollectionObject& c, Args a) {
      return Variant(c.item(item_index(a, c.list_->size())));
    });
    m.default_member(u"Item");
  }
  std::u16string type_name() const override { return u"IMatchCollection2"; }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> items;
    items.reserve(list_->size());
    for (size_t i = 0; i < list_->size(); ++i) items.push_back(Variant(item(i)));
    return Ref<Enumerator>(new VectorEnumerator(std::move(items)));
  }

 private:
  const Ref<Object>& item(size_t i) {
    if (!items_[i]) items_[i] = Ref<Object>(new MatchObject(list_, i));
    return items_[i];
  }

  MatchList list_;
  std::vector<Ref<Object>> items_;
};

}  // namespace

Ref<Object> new_match_collection(MatchList matches) {
  return Ref<Object>(new MatchCollectionObject(std::move(matches)));
}

}  // namespace qz
