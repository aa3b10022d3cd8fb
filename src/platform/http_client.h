#pragma once
// HTTP GET downloads into memory, each on a worker thread of its own (libcurl). A transfer's
// result is queued when its thread ends and handed to its handler by DeliverFinished, which the
// frame loop calls on the main thread once a tick; nothing else of the game is touched from the
// worker.
//
// Only http and https are fetched, redirects included. A transfer that makes no progress for
// the stall time-out, or whose body grows beyond the cap, fails; a failed transfer (no
// connection, a status outside 200..299, a refused scheme) hands over an empty body.
//
//   platform::HttpClient client;
//   auto transfer = client.Get(url, [](platform::HttpResult r) { use(r.body); });
//   ... each tick: client.DeliverFinished();
//   transfer.reset();  // aborts a running download and returns at once
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace novu::platform {

struct HttpLimits {
  int connect_timeout_ms = 15000;
  // No byte received for this long (from the start, or since the last byte) ends the transfer.
  int stall_timeout_ms = 30000;
  size_t max_body_bytes = size_t{16} << 20;
  int max_redirects = 5;
};

struct HttpResult {
  bool ok = false;    // a complete body with a 2xx status
  long status = 0;    // the last response's status; 0 when none arrived
  std::string body;   // empty unless ok
  std::string error;  // why it failed (UTF-8), empty when ok
};

class HttpClient;

// One running or ended download. Destroying it aborts the worker, waits for it (the worker
// notices the abort at once) and drops a result not yet delivered.
class HttpTransfer {
 public:
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  // True until the handler has been given the result.
  bool running() const { return !delivered_; }

 private:
  friend class HttpClient;
  struct Worker;
  HttpTransfer(HttpClient& client, std::string url, std::function<void(HttpResult)> done);

  HttpClient& client_;
  std::function<void(HttpResult)> done_;
  std::unique_ptr<Worker> worker_;
  bool delivered_ = false;
};

class HttpClient {
 public:
  explicit HttpClient(HttpLimits limits = {});
  // Every transfer must have been destroyed first.
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Starts a GET of `url` (bytes as given). `done` runs from DeliverFinished, on its caller's
  // thread, unless the transfer is destroyed first.
  std::unique_ptr<HttpTransfer> Get(std::string url, std::function<void(HttpResult)> done);

  // Runs the handlers of the transfers that ended since the last call. A handler may destroy
  // its own transfer or any other.
  void DeliverFinished();

  const HttpLimits& limits() const { return limits_; }

 private:
  friend class HttpTransfer;
  struct Finished {
    HttpTransfer* transfer;
    HttpResult result;
  };
  void Queue(HttpTransfer* transfer, HttpResult result);
  void Forget(HttpTransfer* transfer);

  HttpLimits limits_;
  std::mutex mutex_;
  std::deque<Finished> finished_;
};

}  // namespace novu::platform
