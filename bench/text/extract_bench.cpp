// ExtractAllBetween on a catalogue listing page, against a glibc memmem scan of the same buffer
// for the same left marker, measured in the same run. Prints the throughput ratios at the end:
// extract/memmem should be at least 1, and doubling the input should at most double the time.
// With --sse2 the search uses the 16-byte filter that processors without AVX2 get.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "text/extract.h"
#include "text/find_marker.h"
#include "text/text.h"

namespace {

// The three fields the category loader cuts from a listing page, with its markers.
struct Field {
  const char* name;
  std::string_view left;
  std::string_view right;
};

const Field kFields[] = {
    {"title", ".gif'\" alt=\"", "\""},
    {"date", "</p>\r\n              <P>时间：", "</p>\r\n            </div>\r\n          </li>\r"},
    {"address", "            <div class=\"listimg\"> <a href=\"", "\" target=\"_blank\"><img src=\""},
};

constexpr std::size_t kMiB = 1024 * 1024;

const char* const kTitleHeads[] = {"雾港追凶", "长河落日", "星海回声", "南城旧事",  "冰原孤狼",
                                   "夜行列车", "风起云州", "深海迷踪", "铁骨丹心",  "月下归人",
                                   "天穹之翼", "江湖笑",   "北境守望", "时间的褶皱"};
const char* const kTitleTails[] = {" BD国语中字", " BD中英双字", " HD韩语中字",
                                   " BD1080P",    " 3D左右格式", " 超清国粤双语"};
const char* const kGenres[] = {"悬疑 / 犯罪", "剧情 / 爱情", "动作 / 冒险", "科幻 / 灾难", "喜剧 / 家庭"};
const char* const kRegions[] = {"大陆", "香港", "美国", "韩国", "日本"};
const char* const kActors[] = {"林远舟 苏晓棠 顾北辰", "陈墨 许知夏", "周砚白 江若溪 唐一鸣", "沈青禾 陆离",
                               "韩霜 白景行 叶南星"};

std::string Item(int n) {
  const std::string title = std::string(kTitleHeads[n % 14]) + kTitleTails[n % 6];
  const std::string day = "2024-0" + std::to_string(1 + n % 9) + "-" + std::to_string(10 + n % 19);
  const std::string link =
      "/bd/2024" + std::to_string(1000 + n * 37) + "/" + std::to_string(4800 + n) + ".html";
  std::string s;
  s += "          <li>\r\n";
  s += "            <div class=\"listimg\"> <a href=\"" + link + "\" target=\"_blank\"><img src=\"";
  s +=
      "/uploads/allimg/c24" + std::to_string(100 + n) + "/1-24" + std::to_string(3100 + n) + ".gif'\" alt=\"";
  s += title + "\" width=\"120\" height=\"160\" /></a></div>\r\n";
  s += "            <div class=\"listInfo\">\r\n";
  s += "              <h3><a href=\"" + link + "\" target=\"_blank\">" + title + "</a></h3>\r\n";
  s += "              <p>类型：" + std::string(kGenres[n % 5]) + "　地区：" + kRegions[n % 5] + "</p>\r\n";
  s += "              <p>主演：" + std::string(kActors[n % 5]) + "</p>\r\n";
  s += "              <p>简介：一场突如其来的风暴打乱了小城的平静，失踪多年的旧友带着一张泛黄的地图归来，"
       "所有人都卷入了一段尘封的往事。导演以冷静克制的镜头讲述了关于选择、代价与和解的故事。</p>\r\n";
  s += "              <P>时间：" + day + "</p>\r\n";
  s += "            </div>\r\n";
  s += "          </li>\r\n";
  return s;
}

// A listing page as the catalogue site serves it: GBK, CRLF lines, head, menus, 25 films,
// page links and footer.
std::string ListingPage() {
  std::string s;
  s += "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n";
  s += "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n<head>\r\n";
  s += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />\r\n";
  s += "<title>BD高清_最新高清电影下载_第1页</title>\r\n";
  s += "<meta name=\"keywords\" content=\"BD高清,高清电影,电影下载,迅雷下载\" />\r\n";
  s += "<meta name=\"description\" content=\"提供最新BD高清电影的迅雷下载，每日更新。\" />\r\n";
  s += "<link href=\"/templets/css/style.css\" rel=\"stylesheet\" type=\"text/css\" />\r\n";
  s += "<script type=\"text/javascript\" src=\"/templets/js/jquery.min.js\"></script>\r\n";
  s += "<script type=\"text/javascript\">\r\nvar _hmt = _hmt || [];\r\n(function() {\r\n"
       "  var hm = document.createElement(\"script\");\r\n  hm.src = \"/stat/hm.js?8c1f\";\r\n"
       "  var s = document.getElementsByTagName(\"script\")[0];\r\n"
       "  s.parentNode.insertBefore(hm, s);\r\n})();\r\n</script>\r\n";
  s += "</head>\r\n<body>\r\n<div class=\"header\">\r\n  <div class=\"logo\"><a href=\"/\">"
       "<img src=\"/templets/images/logo.gif\" alt=\"电影天空\" /></a></div>\r\n";
  s += "  <div class=\"nav\">\r\n    <ul>\r\n";
  const char* const menus[] = {"首页",   "BD高清", "3D电影专区", "最新热门电影", "国产剧",
                               "港台剧", "欧美剧", "日韩剧",     "综艺",         "动漫"};
  for (int i = 0; i < 10; ++i) {
    s += "      <li><a href=\"/list" + std::to_string(i) + "/\">" + menus[i] + "</a></li>\r\n";
  }
  s += "    </ul>\r\n  </div>\r\n</div>\r\n";
  s +=
      "<div class=\"main\">\r\n  <div class=\"place\">当前位置：<a href=\"/\">首页</a> &gt; BD高清</div>\r\n";
  s += "  <div class=\"list\">\r\n        <ul>\r\n";
  for (int n = 0; n < 25; ++n) s += Item(n);
  s += "        </ul>\r\n  </div>\r\n  <div class=\"pages\">\r\n";
  s += "    <a href=\"/bd/\">首页</a> <a href=\"/bd/\">上一页</a> <span>1</span>";
  for (int i = 2; i <= 10; ++i)
    s += " <a href=\"/bd/index_" + std::to_string(i) + ".htm\">" + std::to_string(i) + "</a>";
  s += " <a href=\"/bd/index_2.htm\">下一页</a>\r\n  </div>\r\n</div>\r\n";
  s += "<div class=\"footer\">\r\n  "
       "<p>本站所有资源均来自互联网，仅供学习交流，请于下载后二十四小时内删除。</p>\r\n"
       "  <p>Copyright &copy; 2024 电影天空 All Rights Reserved</p>\r\n</div>\r\n</body>\r\n</html>\r\n";
  return s;
}

std::string Repeated(const std::string& page, std::size_t size) {
  std::string s;
  s.reserve(size + page.size());
  while (s.size() < size) s += page;
  s.resize(size);
  return s;
}

const std::string& Buffer(std::size_t size) {
  static const std::string page = ListingPage();
  static const std::string sixteen = Repeated(page, 16 * kMiB);
  static const std::string thirtyTwo = sixteen + sixteen;
  if (size == 16 * kMiB) return sixteen;
  if (size == 32 * kMiB) return thirtyTwo;
  return page;
}

void MemmemScan(benchmark::State& state, const Field& field, std::size_t size) {
  const std::string& text = Buffer(size);
  for (auto _ : state) {
    int count = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (const void* hit =
               memmem(at, static_cast<std::size_t>(end - at), field.left.data(), field.left.size())) {
      ++count;
      at = static_cast<const char*>(hit) + field.left.size();
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void Extract(benchmark::State& state, const Field& field, std::size_t size) {
  const std::string& text = Buffer(size);
  TextArray found;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractAllBetween(text, field.left, field.right, found));
  }
  state.counters["found"] = static_cast<double>(found.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// Medians of a few short repetitions hold better than one long mean on a shared machine.
void Repeat(benchmark::internal::Benchmark* b) {
  b->Repetitions(5)->ReportAggregatesOnly(true)->MinTime(0.1)->Unit(benchmark::kMicrosecond);
}

std::string SizeName(std::size_t size) {
  return size == 0 ? "page" : std::to_string(size / kMiB) + "MiB";
}

// Keeps the median CPU time of every benchmark while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) const {
    const auto it = medians_.find(name);
    return it == medians_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--sse2") {
      SetMarkerScanLevel(MarkerScanLevel::kSse2);
    } else {
      args.push_back(argv[i]);
    }
  }
  argc = static_cast<int>(args.size());
  argv = args.data();

  const std::size_t sizes[] = {0, 16 * kMiB};
  for (const Field& field : kFields) {
    for (const std::size_t size : sizes) {
      const std::string suffix = std::string(field.name) + "/" + SizeName(size);
      Repeat(benchmark::RegisterBenchmark(("memmem/" + suffix).c_str(), MemmemScan, field, size));
      Repeat(benchmark::RegisterBenchmark(("extract/" + suffix).c_str(), Extract, field, size));
    }
    Repeat(benchmark::RegisterBenchmark(("extract/" + std::string(field.name) + "/32MiB").c_str(), Extract,
                                        field, 32 * kMiB));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nListing page: %zu bytes\n", Buffer(0).size());
  for (const Field& field : kFields) {
    for (const std::size_t size : sizes) {
      const std::string suffix = std::string(field.name) + "/" + SizeName(size);
      const double memmem = reporter.Median("memmem/" + suffix);
      const double extract = reporter.Median("extract/" + suffix);
      if (memmem > 0 && extract > 0) {
        std::printf("ratio extract/memmem (%s, %s): %.2f\n", field.name, SizeName(size).c_str(),
                    memmem / extract);
      }
    }
  }
  for (const Field& field : kFields) {
    const double t16 = reporter.Median("extract/" + std::string(field.name) + "/16MiB");
    const double t32 = reporter.Median("extract/" + std::string(field.name) + "/32MiB");
    if (t16 > 0 && t32 > 0) std::printf("time 32MiB/16MiB (%s): %.2f\n", field.name, t32 / t16);
  }
  benchmark::Shutdown();
  return 0;
}
