// Regex on PCRE2's 16-bit library. The pattern is first rewritten into plain PCRE2 syntax
// (pattern_translator.h), then compiled without UTF mode: every code unit is one character, as
// the language sees strings, so lone surrogates and byte strings match like any other text.
// Case-insensitive patterns add PCRE2_UCP, which gives Unicode case folding (Cyrillic, Greek,
// accented Latin) in that mode; the translator keeps \d \w \s \b ASCII under it.
#define PCRE2_CODE_UNIT_WIDTH 16
#include "script/regexp/regex.h"

#include <pcre2.h>

#include <algorithm>
#include <string>
#include <unordered_map>

#include "com/error.h"
#include "script/regexp/pattern_translator.h"
#include "script/regexp/replacement.h"

namespace qz {

namespace {

// Backtracking budget of one search, so that a runaway pattern ends with an error instead of
// hanging. The linear whole-text patterns the translator uses stay far below it.
constexpr uint32_t kMatchLimit = 50'000'000;
constexpr uint32_t kDepthLimit = 10'000'000;
constexpr uint32_t kHeapLimitKiB = 1024 * 1024;      // interpreter frames (no JIT)
constexpr size_t kJitStackStart = 256 * 1024;
constexpr size_t kJitStackMax = 512 * 1024 * 1024;  // reserved address space, used on demand
constexpr uint32_t kParensNestLimit = 1000;

// Compile and match contexts shared by every Regex of the thread.
struct Contexts {
  pcre2_compile_context* compile = nullptr;
  pcre2_match_context* match = nullptr;
  pcre2_jit_stack* jit_stack = nullptr;

  Contexts() {
    compile = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(compile, PCRE2_NEWLINE_LF);
    pcre2_set_parens_nest_limit(compile, kParensNestLimit);
    match = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(match, kMatchLimit);
    pcre2_set_depth_limit(match, kDepthLimit);
    pcre2_set_heap_limit(match, kHeapLimitKiB);
  }
  // The stack of machine-code searches, made before the thread's first pattern is compiled to
  // machine code (the cache that shares such code is the thread's too): most runs never
  // need one, and it reserves a large area of address space.
  void need_jit_stack() {
    if (jit_stack) return;
    jit_stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (jit_stack) pcre2_jit_stack_assign(match, nullptr, jit_stack);
  }
  ~Contexts() {
    pcre2_jit_stack_free(jit_stack);
    pcre2_match_context_free(match);
    pcre2_compile_context_free(compile);
  }
};

Contexts& contexts() {
  thread_local Contexts c;
  return c;
}

PCRE2_SPTR units(std::u16string_view s) {
  static const char16_t kEmpty[1] = {0};
  return reinterpret_cast<PCRE2_SPTR>(s.data() ? s.data() : kEmpty);
}

static_assert(ReplacementTemplate::kUnset == PCRE2_UNSET, "unset offsets must agree");

// Compiled patterns of the thread by pattern and flags, shared by every Regex that uses one:
// the translator and scripts that make a RegExp in a loop compile (and JIT-compile) each
// pattern once. Bounded: past the limit, patterns are compiled for their Regex alone.
struct CompiledPattern {
  pcre2_code* code = nullptr;
  uint32_t groups = 0;
};

class PatternCache {
 public:
  static constexpr size_t kLimit = 256;
  ~PatternCache() {
    for (auto& [key, p] : map_) pcre2_code_free(p.code);
  }
  static std::u16string key(std::u16string_view pattern, bool multiline, bool ignore_case) {
    std::u16string k(pattern);
    k += static_cast<char16_t>(u'0' + (multiline ? 1 : 0) + (ignore_case ? 2 : 0));
    return k;
  }
  const CompiledPattern* find(const std::u16string& k) const {
    auto it = map_.find(k);
    return it == map_.end() ? nullptr : &it->second;
  }
  // True when the cache took the code (and frees it itself).
  bool keep(std::u16string k, CompiledPattern p) {
    if (map_.size() >= kLimit) return false;
    map_.emplace(std::move(k), p);
    return true;
  }

 private:
  std::unordered_map<std::u16string, CompiledPattern> map_;
};

PatternCache& pattern_cache() {
  thread_local PatternCache c;
  return c;
}

}  // namespace

struct Regex::Impl {
  std::u16string pattern;
  bool global = false, ignore_case = false, multiline = false;

  pcre2_code* code = nullptr;
  bool owns_code = false;   // false: the code belongs to the pattern cache
  pcre2_match_data* data = nullptr;
  uint32_t groups = 0;

  bool jit_tried = false;
  uint32_t searches = 0;

  ~Impl() { drop(); }

  // Machine code pays for its compile time only over much text: a pattern that searches a
  // short text a few times (most of the translator's) stays in the interpreter. The result
  // is the same either way. A shared code already compiled makes this a no-op.
  void maybe_jit(size_t text_size) {
    if (jit_tried) return;
    if (++searches < 8 && text_size < 4096) return;
    jit_tried = true;
    contexts().need_jit_stack();
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);  // falls back to the interpreter when unavailable
  }

  void drop() {
    pcre2_match_data_free(data);
    if (owns_code) pcre2_code_free(code);
    data = nullptr;
    code = nullptr;
    owns_code = false;
    jit_tried = false;
    searches = 0;
  }

  void compile() {
    if (code) return;
    std::u16string key = PatternCache::key(pattern, multiline, ignore_case);
    if (const CompiledPattern* cached = pattern_cache().find(key)) {
      code = cached->code;
      groups = cached->groups;
    } else {
      TranslatedPattern t = translate_pattern(pattern, {multiline, ignore_case});
      // An unset group (one that did not take part) matches the empty string when referred to.
      uint32_t options = PCRE2_NO_DOTSTAR_ANCHOR | PCRE2_MATCH_UNSET_BACKREF;
      if (ignore_case) options |= PCRE2_CASELESS | PCRE2_UCP;
      int err = 0;
      PCRE2_SIZE where = 0;
      code = pcre2_compile(units(t.pcre), t.pcre.size(), options, &err, &where, contexts().compile);
      if (!code) raise(kErrRegexSyntax, u"Syntax error in regular expression");
      groups = t.group_count;
      owns_code = !pattern_cache().keep(std::move(key), CompiledPattern{code, groups});
    }
    data = pcre2_match_data_create_from_pattern(code, nullptr);
    if (!data) {
      drop();
      raise(kErrOutOfMemory);
    }
  }

  // Searches from `start`; true with the offsets in `data` when found.
  bool search(std::u16string_view text, size_t start) {
    maybe_jit(text.size());
    int rc = pcre2_match(code, units(text), text.size(), start, 0, data, contexts().match);
    if (rc >= 0) return true;
    switch (rc) {
      case PCRE2_ERROR_NOMATCH: return false;
      case PCRE2_ERROR_NOMEMORY: raise(kErrOutOfMemory);
      default: raise(kErrOutOfStack);  // match, depth, heap or JIT stack limit
    }
  }

  const size_t* offsets() const { return pcre2_get_ovector_pointer(data); }
  uint32_t pairs() const { return groups + 1; }

  // Calls fn(offsets) for the first match, or for every match when global. After an empty
  // match the next search starts one code unit further on.
  template <class F>
  void each(std::u16string_view text, F&& fn) {
    compile();
    size_t pos = 0;
    while (pos <= text.size() && search(text, pos)) {
      const size_t* ov = offsets();
      fn(ov);
      if (!global) break;
      pos = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
    }
  }

  RegexMatch make_match(std::u16string_view text, const size_t* ov) const {
    RegexMatch m;
    m.index = ov[0];
    m.length = ov[1] - ov[0];
    m.value.assign(text.substr(ov[0], m.length));
    m.groups.resize(groups);
    for (uint32_t g = 0; g < groups; ++g) {
      size_t s = ov[2 * (g + 1)], e = ov[2 * (g + 1) + 1];
      if (s == PCRE2_UNSET) continue;
      m.groups[g].matched = true;
      m.groups[g].index = s;
      m.groups[g].value.assign(text.substr(s, e - s));
    }
    return m;
  }
};

Regex::Regex() : impl_(std::make_unique<Impl>()) {}
Regex::~Regex() = default;

void Regex::set_pattern(std::u16string_view pattern) {
  if (pattern == impl_->pattern) return;
  impl_->pattern.assign(pattern);
  impl_->drop();
}
void Regex::set_global(bool on) { impl_->global = on; }  // not part of the compiled code
void Regex::set_ignore_case(bool on) {
  if (on == impl_->ignore_case) return;
  impl_->ignore_case = on;
  impl_->drop();
}
void Regex::set_multiline(bool on) {
  if (on == impl_->multiline) return;
  impl_->multiline = on;
  impl_->drop();
}
const std::u16string& Regex::pattern() const { return impl_->pattern; }
bool Regex::global() const { return impl_->global; }
bool Regex::ignore_case() const { return impl_->ignore_case; }
bool Regex::multiline() const { return impl_->multiline; }

size_t Regex::group_count() {
  impl_->compile();
  return impl_->groups;
}

bool Regex::test(std::u16string_view text) {
  impl_->compile();
  return impl_->search(text, 0);
}

std::vector<RegexMatch> Regex::execute(std::u16string_view text) {
  std::vector<RegexMatch> out;
  impl_->each(text, [&](const size_t* ov) { out.push_back(impl_->make_match(text, ov)); });
  return out;
}

std::u16string Regex::replace(std::u16string_view text, std::u16string_view replacement) {
  impl_->compile();
  ReplacementTemplate tpl(replacement, impl_->groups);
  std::u16string out;
  size_t done = 0;
  impl_->each(text, [&](const size_t* ov) {
    out.append(text.substr(done, ov[0] - done));
    tpl.expand(out, text, ov, impl_->pairs());
    done = std::max(done, static_cast<size_t>(ov[1]));
  });
  out.append(text.substr(done));
  return out;
}

std::u16string Regex::replace(std::u16string_view text,
                              const std::function<std::u16string(const RegexMatch&)>& fn) {
  std::vector<RegexMatch> matches = execute(text);  // the function may reuse this object
  std::u16string out;
  size_t done = 0;
  for (const RegexMatch& m : matches) {
    out.append(text.substr(done, m.index - done));
    out.append(fn(m));
    done = m.index + m.length;
  }
  out.append(text.substr(done));
  return out;
}

}  // namespace qz
