// The HTTP client against a loopback server: replies and statuses, the body
// cap, the transfer time-out, refused connections and refused schemes.
#include "platform/net/http_client.h"

#include <gtest/gtest.h>

#include "tests/platform/net/loopback_http_server.h"

namespace {

using namespace std::chrono_literals;
using net_test::HttpReply;
using net_test::LoopbackHttpServer;
using net_test::Reply;
using plat::net::HttpError;
using plat::net::HttpGet;
using plat::net::HttpOptions;

HttpOptions Quick() {
  HttpOptions options;
  options.connectTimeout = 1000ms;
  options.totalTimeout = 400ms;
  options.maxBodyBytes = 1024;
  return options;
}

TEST(HttpClient, ReturnsStatusAndBodyAndSendsTheHeaders) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "hello")}; });
  HttpOptions options = Quick();
  options.headers = {"Accept: text/*", "User-Agent: Test Agent"};
  const auto response = HttpGet(server.Url("/a/b?x=1"), options);
  EXPECT_TRUE(response.Success()) << response.detail;
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "hello");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /a/b?x=1 HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nAccept: text/*\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("\r\nUser-Agent: Test Agent\r\n"), std::string::npos);
}

TEST(HttpClient, ErrorStatusesAndRedirectsAreRepliesButNoSuccess) {
  for (int status : {404, 500, 302, 403}) {
    SCOPED_TRACE(status);
    LoopbackHttpServer server([&](const std::string&) {
      return Reply{HttpReply(status, "CONTENT=1", status == 302 ? "Location: /elsewhere\r\n" : "")};
    });
    const auto response = HttpGet(server.Url("/"), Quick());
    EXPECT_TRUE(response.Ok());
    EXPECT_FALSE(response.Success());
    EXPECT_EQ(response.status, status);
    EXPECT_EQ(server.Requests().size(), 1u);  // a redirect is not followed
  }
}

TEST(HttpClient, BodyCapIsExact) {
  const std::string limit(1024, 'x');
  LoopbackHttpServer atLimit([&](const std::string&) { return Reply{HttpReply(200, limit)}; });
  const auto fits = HttpGet(atLimit.Url("/"), Quick());
  EXPECT_TRUE(fits.Success());
  EXPECT_EQ(fits.body.size(), 1024u);

  LoopbackHttpServer over([&](const std::string&) { return Reply{HttpReply(200, limit + "y")}; });
  const auto tooLarge = HttpGet(over.Url("/"), Quick());
  EXPECT_EQ(tooLarge.error, HttpError::kTooLarge);
  EXPECT_TRUE(tooLarge.body.empty());

  // Without a length announced the cap still holds while the body streams in.
  const std::string huge(256 * 1024, 'z');
  LoopbackHttpServer streamed([&](const std::string&) {
    return Reply{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + huge};
  });
  EXPECT_EQ(HttpGet(streamed.Url("/"), Quick()).error, HttpError::kTooLarge);
}

TEST(HttpClient, SlowServerTimesOut) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "late"), 3000ms}; });
  const auto response = HttpGet(server.Url("/"), Quick());
  EXPECT_EQ(response.error, HttpError::kTimeout) << response.detail;
}

TEST(HttpClient, RefusedAndUnsupported) {
  const int port = LoopbackHttpServer::ClosedPort();
  EXPECT_EQ(HttpGet("http://127.0.0.1:" + std::to_string(port) + "/", Quick()).error, HttpError::kTransfer);
  EXPECT_EQ(HttpGet("ftp://127.0.0.1/x", Quick()).error, HttpError::kUnsupportedScheme);
  EXPECT_EQ(HttpGet("file:///etc/passwd", Quick()).error, HttpError::kUnsupportedScheme);
  EXPECT_EQ(HttpGet("not a url", Quick()).error, HttpError::kBadUrl);
  EXPECT_EQ(HttpGet("", Quick()).error, HttpError::kBadUrl);
}

}  // namespace
