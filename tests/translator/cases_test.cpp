// Every data/cases/NAME.qz is translated with fixed settings and a fresh engine state, and its
// rendering (render.h) must equal data/cases/NAME.expected. QZ_UPDATE_EXPECTED=1 rewrites the
// expected files instead (review the diff before committing it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "com/str.h"
#include "engine/translator/translator.h"
#include "tests/translator/render.h"

namespace qz::test {
namespace {

namespace fs = std::filesystem;

const std::string kData = TRANSLATOR_DATA_DIR "/";

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kData + "cases"))
    if (e.path().extension() == ".qz") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

TranslatorSettings case_settings() {
  TranslatorSettings s;
  s.language_id = 1033;
  s.script_folder = utf8_to_u16(kData + "cases/");
  s.engine_folder = utf8_to_u16(kData + "engine/");
  s.temp_folder = u"/tmp/";
  s.stdout_usable = true;
  s.dump_dir = "";
  return s;
}

class TranslatorCase : public ::testing::TestWithParam<std::string> {};

TEST_P(TranslatorCase, MatchesExpected) {
  const fs::path qz = kData + "cases/" + GetParam() + ".qz";
  const fs::path expected_path = kData + "cases/" + GetParam() + ".expected";
  TranslatorSettings settings = case_settings();
  TranslatorState state;
  state.develop_address_default = u"maintainers@example.org";
  state.develop_address = state.develop_address_default;
  TranslatorHost host;
  TranslationResult r = translate_script(slurp(qz), utf8_to_u16(qz.string()), settings, state, &host);
  std::string actual = render(r, settings, kData);
  if (const char* update = std::getenv("QZ_UPDATE_EXPECTED"); update && *update == '1') {
    std::ofstream(expected_path, std::ios::binary | std::ios::trunc) << actual;
    return;
  }
  ASSERT_TRUE(fs::exists(expected_path)) << "missing " << expected_path << "; actual:\n" << actual;
  EXPECT_EQ(slurp(expected_path), actual) << "script " << qz << "\n--- source ---\n" << slurp(qz);
}

INSTANTIATE_TEST_SUITE_P(Data, TranslatorCase, ::testing::ValuesIn(case_names()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });

}  // namespace
}  // namespace qz::test
