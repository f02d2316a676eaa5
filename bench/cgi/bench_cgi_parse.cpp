// Request parsing on large inputs: a multipart upload of random bytes (the delimiter search
// dominates), the same body turned into the script's entries, and a large url-encoded form.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "host/cgi/multipart.h"
#include "host/cgi/request_input.h"
#include "host/cgi/url_encoded.h"

namespace {

std::string upload_body(size_t file_bytes) {
  std::mt19937 rng(7);
  std::string file(file_bytes, '\0');
  for (char& c : file) c = static_cast<char>(rng());
  return "--------------------------d74496d66958873e\r\n"
         "Content-Disposition: form-data; name=\"f\"; filename=\"random.bin\"\r\n"
         "Content-Type: application/octet-stream\r\n\r\n" + file +
         "\r\n--------------------------d74496d66958873e\r\n"
         "Content-Disposition: form-data; name=\"note\"\r\n\r\nhello\r\n"
         "--------------------------d74496d66958873e--\r\n";
}

void MultipartParse(benchmark::State& state) {
  std::string body = upload_body(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    qz::cgi::MultipartForm form = qz::cgi::parse_multipart(body, "------------------------d74496d66958873e");
    benchmark::DoNotOptimize(form.parts.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}
BENCHMARK(MultipartParse)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void MultipartRequestEntries(benchmark::State& state) {
  std::string body = upload_body(static_cast<size_t>(state.range(0)));
  const std::vector<std::u16string> env = {
      u"REQUEST_METHOD=POST", u"CONTENT_TYPE=multipart/form-data; boundary=------------------------d74496d66958873e"};
  for (auto _ : state) {
    qz::cgi::RequestInput in = qz::cgi::interpret_request(env, body, 1252);
    benchmark::DoNotOptimize(in.files.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}
BENCHMARK(MultipartRequestEntries)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void UrlEncodedForm(benchmark::State& state) {
  std::u16string form;
  for (int i = 0; i < state.range(0); ++i) {
    std::string pair = "field" + std::to_string(i) + "=some+value+%D0%90%2B" + std::to_string(i) + "&";
    form.append(pair.begin(), pair.end());
  }
  for (auto _ : state) {
    std::vector<std::u16string> pairs = qz::cgi::split_form_pairs(form, 1252);
    benchmark::DoNotOptimize(pairs.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * form.size() * 2));
}
BENCHMARK(UrlEncodedForm)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
