// A TranslatorHost over files held in memory (names compared without regard to case and with
// either separator), with a fixed environment; it records what the translator shows and loads.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "engine/translator/translator.h"

namespace qz::test {

class MemoryHost : public TranslatorHost {
 public:
  void add_file(std::u16string_view path, std::string bytes);
  std::map<std::u16string, std::u16string> env;   // lower-case names

  std::optional<std::string> find_file(std::u16string_view script_path) override;
  std::optional<std::string> read_file(const std::string& os_path) override;
  std::optional<std::u16string> environment(std::u16string_view name) override;
  void show_message(const std::u16string& title, const std::u16string& text) override;
  void load(const LoadStep& step) override;

  std::vector<std::pair<std::u16string, std::u16string>> shown;  // title, text
  std::vector<LoadStep> loaded;
  int reads = 0;

 private:
  static std::string key(std::u16string_view path);
  std::map<std::string, std::string> files_;
};

}  // namespace qz::test
