// The web-link query against a loopback HTTP server, with the registry in a
// temporary hive: reply parsing, what is stored, and every failure giving -1
// with nothing stored.
#include "lounge/shell/web_link_query.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "corebridge/core/registry_key.h"
#include "platform/registry/registry.h"
#include "tests/platform/net/loopback_http_server.h"
#include "tests/platform/registry/temp_registry.h"

namespace {

using namespace std::chrono_literals;
using net_test::HttpReply;
using net_test::LoopbackHttpServer;
using net_test::Reply;

void SetMachineString(const char* key, const char* name, const std::string& value) {
  plat::HKEY h = nullptr;
  ASSERT_EQ(plat::RegCreateKeyExA(plat::HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, plat::KEY_ALL_ACCESS, nullptr, &h,
                                  nullptr),
            plat::ERROR_SUCCESS);
  ASSERT_EQ(plat::RegSetValueExA(h, name, 0, plat::REG_SZ, reinterpret_cast<const plat::BYTE*>(value.c_str()),
                                 static_cast<plat::DWORD>(value.size() + 1)),
            plat::ERROR_SUCCESS);
  plat::RegCloseKey(h);
}

// The stored HKCU status, or -1 when there is none.
long long StoredStatus() {
  CRegistryKey key(plat::HKEY_CURRENT_USER);
  plat::DWORD value = 0;
  if (!key.Open(plat::HKEY_CURRENT_USER, kWebLinkProductKey, true) || !key.QueryDword(kWebLinkStatusValue, value)) {
    return -1;
  }
  return value;
}

class WebLinkQueryTest : public testing::Test {
 protected:
  // Points the registry's query format at `server` and sets the build.
  void Configure(const LoopbackHttpServer& server, const std::string& pathFormat = "/status?p=%s&v=%s") {
    SetMachineString(kWebLinkProductKey, kWebLinkQueryValue, server.Url(pathFormat));
    SetMachineString(kWebLinkBuildInfoKey, kWebLinkVersionValue, "3.0.1210");
  }

  marivel_test::TempRegistry registry_;
  std::string build_ = "unchanged";
};

TEST(WebLinkReplyParse, NormalisesAndReadsTheKeys) {
  struct Case {
    const char* body;
    int content;
    const char* build;
  };
  const Case cases[] = {
      {"CONTENT=3&BUILD=V2.1", 3, "V2.1"},
      {"content=7&build=v3.0.1211&&&", 7, "V3.0.1211"},
      {"  content=7\r\n&build=x y&  \r\n", 7, "X Y"},
      {"CONTENT=1\r\n2&BUILD=A\nB", 12, "AB"},  // lines are joined without separators
      {"BUILD=abc", 0, "ABC"},                   // missing CONTENT reads 0
      {"CONTENT=5", 5, ""},                      // missing BUILD is empty
      {"hello", 0, ""},
      {"CONTENT=abc", 0, ""},
      {"CONTENT=12abc&BUILD=", 12, ""},
      {"CONTENT=+4", 4, ""},
      {"BUILD=b1&CONTENT=9&CONTENT=8", 9, "B1"},  // the first occurrence counts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const auto reply = ParseWebLinkReply(c.body);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->nContent, c.content);
    EXPECT_EQ(reply->strBuild, c.build);
  }
  for (const char* refused : {"", "   ", "\r\n", "&&&", " & ", "CONTENT=-5", "CONTENT=99999999999&BUILD=x"}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(ParseWebLinkReply(refused).has_value());
  }
}

TEST_F(WebLinkQueryTest, ReadsTheReplyAndStoresTheStatusWhenAsked) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "content=3\r\n&build=v3.0.1300\r\n")}; });
  Configure(server);
  EXPECT_EQ(QueryWebLink(0, build_), 3);
  EXPECT_EQ(build_, "V3.0.1300");
  EXPECT_EQ(StoredStatus(), -1);

  build_.clear();
  EXPECT_EQ(QueryWebLink(1, build_), 3);
  EXPECT_EQ(build_, "V3.0.1300");
  EXPECT_EQ(StoredStatus(), 3);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rfind("GET /status?p=MRV&v=3.0.1210 HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nAccept: text/*\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("\r\nUser-Agent: Kestrovia Marivel\r\n"), std::string::npos);
}

TEST_F(WebLinkQueryTest, ReplyWithoutKeysIsZero) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "nothing here")}; });
  Configure(server);
  EXPECT_EQ(QueryWebLink(1, build_), 0);
  EXPECT_EQ(build_, "");
  EXPECT_EQ(StoredStatus(), 0);
}

TEST_F(WebLinkQueryTest, MissingRegistryValuesFailWithoutARequest) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "CONTENT=1")}; });
  EXPECT_EQ(QueryWebLink(1, build_), -1);  // no values at all

  SetMachineString(kWebLinkProductKey, kWebLinkQueryValue, server.Url("/%s/%s"));
  EXPECT_EQ(QueryWebLink(1, build_), -1);  // no build
  SetMachineString(kWebLinkBuildInfoKey, kWebLinkVersionValue, "");
  EXPECT_EQ(QueryWebLink(1, build_), -1);  // empty build
  SetMachineString(kWebLinkBuildInfoKey, kWebLinkVersionValue, "1.0");
  SetMachineString(kWebLinkProductKey, kWebLinkQueryValue, "");
  EXPECT_EQ(QueryWebLink(1, build_), -1);  // empty format

  EXPECT_TRUE(server.Requests().empty());
  EXPECT_EQ(build_, "unchanged");
  EXPECT_EQ(StoredStatus(), -1);
}

TEST_F(WebLinkQueryTest, FormatsWithOtherConversionsAreRefused) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "CONTENT=1")}; });
  for (const char* path : {"/%s/%s/%s", "/%d/%s", "/%s%n", "/%p", "/%s/%.99s"}) {
    SCOPED_TRACE(path);
    Configure(server, path);
    EXPECT_EQ(QueryWebLink(1, build_), -1);
  }
  EXPECT_TRUE(server.Requests().empty());
  // A format that uses only the first value is fine.
  Configure(server, "/only/%s");
  EXPECT_EQ(QueryWebLink(0, build_), 1);
}

TEST_F(WebLinkQueryTest, ErrorStatusesAndRedirectsFail) {
  for (int status : {404, 500, 301}) {
    SCOPED_TRACE(status);
    LoopbackHttpServer server([&](const std::string&) {
      return Reply{HttpReply(status, "CONTENT=5&BUILD=X", status == 301 ? "Location: /moved\r\n" : "")};
    });
    Configure(server);
    EXPECT_EQ(QueryWebLink(1, build_), -1);
  }
  EXPECT_EQ(build_, "unchanged");
  EXPECT_EQ(StoredStatus(), -1);
}

TEST_F(WebLinkQueryTest, OversizedReplyFails) {
  const std::string body = "CONTENT=2&" + std::string(64 * 1024, 'a');
  LoopbackHttpServer server([&](const std::string&) { return Reply{HttpReply(200, body)}; });
  Configure(server);
  EXPECT_EQ(QueryWebLink(1, build_), -1);
  EXPECT_EQ(StoredStatus(), -1);
}

TEST_F(WebLinkQueryTest, RefusedConnectionAndOtherSchemesFail) {
  SetMachineString(kWebLinkBuildInfoKey, kWebLinkVersionValue, "1.0");
  SetMachineString(kWebLinkProductKey, kWebLinkQueryValue,
                   "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::ClosedPort()) + "/%s/%s");
  EXPECT_EQ(QueryWebLink(1, build_), -1);
  for (const char* format : {"ftp://127.0.0.1/%s/%s", "file:///tmp/%s%s", "%s%s", "http:///%s/%s"}) {
    SCOPED_TRACE(format);
    SetMachineString(kWebLinkProductKey, kWebLinkQueryValue, format);
    EXPECT_EQ(QueryWebLink(1, build_), -1);
  }
  EXPECT_EQ(build_, "unchanged");
  EXPECT_EQ(StoredStatus(), -1);
}

// The query gives up after its 5-second bound; this test waits that long once.
TEST_F(WebLinkQueryTest, SlowServerFailsWithinTheBound) {
  LoopbackHttpServer server([](const std::string&) { return Reply{HttpReply(200, "CONTENT=4"), 8000ms}; });
  Configure(server);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(QueryWebLink(1, build_), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 7500ms);
  EXPECT_EQ(StoredStatus(), -1);
}

}  // namespace
