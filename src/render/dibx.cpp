#include "render/dibx.h"

#include <utility>

#include "core/cp932.h"
#include "platform/error.h"
#include "platform/file_io.h"
#include "render/image_codecs.h"

namespace novu::render {
namespace {

bool HasBmpExtension(const std::filesystem::path& path) {
  return cp932::EqualsNoCase(path.extension().string(), ".bmp");
}

}  // namespace

TDIBX::TDIBX() : owned_(std::make_unique<TDIBSurface>(1, 1, 15)), dib_(owned_.get()) {}
TDIBX::TDIBX(TDIBSurface& borrowed) : dib_(&borrowed) {}
TDIBX::~TDIBX() = default;

void TDIBX::SetBitCount(int depth) {
  SetSize(Width(), Height(), depth);
}

void TDIBX::SetSize(int width, int height, int depth) {
  dib_->SetSize(width, height, depth);
  TCustomDIBX::SetSize(width, height, depth);
}

void TDIBX::ResetSize() {
  SetSize(8, 8, BitCount());
}

uint8_t* TDIBX::ScanPointer(int x, int y) const {
  if (dib_->IsEmpty() || !dib_->Bounds().Contains(x, y)) return nullptr;
  return dib_->ScanLine(y) + (static_cast<size_t>(x) * dib_->StorageBitCount()) / 8;
}

void TDIBX::MakeUnique() {
  if (owned_) return;
  auto copy = std::make_unique<TDIBSurface>();
  copy->AssignFrom(*dib_);
  owned_ = std::move(copy);
  dib_ = owned_.get();
}

platform::FrameView TDIBX::PresentView() const {
  if (BitCount() != 32 || dib_->IsEmpty()) return {};
  return {reinterpret_cast<const uint32_t*>(dib_->ScanLine(0)), Width(), Height(),
          static_cast<int>(Pitch())};
}

void TDIBX::TakeImage(const TDIBSurface& image) {
  SetSize(image.Width(), image.Height(), BitCount());
  if (BitCount() <= 8 && image.BitCount() <= 8) dib_->Palette() = image.Palette();
  const Rect saved_clip = dib_->ClipRect();
  dib_->ClipRect() = {};
  dib_->Copy(0, 0, image.Bounds(), image);
  dib_->ClipRect() = saved_clip;
}

void TDIBX::LoadFromFile(const std::filesystem::path& path) {
  if (!HasBmpExtension(path)) return;
  const auto bytes = platform::ReadWholeFile(path);
  if (!bytes) throw NovuError::FromUtf8("Cannot read " + path.string());
  LoadFromStream(*bytes, 0);
}

void TDIBX::LoadFromStream(std::span<const uint8_t> data, int32_t code,
                           const LayeredImageDecoder* layered) {
  auto starts_with = [&](size_t offset, std::string_view tag) {
    return data.size() >= offset + tag.size() &&
           std::equal(tag.begin(), tag.end(), data.begin() + static_cast<ptrdiff_t>(offset));
  };
  if (starts_with(0, "BM")) return TakeImage(DecodeBmp(data));
  if (starts_with(1, "PNG")) return TakeImage(DecodePng(data));
  if (starts_with(0, "Fipo")) {
    if (!layered) throw NovuError::FromUtf8("No layered-image decoder given");
    TDIBSurface image;
    layered->DecodeFrameZero(data, code, image);
    return TakeImage(image);
  }
  throw NovuError::FromUtf8("Unknown image format");
}

void TDIBX::SaveToFile(const std::filesystem::path& path) const {
  if (!HasBmpExtension(path)) return;
  platform::WriteFileAtomically(path, EncodeBmp24(*dib_));
}

}  // namespace novu::render
