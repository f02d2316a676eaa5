#include "tests/translator/memory_host.h"

#include "com/str.h"

namespace qz::test {

std::string MemoryHost::key(std::u16string_view path) {
  std::u16string k = lower(path);
  for (auto& c : k)
    if (c == u'\\') c = u'/';
  return u16_to_utf8(k);
}

void MemoryHost::add_file(std::u16string_view path, std::string bytes) { files_[key(path)] = std::move(bytes); }

std::optional<std::string> MemoryHost::find_file(std::u16string_view script_path) {
  std::string k = key(script_path);
  if (files_.count(k)) return k;
  return std::nullopt;
}

std::optional<std::string> MemoryHost::read_file(const std::string& os_path) {
  ++reads;
  auto it = files_.find(os_path);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::u16string> MemoryHost::environment(std::u16string_view name) {
  auto it = env.find(lower(name));
  if (it == env.end()) return std::nullopt;
  return it->second;
}

void MemoryHost::show_message(const std::u16string& title, const std::u16string& text) { shown.emplace_back(title, text); }

void MemoryHost::load(const LoadStep& step) { loaded.push_back(step); }

}  // namespace qz::test
