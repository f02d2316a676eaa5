// Times the translator's kind of regular-expression work on a large script text.
//   bench_regexp TEXT_FILE WORKLOAD_TSV [REPEATS]
// For each workload line (name, execute|replace|test, flags, pattern, replacement) prints
// "name best_ms checksum"; bench_regexp.py prints the same for python3's re.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "com/str.h"
#include "script/regexp/regex.h"

namespace {

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(2);
  }
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> split(const std::string& line, char sep) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == sep) out.emplace_back();
    else out.back() += c;
  }
  return out;
}

uint64_t run(qz::Regex& rx, const std::string& kind, const std::u16string& text, const std::u16string& rep) {
  if (kind == "test") return rx.test(text) ? 1 : 0;
  if (kind == "replace") return rx.replace(text, rep).size();
  uint64_t sum = 0;
  for (const qz::RegexMatch& m : rx.execute(text)) {
    sum += 1 + m.length;
    for (const auto& g : m.groups) sum += g.value.size();
  }
  return sum;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_regexp TEXT_FILE WORKLOAD_TSV [REPEATS]\n");
    return 2;
  }
  const std::u16string text = qz::utf8_to_u16(read_file(argv[1]));
  const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
  std::istringstream workload(read_file(argv[2]));
  std::string line;
  double total = 0;
  while (std::getline(workload, line)) {
    if (line.empty() || line[0] == '#') continue;
    auto f = split(line, '\t');
    if (f.size() < 5) continue;
    qz::Regex rx;
    rx.set_pattern(qz::utf8_to_u16(f[3]));
    rx.set_global(f[2].find('g') != std::string::npos);
    rx.set_ignore_case(f[2].find('i') != std::string::npos);
    const std::u16string rep = qz::utf8_to_u16(f[4]);
    double best = 1e300;
    uint64_t check = 0;
    for (int r = 0; r < repeats; ++r) {
      auto start = std::chrono::steady_clock::now();
      check = run(rx, f[1], text, rep);
      best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    total += best;
    std::printf("%s %.3f %llu\n", f[0].c_str(), best, static_cast<unsigned long long>(check));
  }
  std::printf("total %.3f 0\n", total);
  return 0;
}
