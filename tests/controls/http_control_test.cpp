#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "controls/control_factory.h"
#include "controls/novu_http.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/process_state.h"
#include "local_http_server.h"
#include "objects/base_list.h"
#include "platform/http_client.h"

namespace novu {
namespace {

using novu::testing::HttpRoute;
using novu::testing::LocalHttpServer;

LocalHttpServer& Server() {
  static LocalHttpServer server({
      {"/lines", {200, "a\r\nb", ""}},
      {"/nul", {200, std::string("x\0y", 3), ""}},
      {"/euc", {200, "\xA4\xA2\xA4\xA4\r\n\xB4\xC1\n", ""}},
      {"/stall", {0, "", "", true}},
  });
  return server;
}

// A game's object list whose downloads run on a client with short time-outs.
struct DownloadScene {
  explicit DownloadScene(platform::HttpLimits limits = {.stall_timeout_ms = 150})
      : client(limits), list(Factory()) {
    state.terminate = false;
  }
  TNovuBaseList::Factory Factory() {
    ImageEnvironment env;
    env.state = &state;
    env.http = &client;
    return MakeControlFactory(env);
  }

  TNovuHttp& Add(const std::string& name, const std::string& on_end = "end.nsb") {
    std::unique_ptr<TNovuObject> made = list.CreateByType(LT_HTTP);
    auto& http = dynamic_cast<TNovuHttp&>(*made);
    list.AdoptRoot(std::move(made));
    http.SetName(name);
    http.SetProperty(PR_ONPLAYEND, on_end);
    return http;
  }

  // Ticks (deliveries) until `http` has finished; fails after ten seconds instead of hanging.
  void WaitFor(const TNovuHttp& http) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (http.downloading() && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      client.DeliverFinished();
    }
    ASSERT_FALSE(http.downloading()) << "the download never ended";
  }
  std::vector<std::string> TakeHandlers() {
    std::vector<std::string> out;
    for (const auto& e : list.queue().entries()) out.push_back(e.handler);
    list.queue().entries().clear();
    return out;
  }

  ProcessState state;
  platform::HttpClient client;
  TNovuBaseList list;
};

std::string Text(const TNovuObject& object) {
  return PropAsStr(object.GetProperty(PR_TEXT));
}

TEST(HttpControlTest, ReceivedTextIsConvertedAndItsLinesJoined) {
  DownloadScene scene;
  const struct {
    const char* path;
    std::string text;
  } cases[] = {
      {"/lines",
       "a\x01"
       "b"},
      {"/nul", "x y"},
      {"/euc", "\x82\xA0\x82\xA2\x01\x8A\xBF"},  // the closing line end opens no empty line
  };
  for (const auto& c : cases) {
    TNovuHttp& http = scene.Add("h");
    http.SetProperty(PR_SOURCE, Server().Url(c.path));
    EXPECT_EQ(Text(http), "") << "read while it runs: " << c.path;
    EXPECT_EQ(*http.DataStream(), "") << c.path;
    scene.WaitFor(http);
    EXPECT_EQ(Text(http), c.text) << c.path;
    EXPECT_EQ(scene.TakeHandlers(), std::vector<std::string>{"end.nsb"}) << c.path;
  }
}

TEST(HttpControlTest, ASecondSourceWhileRunningIsIgnored) {
  DownloadScene scene({.stall_timeout_ms = 60000});
  TNovuHttp& http = scene.Add("h");
  http.SetProperty(PR_SOURCE, Server().Url("/stall"));
  http.SetProperty(PR_SOURCE, Server().Url("/lines"));
  EXPECT_EQ(PropAsStr(http.GetProperty(PR_SOURCE)), Server().Url("/stall"));
  EXPECT_TRUE(http.downloading());
}

TEST(HttpControlTest, ABangSourceDownloadsTheAddressAnotherObjectReceived) {
  DownloadScene scene;
  LocalHttpServer pointer({{"/where", {200, Server().Url("/lines") + "\r\n", ""}}});
  TNovuHttp& first = scene.Add("other");
  first.SetProperty(PR_SOURCE, pointer.Url("/where"));
  TNovuHttp& second = scene.Add("h", "second.nsb");
  second.SetProperty(PR_SOURCE, std::string("!other"));
  EXPECT_EQ(PropAsStr(second.GetProperty(PR_SOURCE)), "")
      << "other's data reads empty while it runs";
  scene.WaitFor(first);
  scene.WaitFor(second);
  scene.TakeHandlers();

  second.SetProperty(PR_SOURCE, std::string("!other"));
  EXPECT_EQ(PropAsStr(second.GetProperty(PR_SOURCE)), Server().Url("/lines"));
  scene.WaitFor(second);
  EXPECT_EQ(Text(second),
            "a\x01"
            "b");
  EXPECT_EQ(scene.TakeHandlers(), std::vector<std::string>{"second.nsb"});

  // A name without such an object, or an object without data, gives an empty address.
  for (const char* source : {"!nobody", "!"}) {
    second.SetProperty(PR_SOURCE, std::string(source));
    EXPECT_EQ(PropAsStr(second.GetProperty(PR_SOURCE)), "") << source;
    scene.WaitFor(second);
    EXPECT_EQ(Text(second), "") << source;
  }
}

TEST(HttpControlTest, AFailedDownloadLeavesNothingAndStillReportsItsEnd) {
  DownloadScene scene;
  TNovuHttp& http = scene.Add("h");
  http.SetProperty(PR_SOURCE, Server().Url("/lines"));
  scene.WaitFor(http);
  ASSERT_NE(Text(http), "");
  scene.TakeHandlers();
  for (const std::string& url :
       {Server().Url("/absent"), Server().Url("/stall"), std::string("file:///etc/hostname")}) {
    http.SetProperty(PR_SOURCE, url);
    scene.WaitFor(http);
    EXPECT_EQ(Text(http), "") << url;
    EXPECT_EQ(*http.DataStream(), "") << url;
    EXPECT_EQ(scene.TakeHandlers(), std::vector<std::string>{"end.nsb"}) << url;
  }
}

TEST(HttpControlTest, NoEventWhileTheGameIsClosing) {
  DownloadScene scene;
  TNovuHttp& http = scene.Add("h");
  http.SetProperty(PR_SOURCE, Server().Url("/lines"));
  scene.state.terminate = true;
  scene.WaitFor(http);
  EXPECT_EQ(Text(http),
            "a\x01"
            "b");
  EXPECT_TRUE(scene.TakeHandlers().empty());
}

// Clearing the objects (a reset, a load, the end of the game) with a download hanging on a
// silent server returns at once: with a minute's time-outs only the abort can end it in time.
TEST(HttpControlTest, ClearingTheObjectsAbortsARunningDownload) {
  DownloadScene scene({.connect_timeout_ms = 60000, .stall_timeout_ms = 60000});
  TNovuHttp& http = scene.Add("h");
  http.SetProperty(PR_SOURCE, Server().Url("/stall"));
  ASSERT_TRUE(http.downloading());
  scene.list.Reset();
  scene.client.DeliverFinished();
  EXPECT_EQ(scene.list.FindByName("h"), nullptr);
  EXPECT_TRUE(scene.TakeHandlers().empty());
}

// The saved record is the component's own: no address, data or end label.
TEST(HttpControlTest, SavesOnlyTheComponentRecord) {
  DownloadScene scene;
  TNovuHttp& http = scene.Add("h");
  http.SetTag("tag");
  http.SetProperty(PR_SOURCE, Server().Url("/lines"));
  scene.WaitFor(http);
  BinaryWriter out;
  http.SaveToStream(out);
  const std::string saved = out.TakeString();

  TNovuHttp& fresh = scene.Add("h2", "");
  fresh.AssignName("h");
  fresh.SetTag("tag");
  BinaryWriter plain;
  fresh.SaveToStream(plain);
  EXPECT_EQ(saved, plain.TakeString());

  TNovuHttp& loaded = scene.Add("h3", "");
  BinaryReader in(saved);
  loaded.LoadFromStream(in, {.version = kObjectLayoutVersion});
  EXPECT_EQ(loaded.name(), "h");
  EXPECT_EQ(loaded.tag(), "tag");
  EXPECT_EQ(Text(loaded), "");
  EXPECT_EQ(PropAsStr(loaded.GetProperty(PR_SOURCE)), "");
}

}  // namespace
}  // namespace novu
