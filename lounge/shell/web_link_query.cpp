#include "lounge/shell/web_link_query.h"

#include <charconv>
#include <climits>

#include "corebridge/core/registry_key.h"
#include "lounge/shell/checked_format.h"
#include "platform/net/http_client.h"
#include "platform/registry/registry.h"

namespace {

constexpr std::string_view kContentKey = "CONTENT=";
constexpr std::string_view kBuildKey = "BUILD=";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The value after the first occurrence of `key`, up to the next '&'.
std::optional<std::string_view> ValueOf(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + key.size());
  return rest.substr(0, rest.find('&'));
}

// A decimal number as the reply gives it: leading blanks, an optional '+',
// digits; text after the digits is ignored and no digits at all read as 0.
// A negative or too large number is refused.
std::optional<int> ContentNumber(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (!text.empty() && text.front() == '-') return std::nullopt;
  if (text.empty() || text.front() < '0' || text.front() > '9') return 0;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  if (error != std::errc()) return std::nullopt;
  return value;
}

bool ReadMachineString(const char* key, const char* name, std::string& value) {
  CRegistryKey reg(plat::HKEY_LOCAL_MACHINE);
  return reg.Open(plat::HKEY_LOCAL_MACHINE, key, true) && reg.QueryString(name, value);
}

}  // namespace

std::optional<WebLinkReply> ParseWebLinkReply(std::string_view body) {
  std::string text;
  text.reserve(body.size() + 1);
  for (char c : body) {
    if (c != '\r' && c != '\n') text.push_back(c);
  }
  while (!text.empty() && IsSpace(text.back())) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && IsSpace(text[first])) ++first;
  text.erase(0, first);
  while (!text.empty() && text.back() == '&') text.pop_back();
  if (text.empty()) return std::nullopt;
  text.push_back('&');
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }

  WebLinkReply reply;
  if (const auto content = ValueOf(text, kContentKey)) {
    const std::optional<int> number = ContentNumber(*content);
    if (!number) return std::nullopt;
    reply.nContent = *number;
  }
  if (const auto build = ValueOf(text, kBuildKey)) reply.strBuild = std::string(*build);
  return reply;
}

int QueryWebLink(int storeStatus, std::string& serverBuild) {
  std::string format;
  std::string version;
  if (!ReadMachineString(kWebLinkProductKey, kWebLinkQueryValue, format) || format.empty()) return -1;
  if (!ReadMachineString(kWebLinkBuildInfoKey, kWebLinkVersionValue, version) || version.empty()) return -1;
  const std::optional<std::string> url = CheckedFormat(format, {"MRV", version});
  if (!url) return -1;

  plat::net::HttpOptions options;
  options.connectTimeout = std::chrono::seconds(3);
  options.totalTimeout = std::chrono::seconds(5);
  options.maxBodyBytes = 64 * 1024;
  options.headers = {"Accept: text/*", "User-Agent: Kestrovia Marivel"};
  const plat::net::HttpResponse response = plat::net::HttpGet(*url, options);
  // An error page is no answer: only a 2xx reply is read.
  if (!response.Success()) return -1;
  const std::optional<WebLinkReply> reply = ParseWebLinkReply(response.body);
  if (!reply) return -1;

  if (storeStatus) {
    CRegistryKey user(plat::HKEY_CURRENT_USER);
    if (user.Create(plat::HKEY_CURRENT_USER, kWebLinkProductKey)) {
      user.SetDword(kWebLinkStatusValue, static_cast<plat::DWORD>(reply->nContent));
    }
  }
  serverBuild = reply->strBuild;
  return reply->nContent;
}
