#pragma once
// TNovuHttp (LT_HTTP): a script object that downloads one URL into memory on a worker thread.
// Writing PR_SOURCE starts a download (ignored while one runs); PR_ONPLAYEND is posted when it
// has ended, and PR_TEXT reads the received EUC-JP text as CP932 lines joined by 0x01. A source
// "!name" downloads the address held in the received data of the object called name. While a
// download runs the object's data reads empty; a failed download leaves it empty. Nothing of it
// is saved beyond the component's own record.
#include <memory>
#include <string>

#include "objects/novu_object.h"
#include "objects/property_table.h"

namespace novu {

struct ProcessState;
namespace platform {
class HttpClient;
class HttpTransfer;
struct HttpResult;
}  // namespace platform

// The separator PR_TEXT puts between the lines of the received text.
inline constexpr char kHttpLineSeparator = '\x01';

class TNovuHttp final : public TNovuComponent {
 public:
  // Without a client every download ends at once, empty. `state` gives the terminate flag.
  TNovuHttp(ObjectList* owner, platform::HttpClient* client, const ProcessState* state);
  ~TNovuHttp() override;

  ComponentType GetType() const override { return LT_HTTP; }
  static const PropertyTable& Table();
  const PropertyTable& Properties() const override { return Table(); }
  const std::string* DataStream() const override { return &data_; }

  bool downloading() const;

 private:
  void SetSource(const std::string& source);
  // The address a "!name" source names: the other object's data, without surrounding blanks.
  std::string AddressFrom(const std::string& name) const;
  void Finished(platform::HttpResult result);
  std::string Text() const;

  platform::HttpClient* client_;
  const ProcessState* state_;
  std::string url_;
  std::string data_;
  std::string on_play_end_;
  std::unique_ptr<platform::HttpTransfer> transfer_;
};

}  // namespace novu
