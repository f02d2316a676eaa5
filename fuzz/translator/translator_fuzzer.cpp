// The translator over untrusted bytes. The input is a script; when it holds two zero bytes in a
// row, what follows them is one more file that every #Include and #Lib finds, so includes,
// include cycles and libraries are reached too. Nothing may crash, hang or grow without bound.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/translator/translator.h"

namespace {

class OneFileHost : public qz::TranslatorHost {
 public:
  explicit OneFileHost(std::string_view file) : file_(file) {}
  std::optional<std::string> find_file(std::u16string_view path) override {
    if (file_.empty() || path.empty()) return std::nullopt;
    return std::string(path.size() % 2 ? "/fuzz/a.qz" : "/fuzz/b.qz");
  }
  std::optional<std::string> read_file(const std::string&) override { return std::string(file_); }
  std::optional<std::u16string> environment(std::u16string_view name) override {
    if (name == u"fuzz") return std::u16string(u"/fuzz");
    return std::nullopt;
  }

 private:
  std::string_view file_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find(std::string_view("\0\0", 2));
  std::string_view script = input.substr(0, split);
  std::string_view file = split == std::string_view::npos ? std::string_view() : input.substr(split + 2);
  OneFileHost host(file);
  qz::TranslatorSettings settings;
  settings.script_folder = u"/fuzz/";
  settings.engine_folder = u"/engine/";
  qz::TranslatorState state;
  qz::translate_script(script, u"/fuzz/main.qz", settings, state, &host);
  // A later translation in the same engine life (sys.AddQZ) sees the state the first one left.
  qz::translate_script(file, u"/fuzz/added.qz", settings, state, &host);
  return 0;
}
