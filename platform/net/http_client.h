// A small blocking HTTP client for short status replies. Every request is
// bounded: a connect time-out, a time-out for the whole transfer and a cap on
// the size of the reply body. Only http and https URLs are fetched, and
// redirects are not followed.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace plat::net {

struct HttpOptions {
  std::chrono::milliseconds connectTimeout{3000};
  std::chrono::milliseconds totalTimeout{5000};
  std::size_t maxBodyBytes = 64 * 1024;
  std::vector<std::string> headers;  // "Name: value", sent as they stand
};

enum class HttpError {
  kNone,               // a reply arrived (any status)
  kBadUrl,             // the URL does not parse
  kUnsupportedScheme,  // not http or https
  kTimeout,            // connecting or the whole transfer took too long
  kTooLarge,           // the body grew past maxBodyBytes
  kTransfer,           // no connection, reset, malformed reply...
};

struct HttpResponse {
  HttpError error = HttpError::kTransfer;
  long status = 0;     // the HTTP status code when a reply arrived
  std::string body;    // the reply body (empty unless error is kNone)
  std::string detail;  // a readable reason for a failure

  bool Ok() const { return error == HttpError::kNone; }
  bool Success() const { return Ok() && status >= 200 && status <= 299; }
};

// Sends a GET request and waits for the reply within the options' bounds.
// Safe to call from any thread.
HttpResponse HttpGet(const std::string& url, const HttpOptions& options);

}  // namespace plat::net
