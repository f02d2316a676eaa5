// Arbitrary bytes as VBScript source: compiled and run under a short Timeout and small
// limits. Any outcome but a clean result or a ScriptError is a bug.
//
// Each input runs twice, once on the syntax tree alone and once with procedures compiled to
// instruction lists; where nothing depends on the clock, both runs must end the same way
// (error number, line and text) and leave the same module variables. A third run shares the
// middle lines of the input as code many texts hold (compiled apart and reused after a Reset):
// it must end as the compiled run does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "com/convert.h"
#include "com/str.h"
#include "script/ast.h"
#include "script/engine.h"
#include "script/script_control.h"

namespace {

struct Outcome {
  bool failed = false;
  int32_t number = 0;
  int line = 0;
  std::u16string description;
  std::map<std::u16string, std::u16string> globals;   // name -> type and text
};

std::u16string describe(const qz::Variant& value) {
  const qz::Variant& v = value.deref();
  std::u16string r = qz::u16(std::to_string(static_cast<int>(v.type())).c_str()) + u":";
  switch (v.type()) {
    case qz::VT::Object: case qz::VT::Array: case qz::VT::Error: return r;
    default: break;
  }
  try {
    r += qz::to_str(v).u16();
  } catch (...) {
  }
  return r;
}

// A short Timeout and small limits, for every run of an input: arbitrary code must not run
// long or take much memory.
void limit(qz::ScriptControl& control, bool compiled) {
  control.set_timeout(50);
  control.set_allow_ui(false);
  control.impl().max_array_elements = size_t{1} << 16;
  control.impl().max_depth = 200;
  control.impl().compile_code = compiled;
  qz::Str::set_max_bytes(size_t{1} << 22);   // a string doubled in a loop ends at 4 MB
}

Outcome run(const std::u16string& source, bool compiled, const std::u16string& shared = {}) {
  Outcome out;
  qz::Ref<qz::ScriptControl> control(new qz::ScriptControl());
  if (!shared.empty()) {
    // The first run compiles the shared lines; the one below, after a Reset, reuses them.
    control->share_code({shared});
    limit(*control, compiled);
    try {
      control->add_code(source);
    } catch (const qz::ScriptError&) {
    }
    control->reset();
  }
  limit(*control, compiled);
  try {
    control->add_code(source);
    if (control->module(1)->has_procedure(u"Main")) control->run(u"Main", {});
  } catch (const qz::ScriptError& e) {
    out.failed = true;
    out.number = e.number;
    out.line = e.line;
    out.description = e.description;
  }
  for (const auto& [key, binding] : control->impl().module_scope(0)->names)
    if (binding->kind == qz::vbs::Binding::Var) out.globals[key] = describe(binding->value);
  control->reset();
  return out;
}

// Outcomes that depend on time (the clock, random numbers, the time limit) cannot be compared.
bool depends_on_time(const std::u16string& source, const Outcome& a, const Outcome& b) {
  if ((a.failed && a.number == qz::vbs::kErrTimeout) || (b.failed && b.number == qz::vbs::kErrTimeout)) return true;
  std::u16string folded = qz::lower(source);
  for (const char16_t* word : {u"rnd", u"random", u"now", u"time", u"date", u"year", u"month", u"day",
                               u"hour", u"minute", u"second", u"weekday"})
    if (folded.find(word) != std::u16string::npos) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::u16string source;
  source.reserve(size);
  for (size_t i = 0; i < size; ++i) source.push_back(static_cast<char16_t>(data[i]));
  Outcome tree = run(source, false);
  Outcome compiled = run(source, true);
  if (depends_on_time(source, tree, compiled)) return 0;
  // The middle third of the lines, each with its line break.
  std::vector<size_t> starts{0};
  for (size_t i = 0; i < source.size(); ++i)
    if (source[i] == u'\n' || (source[i] == u'\r' && (i + 1 >= source.size() || source[i + 1] != u'\n')))
      starts.push_back(i + 1);
  if (starts.size() >= 4) {
    size_t n = starts.size() - 1;   // lines ending with a break
    std::u16string middle = source.substr(starts[n / 3], starts[2 * n / 3] - starts[n / 3]);
    Outcome shared = run(source, true, middle);
    if (!depends_on_time(source, compiled, shared) &&
        (shared.failed != compiled.failed || shared.number != compiled.number || shared.line != compiled.line ||
         shared.description != compiled.description || shared.globals != compiled.globals)) {
      std::fprintf(stderr, "shared code ends otherwise than the whole text: error %d line %d / error %d line %d\n",
                   compiled.number, compiled.line, shared.number, shared.line);
      std::abort();
    }
  }
  if (tree.failed != compiled.failed || tree.number != compiled.number || tree.line != compiled.line ||
      tree.description != compiled.description || tree.globals != compiled.globals) {
    std::fprintf(stderr, "compiled code ends otherwise than the tree: error %d line %d / error %d line %d\n",
                 tree.number, tree.line, compiled.number, compiled.line);
    for (const auto& [k, v] : tree.globals) {
      auto it = compiled.globals.find(k);
      if (it == compiled.globals.end() || it->second != v)
        std::fprintf(stderr, "  %s: %s / %s\n", qz::Str(k).utf8().c_str(), qz::Str(v).utf8().c_str(),
                     it == compiled.globals.end() ? "(none)" : qz::Str(it->second).utf8().c_str());
    }
    std::abort();
  }
  return 0;
}
