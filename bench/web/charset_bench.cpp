// ConvertCharset on a 4 MiB UTF-8 Chinese listing page against the same two ICU conversions
// done directly (UTF-8 to UTF-16, UTF-16 to code page 936), measured in the same run.
#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <map>
#include <string>

#include "web/charset.h"

namespace {

const ByteSet& Page() {
  static const ByteSet page = [] {
    std::u8string html = u8"<html><head><meta charset=\"utf-8\"><title>最新电影</title></head><ul>\n";
    constexpr size_t kSize = 4u << 20;
    for (int i = 0; html.size() < kSize; ++i) {
      std::u8string n(reinterpret_cast<const char8_t*>(std::to_string(10000 + i).c_str()));
      html += u8"<li><a href=\"/bd/" + n + u8".html\" title=\"2023年剧情片《流浪地球" + n +
              u8"》BD国语中字\">流浪地球" + n + u8" 高清下载</a><span>2023-05-01</span></li>\n";
    }
    html.resize(kSize - 6);
    html += u8"</ul>\n";
    return ByteSet(html.begin(), html.end());
  }();
  return page;
}

void BM_ConvertCharset(benchmark::State& state) {
  const ByteSet& page = Page();
  for (auto _ : state) {
    ByteSet gbk = ConvertCharset(page);
    benchmark::DoNotOptimize(gbk.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_DirectIcu(benchmark::State& state) {
  const ByteSet& page = Page();
  UErrorCode error = U_ZERO_ERROR;
  icu::LocalUConverterPointer utf8(ucnv_open("UTF-8", &error));
  icu::LocalUConverterPointer gbk(ucnv_open("windows-936-2000", &error));
  if (U_FAILURE(error)) {
    state.SkipWithError("ICU converters missing");
    return;
  }
  ucnv_setFallback(gbk.getAlias(), true);
  std::u16string unicode(page.size(), u'\0');
  std::string out(page.size() * 2, '\0');
  for (auto _ : state) {
    error = U_ZERO_ERROR;
    int32_t units =
        ucnv_toUChars(utf8.getAlias(), unicode.data(), static_cast<int32_t>(unicode.size()),
                      reinterpret_cast<const char*>(page.data()), static_cast<int32_t>(page.size()), &error);
    int32_t bytes = ucnv_fromUChars(gbk.getAlias(), out.data(), static_cast<int32_t>(out.size()),
                                    unicode.data(), units, &error);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

BENCHMARK(BM_ConvertCharset)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectIcu)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's CPU time per iteration for the ratio (CPU time, as
// other processes on a shared machine stretch the wall-clock time of either side unevenly).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        seconds[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    }
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ours = reporter.seconds.find("BM_ConvertCharset");
  auto direct = reporter.seconds.find("BM_DirectIcu");
  if (ours != reporter.seconds.end() && direct != reporter.seconds.end()) {
    double ratio = direct->second / ours->second;
    std::printf(
        "\nConvertCharset throughput / direct ICU (UTF-8 -> UTF-16 -> windows-936): "
        "%.0f%% (required: at least 50%%) %s\n",
        ratio * 100.0, ratio >= 0.5 ? "OK" : "BELOW TARGET");
  }
  benchmark::Shutdown();
  return 0;
}
