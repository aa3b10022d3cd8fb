#include "platform/http_client.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace novu::platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

// How long the worker sleeps in one wait for the connection at most; an abort wakes it at once.
constexpr int kPollMs = 250;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

// What the transfer's callbacks share with the worker loop.
struct TransferProgress {
  const std::atomic<bool>* abort = nullptr;
  const HttpLimits* limits = nullptr;
  std::string body;
  bool too_large = false;
  bool stalled = false;
  curl_off_t last_received = -1;
  SteadyClock::time_point last_change = SteadyClock::now();
};

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
  auto& progress = *static_cast<TransferProgress*>(user);
  const size_t bytes = size * count;
  if (bytes > progress.limits->max_body_bytes - progress.body.size()) {
    progress.too_large = true;
    return 0;  // ends the transfer with a write error
  }
  progress.body.append(data, bytes);
  return bytes;
}

// Returning non-zero aborts the transfer: on request, or when nothing arrived for too long.
int CheckProgress(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  auto& progress = *static_cast<TransferProgress*>(user);
  if (progress.abort->load()) return 1;
  const auto now = SteadyClock::now();
  if (received != progress.last_received) {
    progress.last_received = received;
    progress.last_change = now;
    return 0;
  }
  const auto idle =
      std::chrono::duration_cast<std::chrono::milliseconds>(now - progress.last_change);
  if (idle.count() >= progress.limits->stall_timeout_ms) {
    progress.stalled = true;
    return 1;
  }
  return 0;
}

void Configure(CURL* easy, const std::string& url, const HttpLimits& limits,
               TransferProgress& progress, char* error_buffer) {
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(limits.max_redirects));
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect_timeout_ms));
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "NovuPlayer");
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error_buffer);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &progress);
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &CheckProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &progress);
}

std::string FailureText(CURLcode code, const TransferProgress& progress, const char* detail) {
  if (progress.too_large) return "the response is larger than the download limit";
  if (progress.stalled) return "the server sent nothing for too long";
  if (progress.abort->load()) return "aborted";
  return detail[0] != '\0' ? detail : curl_easy_strerror(code);
}

}  // namespace

// The worker thread and the multi handle it waits on; the handle lives as long as the thread,
// so that an abort can wake the wait from the main thread.
struct HttpTransfer::Worker {
  std::string url;
  HttpLimits limits;
  CURLM* multi = nullptr;
  std::atomic<bool> abort{false};
  std::thread thread;

  HttpResult Perform() {
    TransferProgress progress;
    progress.abort = &abort;
    progress.limits = &limits;
    char error_buffer[CURL_ERROR_SIZE] = {};
    EasyHandle easy(curl_easy_init());
    if (!easy || multi == nullptr) {
      HttpResult failed;
      failed.error = "the HTTP library could not be started";
      return failed;
    }
    Configure(easy.get(), url, limits, progress, error_buffer);
    curl_multi_add_handle(multi, easy.get());
    CURLcode code = CURLE_OK;
    bool done = false;
    while (!done) {
      if (abort.load()) {
        code = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      int still_running = 0;
      if (curl_multi_perform(multi, &still_running) != CURLM_OK) {
        code = CURLE_FAILED_INIT;
        break;
      }
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
          code = message->data.result;
          done = true;
        }
      }
      if (!done) curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
    HttpResult result;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &result.status);
    curl_multi_remove_handle(multi, easy.get());
    if (code != CURLE_OK) {
      result.error = FailureText(code, progress, error_buffer);
    } else if (result.status < 200 || result.status > 299) {
      result.error = "the server answered with status " + std::to_string(result.status);
    } else {
      result.ok = true;
      result.body = std::move(progress.body);
    }
    return result;
  }
};

HttpTransfer::HttpTransfer(HttpClient& client, std::string url,
                           std::function<void(HttpResult)> done)
    : client_(client), done_(std::move(done)), worker_(std::make_unique<Worker>()) {
  worker_->url = std::move(url);
  worker_->limits = client.limits();
  worker_->multi = curl_multi_init();
  worker_->thread = std::thread([this] { client_.Queue(this, worker_->Perform()); });
}

HttpTransfer::~HttpTransfer() {
  worker_->abort.store(true);
  if (worker_->multi != nullptr) curl_multi_wakeup(worker_->multi);
  if (worker_->thread.joinable()) worker_->thread.join();
  if (worker_->multi != nullptr) curl_multi_cleanup(worker_->multi);
  client_.Forget(this);
}

HttpClient::HttpClient(HttpLimits limits) : limits_(limits) {
  InitCurlOnce();
}

HttpClient::~HttpClient() = default;

std::unique_ptr<HttpTransfer> HttpClient::Get(std::string url,
                                              std::function<void(HttpResult)> done) {
  return std::unique_ptr<HttpTransfer>(new HttpTransfer(*this, std::move(url), std::move(done)));
}

void HttpClient::Queue(HttpTransfer* transfer, HttpResult result) {
  std::lock_guard lock(mutex_);
  finished_.push_back({transfer, std::move(result)});
}

void HttpClient::Forget(HttpTransfer* transfer) {
  std::lock_guard lock(mutex_);
  std::erase_if(finished_, [transfer](const Finished& f) { return f.transfer == transfer; });
}

void HttpClient::DeliverFinished() {
  // One entry at a time: a handler may destroy other transfers, which takes their entries out.
  for (;;) {
    Finished next;
    {
      std::lock_guard lock(mutex_);
      if (finished_.empty()) return;
      next = std::move(finished_.front());
      finished_.pop_front();
    }
    HttpTransfer& transfer = *next.transfer;
    // The worker has queued its result, so it is ending; it must be gone before the handler
    // may free the transfer.
    if (transfer.worker_->thread.joinable()) transfer.worker_->thread.join();
    transfer.delivered_ = true;
    std::function<void(HttpResult)> done = std::move(transfer.done_);
    if (done) done(std::move(next.result));
  }
}

}  // namespace novu::platform
