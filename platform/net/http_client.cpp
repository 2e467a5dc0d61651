#include "platform/net/http_client.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <cctype>
#include <memory>
#include <mutex>
#include <string_view>

namespace plat::net {
namespace {

// libcurl and the TLS, Kerberos and LDAP libraries it pulls in are loaded
// with the first request rather than with the program: most runs never
// fetch anything, and loading them took a good part of the start-up time
// and some megabytes of resident memory.
struct CurlApi {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_strerror) easy_strerror = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
  decltype(&curl_url) url = nullptr;
  decltype(&curl_url_set) url_set = nullptr;
  decltype(&curl_url_get) url_get = nullptr;
  decltype(&curl_url_cleanup) url_cleanup = nullptr;
  decltype(&curl_free) free = nullptr;
  std::string error;  // why the library is not there; empty when it is
};

template <class F>
bool Resolve(void* library, const char* name, F& out) {
  out = reinterpret_cast<F>(::dlsym(library, name));
  return out != nullptr;
}

CurlApi LoadCurl() {
  CurlApi api;
  // Kept for the rest of the process: handles may live on other threads.
  void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = ::dlerror();
    api.error = std::string("libcurl cannot be loaded: ") + (why ? why : "unknown reason");
    return api;
  }
  const bool all = Resolve(library, "curl_global_init", api.global_init) &&
                   Resolve(library, "curl_easy_init", api.easy_init) &&
                   Resolve(library, "curl_easy_setopt", api.easy_setopt) &&
                   Resolve(library, "curl_easy_perform", api.easy_perform) &&
                   Resolve(library, "curl_easy_getinfo", api.easy_getinfo) &&
                   Resolve(library, "curl_easy_strerror", api.easy_strerror) &&
                   Resolve(library, "curl_easy_cleanup", api.easy_cleanup) &&
                   Resolve(library, "curl_slist_append", api.slist_append) &&
                   Resolve(library, "curl_slist_free_all", api.slist_free_all) &&
                   Resolve(library, "curl_url", api.url) && Resolve(library, "curl_url_set", api.url_set) &&
                   Resolve(library, "curl_url_get", api.url_get) &&
                   Resolve(library, "curl_url_cleanup", api.url_cleanup) && Resolve(library, "curl_free", api.free);
  if (!all) {
    api = CurlApi{};
    api.error = "libcurl lacks a function this program needs";
    return api;
  }
  api.global_init(CURL_GLOBAL_DEFAULT);
  return api;
}

// The loaded library, once per process; thread-safe.
const CurlApi& Curl() {
  static const CurlApi api = LoadCurl();
  return api;
}

struct CurlDeleter {
  void operator()(CURL* handle) const { Curl().easy_cleanup(handle); }
  void operator()(CURLU* url) const { Curl().url_cleanup(url); }
  void operator()(curl_slist* list) const { Curl().slist_free_all(list); }
  void operator()(char* text) const { Curl().free(text); }
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
  const CurlApi& curl = Curl();
  CurlPtr<CURLU> parsed(curl.url());
  if (!parsed || curl.url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return HttpError::kBadUrl;
  char* raw = nullptr;
  if (curl.url_get(parsed.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK) return HttpError::kBadUrl;
  CurlPtr<char> scheme(raw);
  const std::string lower = Lower(scheme.get());
  if (lower != "http" && lower != "https") return HttpError::kUnsupportedScheme;
  char* host = nullptr;
  if (curl.url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) return HttpError::kBadUrl;
  curl.free(host);
  return HttpError::kNone;
}

}  // namespace

HttpResponse HttpGet(const std::string& url, const HttpOptions& options) {
  const CurlApi& curl = Curl();
  if (!curl.error.empty()) return Failure(HttpError::kTransfer, curl.error);
  if (const HttpError check = CheckUrl(url); check != HttpError::kNone) {
    return Failure(check, check == HttpError::kBadUrl ? "malformed URL" : "only http and https are fetched");
  }
  CurlPtr<CURL> handle(curl.easy_init());
  if (!handle) return Failure(HttpError::kTransfer, "no transfer handle");

  HttpResponse response;
  Sink sink{&response.body, options.maxBodyBytes};
  CurlPtr<curl_slist> headers;
  for (const std::string& header : options.headers) {
    curl_slist* grown = curl.slist_append(headers.get(), header.c_str());
    if (!grown) return Failure(HttpError::kTransfer, "out of memory");
    (void)headers.release();
    headers.reset(grown);
  }
  char error[CURL_ERROR_SIZE] = {};
  CURL* h = handle.get();
  curl.easy_setopt(h, CURLOPT_URL, url.c_str());
  curl.easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  curl.easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // time-outs without SIGALRM: safe on any thread
  curl.easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
  curl.easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
  curl.easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes));
  curl.easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl.easy_setopt(h, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl.easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  curl.easy_setopt(h, CURLOPT_ERRORBUFFER, error);

  const CURLcode result = curl.easy_perform(h);
  if (result != CURLE_OK) {
    response.body.clear();
    response.detail = error[0] ? error : curl.easy_strerror(result);
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
  curl.easy_getinfo(h, CURLINFO_RESPONSE_CODE, &response.status);
  response.error = HttpError::kNone;
  return response;
}

}  // namespace plat::net
