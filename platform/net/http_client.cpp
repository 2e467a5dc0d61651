#include "platform/net/http_client.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <string_view>

namespace plat::net {
namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  void operator()(char* text) const { curl_free(text); }
};
template <class T>
using CurlPtr = std::unique_ptr<T, CurlDeleter>;

struct Sink {
  std::string* body;
  std::size_t limit;
  bool overflow = false;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  if (bytes > sink->limit - sink->body->size()) {
    sink->overflow = true;
    return 0;  // makes the transfer fail with CURLE_WRITE_ERROR
  }
  sink->body->append(data, bytes);
  return bytes;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

HttpResponse Failure(HttpError error, std::string detail) {
  HttpResponse response;
  response.error = error;
  response.detail = std::move(detail);
  return response;
}

// Parses the URL and checks its scheme before anything goes on the wire.
HttpError CheckUrl(const std::string& url) {
  CurlPtr<CURLU> parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return HttpError::kBadUrl;
  char* raw = nullptr;
  if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK) return HttpError::kBadUrl;
  CurlPtr<char> scheme(raw);
  const std::string lower = Lower(scheme.get());
  if (lower != "http" && lower != "https") return HttpError::kUnsupportedScheme;
  char* host = nullptr;
  if (curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) return HttpError::kBadUrl;
  curl_free(host);
  return HttpError::kNone;
}

}  // namespace

HttpResponse HttpGet(const std::string& url, const HttpOptions& options) {
  GlobalInit();
  if (const HttpError check = CheckUrl(url); check != HttpError::kNone) {
    return Failure(check, check == HttpError::kBadUrl ? "malformed URL" : "only http and https are fetched");
  }
  CurlPtr<CURL> handle(curl_easy_init());
  if (!handle) return Failure(HttpError::kTransfer, "no transfer handle");

  HttpResponse response;
  Sink sink{&response.body, options.maxBodyBytes};
  CurlPtr<curl_slist> headers;
  for (const std::string& header : options.headers) {
    curl_slist* grown = curl_slist_append(headers.get(), header.c_str());
    if (!grown) return Failure(HttpError::kTransfer, "out of memory");
    (void)headers.release();
    headers.reset(grown);
  }
  char error[CURL_ERROR_SIZE] = {};
  CURL* h = handle.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // time-outs without SIGALRM: safe on any thread
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
  curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes));
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);

  const CURLcode result = curl_easy_perform(h);
  if (result != CURLE_OK) {
    response.body.clear();
    response.detail = error[0] ? error : curl_easy_strerror(result);
    if (sink.overflow || result == CURLE_FILESIZE_EXCEEDED) {
      response.error = HttpError::kTooLarge;
    } else if (result == CURLE_OPERATION_TIMEDOUT) {
      response.error = HttpError::kTimeout;
    } else if (result == CURLE_URL_MALFORMAT) {
      response.error = HttpError::kBadUrl;
    } else if (result == CURLE_UNSUPPORTED_PROTOCOL) {
      response.error = HttpError::kUnsupportedScheme;
    } else {
      response.error = HttpError::kTransfer;
    }
    return response;
  }
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
  response.error = HttpError::kNone;
  return response;
}

}  // namespace plat::net
