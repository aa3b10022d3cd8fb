#include "controls/novu_http.h"

#include "core/cp932.h"
#include "core/euc_jp.h"
#include "core/process_state.h"
#include "objects/object_list.h"
#include "platform/http_client.h"

namespace novu {
namespace {

bool IsBlank(char c) {
  return static_cast<uint8_t>(c) <= ' ';
}

}  // namespace

TNovuHttp::TNovuHttp(ObjectList* owner, platform::HttpClient* client, const ProcessState* state)
    : TNovuComponent(owner), client_(client), state_(state) {}

// The transfer goes first: destroying it aborts the worker and waits for it.
TNovuHttp::~TNovuHttp() {
  transfer_.reset();
}

const PropertyTable& TNovuHttp::Table() {
  using R = PropertyRows<TNovuHttp>;
  static const PropertyTable table(
      &TNovuComponent::Table(),
      {
          R::Answer(PR_SOURCE, [](const TNovuHttp& h) { return h.url_; })
              .Set([](TNovuHttp& h, const PropValue& v) { h.SetSource(PropAsStr(v)); }),
          R::Answer(PR_TEXT, [](const TNovuHttp& h) { return h.Text(); }),
          R::Field(PR_ONPLAYEND, &TNovuHttp::on_play_end_).NotSaved(),
      });
  return table;
}

bool TNovuHttp::downloading() const {
  return transfer_ != nullptr && transfer_->running();
}

std::string TNovuHttp::AddressFrom(const std::string& name) const {
  const TNovuObject* other = owner() != nullptr ? owner()->FindByName(name) : nullptr;
  const std::string* stream = other != nullptr ? other->DataStream() : nullptr;
  if (stream == nullptr) return {};
  size_t begin = 0;
  size_t end = stream->size();
  while (begin < end && IsBlank((*stream)[begin])) ++begin;
  while (end > begin && IsBlank((*stream)[end - 1])) --end;
  return stream->substr(begin, end - begin);
}

void TNovuHttp::SetSource(const std::string& source) {
  if (downloading()) return;
  data_.clear();
  transfer_.reset();
  url_ = !source.empty() && source[0] == '!' ? AddressFrom(source.substr(1)) : source;
  if (client_ == nullptr) {
    platform::HttpResult none;
    Finished(std::move(none));
    return;
  }
  transfer_ =
      client_->Get(url_, [this](platform::HttpResult result) { Finished(std::move(result)); });
}

void TNovuHttp::Finished(platform::HttpResult result) {
  data_ = result.ok ? std::move(result.body) : std::string();
  if (state_ != nullptr && state_->terminate) return;
  PostEvent(on_play_end_, {}, static_cast<uint8_t>(PR_ONPLAYEND));
}

std::string TNovuHttp::Text() const {
  if (data_.empty()) return {};
  const std::string text = EucJpToCp932(data_);
  std::vector<std::string> lines = cp932::SplitAtLineEnds(text);
  // A line end closes its line: it does not open an empty one after it.
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined.push_back(kHttpLineSeparator);
    joined += lines[i];
  }
  return joined;
}

}  // namespace novu
