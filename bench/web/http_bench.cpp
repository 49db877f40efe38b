// HttpRequest against a plain libcurl transfer of the same bodies from a loopback server, as
// ratios measured in one run:
//  - a 64 MiB body: HttpRequest throughput at least 70% of libcurl into memory;
//  - a 128 MiB body takes at most 2.2 times as long as a 64 MiB body;
//  - peak resident memory of the transfer at most 3 times the body size (each measured in a
//    child process of its own, from the resident size just before the call to the peak);
//  - 200 sequential requests for a 60 KB GBK page: at most 1.3 times libcurl with a fresh
//    handle per request.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/inet/curl_handles.h"
#include "tests/support/http_test_server.h"
#include "web/http_request.h"

extern char** environ;

namespace {

using testsupport::Connection;
using testsupport::ReceivedRequest;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr int kPageRequests = 200;

// A GBK listing page of about 60 KB (this file's narrow literals are GBK).
std::string GbkPage() {
  std::string page =
      "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">"
      "<title>最新电影</title></head><body><ul>\n";
  for (int i = 0; page.size() < 60 * 1000; ++i) {
    page += "<li><a href=\"/film/" + std::to_string(10000 + i) + ".htm\" title=\"电影标题 第" +
            std::to_string(i) + "集\">电影标题 第" + std::to_string(i) +
            "集 高清下载</a><span>2024-01-01</span></li>\n";
  }
  return page + "</ul></body></html>";
}

// Serves "/body/<bytes>" (a pattern without zero bytes, streamed) and "/page" (the GBK page).
void Serve(const ReceivedRequest& request, Connection& connection) {
  static const std::string page = GbkPage();
  const std::string line = request.RequestLine();
  if (line.starts_with("GET /page ")) {
    connection.Send(testsupport::HttpResponse("200 OK", "Content-Type: text/html\r\n", page));
    return;
  }
  const std::size_t size = std::strtoull(line.c_str() + line.find("/body/") + 6, nullptr, 10);
  connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  std::to_string(size) + "\r\nConnection: close\r\n\r\n");
  std::string block(256 * 1024, 'x');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + i % 26);
  for (std::size_t sent = 0; sent < size; sent += block.size()) {
    if (!connection.Send(std::string_view(block).substr(0, std::min(block.size(), size - sent)))) return;
  }
}

std::size_t AppendToString(char* bytes, std::size_t size, std::size_t count, void* out) {
  static_cast<std::string*>(out)->append(bytes, size * count);
  return size * count;
}

// The baseline: a fresh easy handle, default settings, the body appended to a string.
std::string PlainCurl(const std::string& url) {
  std::string body;
  inet::CurlEasy easy(curl_easy_init());
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, AppendToString);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  curl_easy_perform(easy.get());
  return body;
}

std::string Fetch(bool viaHttpRequest, const std::string& url) {
  return viaHttpRequest ? HttpRequest(url) : PlainCurl(url);
}

std::string gBaseUrl;

void BodyBenchmark(benchmark::State& state, bool viaHttpRequest, std::size_t size) {
  const std::string url = gBaseUrl + "/body/" + std::to_string(size);
  for (auto _ : state) {
    const std::string body = Fetch(viaHttpRequest, url);
    if (body.size() != size) state.SkipWithError("short body");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void PageBenchmark(benchmark::State& state, bool viaHttpRequest) {
  const std::string url = gBaseUrl + "/page";
  for (auto _ : state) {
    for (int i = 0; i < kPageRequests; ++i) {
      if (Fetch(viaHttpRequest, url).size() < 60 * 1000) state.SkipWithError("short page");
    }
  }
}

// Keeps the median wall time of each benchmark for the ratios.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medianSeconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e9;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medianSeconds;
};

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}

// In a child process: one warm-up request, the peak reset, then one transfer of `size` bytes.
// Prints the resident size before the transfer and the peak during it, in KiB.
int ChildMain(bool viaHttpRequest, const std::string& base, std::size_t size) {
  Fetch(viaHttpRequest, base + "/body/1000");
  std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current resident size
  const long before = StatusKb("VmRSS:");
  const std::size_t got = Fetch(viaHttpRequest, base + "/body/" + std::to_string(size)).size();
  std::printf("%ld %ld %zu\n", before, StatusKb("VmHWM:"), got);
  return got == size ? 0 : 1;
}

struct Peak {
  double ratio = 0;  // (peak - before) / body size
  long beforeKb = 0;
  long peakKb = 0;
};

Peak MeasurePeak(bool viaHttpRequest, std::size_t size) {
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string sizeText = std::to_string(size);
  std::string mode = viaHttpRequest ? "http" : "curl";
  std::vector<char*> args = {const_cast<char*>("http_bench"),
                             const_cast<char*>("--child"),
                             mode.data(),
                             gBaseUrl.data(),
                             sizeText.data(),
                             nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  Peak peak;
  if (spawned == 0) {
    char buffer[256] = {};
    const ssize_t n = read(out[0], buffer, sizeof buffer - 1);
    std::size_t got = 0;
    if (n > 0) std::sscanf(buffer, "%ld %ld %zu", &peak.beforeKb, &peak.peakKb, &got);
    int status = 0;
    waitpid(child, &status, 0);
    if (got == size)
      peak.ratio = static_cast<double>(peak.peakKb - peak.beforeKb) * 1024.0 / static_cast<double>(size);
  }
  close(out[0]);
  return peak;
}

bool Check(const char* what, double value, const char* relation, double limit, bool atMost) {
  const bool ok = atMost ? value <= limit : value >= limit;
  std::printf("  %-58s %7.3f  (%s %.2f)  %s\n", what, value, relation, limit, ok ? "ok" : "FAILED");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  if (argc == 5 && std::strcmp(argv[1], "--child") == 0) {
    return ChildMain(std::strcmp(argv[2], "http") == 0, argv[3], std::strtoull(argv[4], nullptr, 10));
  }
  testsupport::TestHttpServer server(Serve);
  gBaseUrl = server.Url("");

  struct Entry {
    const char* name;
    bool viaHttpRequest;
    std::size_t size;  // 0: the page benchmark
  };
  const Entry entries[] = {
      {"PlainCurl_64MiB", false, 64 * kMiB},    {"HttpRequest_64MiB", true, 64 * kMiB},
      {"HttpRequest_128MiB", true, 128 * kMiB}, {"PlainCurlFreshHandle_200GbkPages", false, 0},
      {"HttpRequest_200GbkPages", true, 0},
  };
  for (const Entry& e : entries) {
    benchmark::internal::Benchmark* b =
        e.size > 0 ? benchmark::RegisterBenchmark(e.name, BodyBenchmark, e.viaHttpRequest, e.size)
                   : benchmark::RegisterBenchmark(e.name, PageBenchmark, e.viaHttpRequest);
    b->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  MedianCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  auto median = [&](const char* name) { return collector.medianSeconds[name]; };
  const Peak peak64 = MeasurePeak(true, 64 * kMiB);
  const Peak peak128 = MeasurePeak(true, 128 * kMiB);
  const Peak curlPeak64 = MeasurePeak(false, 64 * kMiB);

  std::printf("\nRatios (medians of 5 repetitions, wall time):\n");
  bool ok = true;
  ok &= Check("64 MiB: HttpRequest throughput / plain libcurl",
              median("PlainCurl_64MiB") / median("HttpRequest_64MiB"), ">=", 0.70, false);
  ok &= Check("HttpRequest: time of 128 MiB / time of 64 MiB",
              median("HttpRequest_128MiB") / median("HttpRequest_64MiB"), "<=", 2.2, true);
  ok &=
      Check("200 GBK pages: HttpRequest time / libcurl, fresh handles",
            median("HttpRequest_200GbkPages") / median("PlainCurlFreshHandle_200GbkPages"), "<=", 1.3, true);
  ok &= Check("HttpRequest 64 MiB: peak resident growth / body size", peak64.ratio, "<=", 3.0, true);
  ok &= Check("HttpRequest 128 MiB: peak resident growth / body size", peak128.ratio, "<=", 3.0, true);
  std::printf("  (plain libcurl 64 MiB: peak resident growth / body size %.3f, for comparison)\n",
              curlPeak64.ratio);
  std::printf("  (resident KiB before -> peak: 64 MiB %ld -> %ld, 128 MiB %ld -> %ld)\n", peak64.beforeKb,
              peak64.peakKb, peak128.beforeKb, peak128.peakKb);
  std::printf("%s\n", ok ? "All ratios hold." : "Some ratios do not hold.");
  benchmark::Shutdown();
  return ok ? 0 : 1;
}
