#include "tools/vbsrun/wscript_object.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "com/convert.h"
#include "com/error.h"
#include "platform/codepage.h"

namespace qz::vbsrun {

void write_out(std::u16string_view text, bool to_stderr) {
  std::string bytes = encode(output_code_page(), text);
  std::fwrite(bytes.data(), 1, bytes.size(), to_stderr ? stderr : stdout);
}

std::u16string echo_text(const Variant& v0) {
  const Variant& v = v0.deref();
  if (v.is(VT::Boolean)) return v.as_bool() ? u"-1" : u"0";
  if (v.is_null()) return u"null";
  if (v.is_empty()) return u"";
  return to_u16(v);
}

namespace {

class ArgumentsObject final : public NativeObject<ArgumentsObject> {
 public:
  explicit ArgumentsObject(std::vector<std::u16string> a) : args(std::move(a)) {}
  std::u16string type_name() const override { return u"Arguments"; }
  static void define(Members<ArgumentsObject>& m) {
    m.method(u"Item", [](ArgumentsObject& o, Args a) {
      if (a.size() != 1) raise(kErrArgCount);
      int32_t i = to_long(a[0]);
      if (i < 0 || static_cast<size_t>(i) >= o.args.size()) raise(kErrSubscript);
      return Variant(o.args[static_cast<size_t>(i)]);
    });
    m.default_member(u"Item");
    m.getter(u"Count", [](ArgumentsObject& o, Args) { return Variant(static_cast<int32_t>(o.args.size())); });
    m.getter(u"Length", [](ArgumentsObject& o, Args) { return Variant(static_cast<int32_t>(o.args.size())); });
  }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> items;
    for (auto& s : args) items.emplace_back(s);
    return Ref<Enumerator>(new VectorEnumerator(std::move(items)));
  }
  std::vector<std::u16string> args;
};

class TextStreamObject final : public NativeObject<TextStreamObject> {
 public:
  explicit TextStreamObject(bool err) : to_stderr(err) {}
  std::u16string type_name() const override { return u"TextStream"; }
  static void define(Members<TextStreamObject>& m) {
    m.method(u"Write", [](TextStreamObject& s, Args a) {
      write_out(to_u16(a[0]), s.to_stderr);
      return Variant();
    });
    m.method(u"WriteLine", [](TextStreamObject& s, Args a) {
      std::u16string t = a.size() > 0 ? to_u16(a[0]) : std::u16string();
      t += u"\n";
      write_out(t, s.to_stderr);
      return Variant();
    });
  }
  bool to_stderr;
};

class WScriptObject final : public NativeObject<WScriptObject> {
 public:
  WScriptObject(std::u16string path, std::vector<std::u16string> args)
      : path(std::move(path)), arguments(new ArgumentsObject(std::move(args))),
        out(new TextStreamObject(false)), err(new TextStreamObject(true)) {}
  std::u16string type_name() const override { return u"Object"; }
  static void define(Members<WScriptObject>& m) {
    m.method(u"Echo", [](WScriptObject&, Args a) {
      std::u16string line;
      for (size_t i = 0; i < a.size(); ++i) {
        if (i) line += u' ';
        if (!a[i].is_missing()) line += echo_text(a[i]);
      }
      line += u'\n';
      write_out(line);
      return Variant();
    });
    m.getter(u"Arguments", [](WScriptObject& w, Args) { return Variant(w.arguments); });
    m.getter(u"StdOut", [](WScriptObject& w, Args) { return Variant(w.out); });
    m.getter(u"StdErr", [](WScriptObject& w, Args) { return Variant(w.err); });
    m.getter(u"ScriptFullName", [](WScriptObject& w, Args) { return Variant(w.path); });
    m.getter(u"ScriptName", [](WScriptObject& w, Args) {
      size_t p = w.path.find_last_of(u"/\\");
      return Variant(p == std::u16string::npos ? w.path : w.path.substr(p + 1));
    });
    m.method(u"Sleep", [](WScriptObject&, Args a) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::max(0, to_long(a[0]))));
      return Variant();
    });
    m.method(u"Quit", [](WScriptObject&, Args a) -> Variant {
      std::fflush(stdout);
      std::fflush(stderr);
      std::_Exit(a.has(0) ? to_long(a[0]) : 0);
    });
  }
  std::u16string path;
  Ref<Object> arguments;
  Ref<Object> out;
  Ref<Object> err;
};

}  // namespace

Ref<Object> new_wscript_object(std::u16string script_path, std::vector<std::u16string> args) {
  return Ref<Object>(new WScriptObject(std::move(script_path), std::move(args)));
}

}  // namespace qz::vbsrun
