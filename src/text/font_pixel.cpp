// The glyph cache: lookup by character, face, size, style and level; rasterising on a miss.
#include "text/font_pixel.h"

#include <algorithm>

#include "platform/error.h"

namespace novu::text {

const std::array<uint8_t, 5> kLevel1Coverage = {0, 79, 127, 207, 255};
const std::array<uint8_t, 17> kLevel2Coverage = {0,   43,  55,  67,  79,  91,  103, 115, 159,
                                                 171, 183, 195, 207, 219, 231, 243, 255};
const std::array<uint8_t, 65> kLevel3Coverage = {
    0,   18,  21,  24,  27,  30,  33,  36,  55,  58,  61,  64,  67,  70,  73,  76,  79,
    82,  85,  88,  91,  94,  97,  100, 119, 122, 125, 128, 131, 134, 137, 140, 143, 146,
    149, 152, 155, 158, 161, 164, 183, 186, 189, 192, 195, 198, 201, 204, 207, 210, 213,
    216, 219, 222, 225, 228, 231, 234, 237, 240, 243, 246, 249, 252, 255};

uint8_t CoverageOfGrey(int level, int grey) {
  grey = std::clamp(grey, 0, platform::MaxGrey(level));
  switch (level) {
    case 1:
      return kLevel1Coverage[static_cast<size_t>(grey)];
    case 2:
      return kLevel2Coverage[static_cast<size_t>(grey)];
    case 3:
      return kLevel3Coverage[static_cast<size_t>(grey)];
    default:
      return grey ? 255 : 0;
  }
}

namespace {

std::string_view FaceOrDefault(std::string_view font_name) {
  return font_name.empty() ? kDefaultFontName : font_name;
}

std::array<uint8_t, 65> CoverageTable(int level) {
  std::array<uint8_t, 65> table{};
  for (int grey = 0; grey <= platform::MaxGrey(level); ++grey) {
    table[static_cast<size_t>(grey)] = CoverageOfGrey(level, grey);
  }
  return table;
}

}  // namespace

TFontPixelManager::TFontPixelManager(std::unique_ptr<platform::GlyphSource> source)
    : source_(std::move(source)) {}

TFontPixelManager::~TFontPixelManager() = default;

void TFontPixelManager::SetLevel(int level) {
  level_ = grey_failed_ ? 0 : std::clamp(level, 0, 3);
}

namespace {

bool Matches(const TFontPixel& p, uint16_t code, std::string_view font_name, int flags, int height,
             int level) {
  return p.code == code && p.font_height == height && p.flags == flags && p.level == level &&
         p.font_name == font_name;
}

}  // namespace

TFontPixelManager::RecentList::iterator TFontPixelManager::Find(uint16_t code,
                                                                std::string_view font_name,
                                                                int flags, int height, int level) {
  for (const RecentList::iterator& it : buckets_[code & 0xFF]) {
    if (Matches(**it, code, font_name, flags, height, level)) return it;
  }
  return recent_.end();
}

bool TFontPixelManager::Holds(uint16_t code, std::string_view font_name, int flags, int height,
                              int level) const {
  font_name = FaceOrDefault(font_name);
  const auto& bucket = buckets_[code & 0xFF];
  return std::any_of(bucket.begin(), bucket.end(), [&](const RecentList::iterator& it) {
    return Matches(**it, code, font_name, flags, height, level);
  });
}

std::shared_ptr<const TFontPixel> TFontPixelManager::Get(uint16_t code, std::string_view font_name,
                                                         int flags, int height) {
  font_name = FaceOrDefault(font_name);
  const auto hit = Find(code, font_name, flags, height, level_);
  if (hit != recent_.end()) {
    recent_.splice(recent_.begin(), recent_, hit);
    return *hit;
  }
  const int asked_level = level_;
  Entry made = Make(code, font_name, flags, height);
  if (made->level != asked_level) {
    // The grey rendering failed and the level dropped to 0: the character may already be
    // cached at that level.
    if (const auto again = Find(code, font_name, flags, height, made->level);
        again != recent_.end()) {
      recent_.splice(recent_.begin(), recent_, again);
      return *again;
    }
  }
  recent_.push_front(made);
  buckets_[code & 0xFF].push_back(recent_.begin());
  EvictOverflow();
  return made;
}

void TFontPixelManager::EvictOverflow() {
  while (recent_.size() > kCapacity) {
    const auto last = std::prev(recent_.end());
    auto& bucket = buckets_[(*last)->code & 0xFF];
    bucket.erase(std::find(bucket.begin(), bucket.end(), last));
    // Users holding the entry keep it alive; the cache only lets go of its share.
    recent_.erase(last);
  }
}

void TFontPixelManager::SelectFont(std::string_view font_name, int flags, int height) {
  platform::FontRequest request{std::string(font_name), height, flags};
  if (has_font_ && request == font_) return;
  const auto metrics = source_->Metrics(request);
  if (!metrics) {
    has_font_ = false;
    throw NovuError("Error:GetOutlineTextMetrics");
  }
  font_ = std::move(request);
  metrics_ = *metrics;
  has_font_ = true;
}

TFontPixelManager::Entry TFontPixelManager::Make(uint16_t code, std::string_view font_name,
                                                 int flags, int height) {
  SelectFont(font_name, flags, height);
  auto outline = source_->Outline(font_, code, level_);
  if (!outline && level_ != 0) {
    grey_failed_ = true;
    level_ = 0;
    outline = source_->Outline(font_, code, 0);
  }

  auto pixel = std::make_shared<TFontPixel>();
  pixel->code = code;
  pixel->font_name = std::string(font_name);
  pixel->font_height = height;
  pixel->flags = flags;
  pixel->level = level_;
  pixel->abc = source_->Abc(font_, code);
  if (flags & kStyleUnderline) pixel->underline_size = std::max(1, metrics_.underscore_size);
  if (flags & kStyleStrikeOut) {
    pixel->strikeout_position = metrics_.ascent - metrics_.strikeout_position;
    pixel->strikeout_size = std::max(1, metrics_.strikeout_size);
  }

  const bool has_ink = outline && outline->width > 0 && outline->height > 0 &&
                       outline->grey.size() == static_cast<size_t>(outline->width) *
                                                   static_cast<size_t>(outline->height);
  if (!has_ink) {
    pixel->right_spacing = std::max(0, source_->TextWidth(font_, code));
    return pixel;
  }
  const auto table = CoverageTable(level_);
  const int top = platform::MaxGrey(level_);
  pixel->width = outline->width;
  pixel->height = outline->height;
  pixel->coverage.resize(outline->grey.size());
  std::transform(outline->grey.begin(), outline->grey.end(), pixel->coverage.begin(),
                 [&](uint8_t grey) { return table[std::min<int>(grey, top)]; });
  pixel->origin_x = std::max(0, outline->origin_x);
  pixel->origin_y = std::max(0, metrics_.ascent - outline->origin_y);
  pixel->right_spacing = std::max(0, outline->advance - outline->width - pixel->origin_x);
  return pixel;
}

}  // namespace novu::text
