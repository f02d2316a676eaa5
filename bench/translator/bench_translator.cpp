// Times the translation of generated programs (script_generator.h) of growing size, with and
// without Russian keywords, so both the figure for 1 MB and the growth with size show.
//   bench_translator [REPEATS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bench/translator/script_generator.h"
#include "com/str.h"
#include "engine/translator/translator.h"

namespace {

using Clock = std::chrono::steady_clock;

double run_ms(const std::string& bytes, const std::u16string& path, const qz::TranslatorSettings& settings,
              size_t& steps, size_t& messages) {
  qz::TranslatorState state;
  auto start = Clock::now();
  qz::TranslationResult r = qz::translate_script(bytes, path, settings, state);
  double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  steps = r.steps.size();
  messages = r.messages.size();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  int repeats = argc > 1 ? std::atoi(argv[1]) : 5;
  if (repeats < 1) repeats = 1;
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qz-bench-translator-" + std::to_string(::getpid()));
  std::printf("%-10s %-8s %10s %10s %10s %8s\n", "size", "russian", "best ms", "mean ms", "MB/s", "modules");
  int status = 0;
  for (bool russian : {false, true}) {
    for (size_t kb : {256, 512, 1024, 2048}) {
      std::filesystem::remove_all(dir);
      std::filesystem::create_directories(dir);
      qz::bench::GeneratedScript g = qz::bench::generate_script(dir.string(), kb * 1024, russian);
      std::ifstream in(g.main_path, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      qz::TranslatorSettings settings;
      settings.script_folder = qz::utf8_to_u16(dir.string() + "/");
      settings.stdout_usable = true;
      double best = 1e300, sum = 0;
      size_t steps = 0, messages = 0;
      for (int i = 0; i < repeats; ++i) {
        double ms = run_ms(bytes, qz::utf8_to_u16(g.main_path), settings, steps, messages);
        best = std::min(best, ms);
        sum += ms;
      }
      std::printf("%7zu KB %-8s %10.1f %10.1f %10.1f %8zu\n", g.total_bytes / 1024, russian ? "yes" : "no", best,
                  sum / repeats, g.total_bytes / 1048576.0 / (best / 1000.0), steps);
      if (messages != 0) {
        std::fprintf(stderr, "bench_translator: %zu messages (a generated file was not found)\n", messages);
        status = 1;
      }
    }
  }
  std::filesystem::remove_all(dir);
  return status;
}
