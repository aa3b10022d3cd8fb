#include "platform/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "local_http_server.h"

namespace novu::platform {
namespace {

using novu::testing::HttpRoute;
using novu::testing::LocalHttpServer;

// Runs the deliveries until `result` is set; a run that never ends fails after ten seconds
// instead of hanging the suite.
void DeliverUntil(HttpClient& client, const std::optional<HttpResult>& result) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!result && std::chrono::steady_clock::now() < give_up) {
    client.DeliverFinished();
    if (!result) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_TRUE(result.has_value()) << "the download never ended";
}

HttpResult Fetch(HttpClient& client, const std::string& url) {
  std::optional<HttpResult> result;
  auto transfer = client.Get(url, [&result](HttpResult r) { result = std::move(r); });
  EXPECT_TRUE(transfer->running());
  DeliverUntil(client, result);
  EXPECT_FALSE(transfer->running());
  return result ? *result : HttpResult{};
}

LocalHttpServer& Server() {
  static LocalHttpServer server({
      {"/text", {200, std::string("a\r\nb\0c", 6), ""}},
      {"/moved", {302, "", "Location: /text\r\n"}},
      {"/to-file", {302, "", "Location: file:///etc/hostname\r\n"}},
      {"/big", {200, std::string(5000, 'x'), ""}},
      {"/error", {500, "server trouble", ""}},
      {"/stall", {0, "", "", true}},
  });
  return server;
}

TEST(HttpClientTest, FetchesTheBodyByteForByteAndFollowsRedirects) {
  HttpClient client;
  for (const char* path : {"/text", "/moved"}) {
    const HttpResult result = Fetch(client, Server().Url(path));
    EXPECT_TRUE(result.ok) << path << ": " << result.error;
    EXPECT_EQ(result.status, 200) << path;
    EXPECT_EQ(result.body, std::string("a\r\nb\0c", 6)) << path;
  }
}

TEST(HttpClientTest, FailuresHandOverAnEmptyBody) {
  HttpClient client(HttpLimits{.max_body_bytes = 4096});
  struct Case {
    std::string url;
    long status;
  };
  const Case cases[] = {
      {Server().Url("/absent"), 404},   // the server answers "missing" with the status
      {Server().Url("/error"), 500},    //
      {Server().Url("/big"), 200},      // larger than the limit
      {Server().Url("/to-file"), 302},  // a redirect to a scheme that is not fetched
      {"file:///etc/hostname", 0},      //
      {"ftp://127.0.0.1/x", 0},         //
      {"", 0},                          //
  };
  for (const Case& c : cases) {
    const HttpResult result = Fetch(client, c.url);
    EXPECT_FALSE(result.ok) << c.url;
    EXPECT_TRUE(result.body.empty()) << c.url;
    EXPECT_FALSE(result.error.empty()) << c.url;
    EXPECT_EQ(result.status, c.status) << c.url;
  }
}

TEST(HttpClientTest, AServerThatSendsNothingIsAbandonedAfterTheStallTimeOut) {
  HttpClient client(HttpLimits{.stall_timeout_ms = 100});
  const HttpResult result = Fetch(client, Server().Url("/stall"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "the server sent nothing for too long");
}

TEST(HttpClientTest, DestroyingARunningTransferAbortsItWithoutItsHandler) {
  // With a minute's time-outs, only the abort can end these downloads before the test's limit.
  HttpClient client(HttpLimits{.connect_timeout_ms = 60000, .stall_timeout_ms = 60000});
  bool handled = false;
  auto first = client.Get(Server().Url("/stall"), [&handled](HttpResult) { handled = true; });
  auto second = client.Get(Server().Url("/text"), [&handled](HttpResult) { handled = true; });
  while (Server().Hits("/stall") == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  first.reset();
  second.reset();  // its result may be queued already: it is dropped with it
  client.DeliverFinished();
  EXPECT_FALSE(handled);
}

}  // namespace
}  // namespace novu::platform
