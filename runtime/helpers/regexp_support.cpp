#include "runtime/helpers/regexp_support.h"

#include <memory>
#include <vector>

#include "script/regexp/match_objects.h"
#include "script/regexp/regex.h"

namespace qz {

namespace {

Regex& regex() {
  static Regex* r = new Regex();  // one thread; settings are set anew by every call
  return *r;
}

struct LastMatchSet {
  MatchList matches;
  Ref<Object> collection;
};

LastMatchSet& last() {
  static LastMatchSet* s = new LastMatchSet();
  return *s;
}

Regex& configured(std::u16string_view pattern, RegexpFlags flags) {
  Regex& r = regex();
  r.set_global(flags.global);
  r.set_ignore_case(flags.ignore_case);
  r.set_pattern(pattern);
  return r;
}

// Runs the match on `text` and keeps it as the last match set.
Ref<Object> keep_matches(Regex& r, std::u16string_view text) {
  auto matches = std::make_shared<const std::vector<RegexMatch>>(r.execute(text));
  Ref<Object> collection = new_match_collection(matches);
  last().matches = std::move(matches);
  last().collection = collection;
  return collection;
}

}  // namespace

std::u16string rxp_replace(std::u16string_view text, std::u16string_view pattern,
                           std::u16string_view replacement, RegexpFlags flags) {
  Regex& r = configured(pattern, flags);
  std::u16string result = r.replace(text, replacement);
  keep_matches(r, text);
  return result;
}

bool rxp_compare(std::u16string_view text, std::u16string_view pattern, RegexpFlags flags) {
  Regex& r = configured(pattern, flags);
  bool found = r.test(text);
  keep_matches(r, text);
  return found;
}

Ref<Object> rxp_execute(std::u16string_view text, std::u16string_view pattern, RegexpFlags flags) {
  return keep_matches(configured(pattern, flags), text);
}

Variant rxp_last_match_set() {
  return last().collection ? Variant(last().collection) : Variant::nothing();
}

std::u16string rxp_param(int32_t group, int32_t match) {
  const MatchList& list = last().matches;
  if (!list || match < 0 || static_cast<size_t>(match) >= list->size()) return {};
  const RegexMatch& m = (*list)[static_cast<size_t>(match)];
  size_t k = group > 1 ? static_cast<size_t>(group - 1) : 0;
  if (k >= m.groups.size()) return {};
  return m.groups[k].value;
}

void rxp_reset() {
  last().matches.reset();
  last().collection = Ref<Object>();
}

}  // namespace qz
