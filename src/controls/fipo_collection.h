#pragma once
// TFipoCollection: the image cache shared by every picture control. A control asks for a file
// by name and gets the decoded frames; one file shown by several controls is decoded once and
// kept exactly as long as some control uses it. A file that is missing or cannot be decoded
// becomes an invisible 8 × 8 placeholder, so a control never has to cope with "no picture".
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "render/dibx.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

// One frame of a cached picture.
struct TFipoItemFrame {
  std::unique_ptr<render::TDIBX> surface;
  std::unique_ptr<render::TDIBX> mask;  // 8-bit; present with an alpha layer or masks asked for
  int32_t key_colour = -1;              // 0x00BBGGRR, -1 none
  int32_t delay = 1;                    // ms, at least 1
  int32_t offset_x = 0;                 // top-left of a trimmed frame
  int32_t offset_y = 0;
  bool alpha_layer = false;  // the file gave the frame a mask of its own
};

// One cached picture, shared by its users.
class TFipoItem {
 public:
  explicit TFipoItem(std::string key) : key_(std::move(key)) {}

  const std::string& key() const { return key_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int64_t total_time() const { return total_time_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  // Null out of range.
  TFipoItemFrame* Frame(int index);
  const std::vector<const void*>& users() const { return users_; }
  bool placeholder() const { return placeholder_; }

 private:
  friend class TFipoCollection;

  std::string key_;
  std::vector<const void*> users_;
  std::vector<TFipoItemFrame> frames_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int64_t total_time_ = 0;
  bool placeholder_ = false;
};

class TFipoCollection {
 public:
  // The whole content of a game file, or nothing when no data source has it.
  using FileLoader = std::function<std::optional<std::vector<uint8_t>>(std::string_view name)>;

  // `code` unscrambles layered images of the project; `depth` is the screen depth the frame
  // surfaces are created at.
  explicit TFipoCollection(FileLoader loader, int32_t code = 0, int depth = 32);
  ~TFipoCollection();
  TFipoCollection(const TFipoCollection&) = delete;
  TFipoCollection& operator=(const TFipoCollection&) = delete;

  // The whole content of a game file through the cache's loader, for what controls read
  // beside their pictures (films, region maps, preview menus); none when no data source has it.
  std::optional<std::vector<uint8_t>> LoadFile(std::string_view name) const {
    return loader_ ? loader_(name) : std::nullopt;
  }
  // The item of `name` with the options (decoded now when nobody holds it yet); `user` is
  // added to its users once.
  TFipoItem* Acquire(const void* user, std::string_view name, bool trimmed, bool masked);
  // Removes the user; the item goes away with its last user.
  void Release(TFipoItem* item, const void* user);
  static int FrameCount(const TFipoItem* item) { return item != nullptr ? item->FrameCount() : 0; }

  // The cache key of a file asked for with these options.
  static std::string KeyOf(std::string_view name, bool trimmed, bool masked);
  // The item cached under that key (compared without regard to case), or null.
  TFipoItem* Find(std::string_view key) const;
  size_t size() const { return items_.size(); }

  bool dither() const { return dither_; }
  // A changed flag reloads every picture into its existing surfaces.
  void SetDither(bool dither);
  // Decodes every item again; with `recreate` the frame surfaces are first made anew at the
  // current depth (after a screen-mode change).
  void Reload(bool recreate);
  void SetDepth(int depth) { depth_ = depth; }
  // The project's identification code, for pictures decoded from now on.
  void SetCode(int32_t code) { code_ = code; }
  int32_t code() const { return code_; }
  int depth() const { return depth_; }
  // The frame surfaces drop what they hold on the display device (nothing on this platform:
  // every surface lives in memory).
  void ReleaseSurfaces() {}

  // Where a picture that cannot be read or decoded is reported (a CP932 line: the file name
  // and the reason), once per file; it still shows as the placeholder.
  using WarningSink = std::function<void(std::string_view cp932_line)>;
  void SetWarningSink(WarningSink sink) { warn_ = std::move(sink); }

  // The dither flag in the status data.
  void SaveFlag(BinaryWriter& out) const;
  void LoadFlag(BinaryReader& in, int32_t version);

 private:
  void Load(TFipoItem& item, bool refresh_only);
  void LoadPlaceholder(TFipoItem& item, bool masked);

  FileLoader loader_;
  int32_t code_;
  int depth_;
  bool dither_ = false;
  std::unordered_map<std::string, std::unique_ptr<TFipoItem>> items_;
  WarningSink warn_;
  std::unordered_set<std::string> warned_;  // folded names already reported
};

}  // namespace novu
