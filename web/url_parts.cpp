#include "web/url_parts.h"

#include "text/extract.h"
#include "text/text_ops.h"

namespace {

// 1-based position in `url` where UrlHost takes the host from: after "https://" when the URL
// begins with it, else after its first "http://", else (no scheme) its first byte.
int HostStart(std::string_view url) {
  if (LowerAscii(LeftPart(url, 8)) == "https://") return 9;
  int http = FindText(url, "http://", 1, false);
  return http == -1 ? 1 : http + 7;
}

}  // namespace

Text UrlHost(std::string_view url, bool mainDomainOnly, bool keepPort) {
  Text lower = LowerAscii(url);
  if (lower.empty() || lower.back() != '/') lower += '/';
  Text host;
  if (LeftPart(lower, 8) == "https://") {
    host = ExtractBetween(lower, "https://", "/");
  } else {
    if (!ContainsText(lower, "http://")) lower.insert(0, "http://");
    host = ExtractBetween(lower, "http://", "/");
  }
  if (mainDomainOnly) {
    TextArray labels = SplitText(host, ".");
    if (labels.size() >= 2) host = labels[labels.size() - 2] + "." + labels.back();
  }
  if (!keepPort) {
    int colon = FindText(host, ":");
    if (colon != -1) host = LeftPart(host, colon - 1);
  }
  return host;
}

int UrlPort(std::string_view url) {
  Text host = UrlHost(url, false, true);
  int lastColon = -1;
  for (int at = FindText(host, ":"); at != -1; at = FindText(host, ":", at + 1)) lastColon = at;
  if (lastColon != -1) return IntegerValue(std::string_view(host).substr(lastColon));
  return LowerAscii(LeftPart(url, 5)) == "https" ? 443 : 80;
}

Text UrlPath(std::string_view url) {
  Text host = UrlHost(url);
  // The host is looked for from where UrlHost took it, so that a host such as "t" or "tp" is
  // not found inside the scheme (which would put "//t" in front of the path).
  int hostAt = FindText(url, host, HostStart(url), false);
  int slash = FindText(url, "/", hostAt == -1 ? HostStart(url) : hostAt);
  if (slash == -1) return "/";
  return Text(url.substr(static_cast<size_t>(slash) - 1));
}
