#include "render/film_file.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "platform/error.h"

namespace novu::render {
namespace {

constexpr size_t kTagSize = 13;
constexpr size_t kMagicSize = 10;
// The smallest track record: the kind byte and the common part.
constexpr size_t kMinListRecord = 1 + 6 * 4 + 3;

class BinaryFieldReader final : public FrameListFields {
 public:
  BinaryFieldReader(BinaryReader& in, int version) : in_(in), version_(version) {}
  int version() const override { return version_; }
  void I32(std::string_view, int32_t& v) override { v = in_.I32(); }
  void U8(std::string_view, uint8_t& v) override { v = in_.U8(); }
  void F64(std::string_view, double& v) override { v = std::bit_cast<double>(in_.U64()); }
  void Str(std::string_view, std::string& v) override { v = in_.String(); }
  void Pt(std::string_view, Point& v) override {
    v.x = in_.I32();
    v.y = in_.I32();
  }

 private:
  BinaryReader& in_;
  int version_;
};

class BinaryFieldWriter final : public FrameListFields {
 public:
  BinaryFieldWriter(BinaryWriter& out, int version) : out_(out), version_(version) {}
  int version() const override { return version_; }
  void I32(std::string_view, int32_t& v) override { out_.I32(v); }
  void U8(std::string_view, uint8_t& v) override { out_.U8(v); }
  void F64(std::string_view, double& v) override { out_.U64(std::bit_cast<uint64_t>(v)); }
  void Str(std::string_view, std::string& v) override { out_.String(v); }
  void Pt(std::string_view, Point& v) override {
    out_.I32(v.x);
    out_.I32(v.y);
  }

 private:
  BinaryWriter& out_;
  int version_;
};

bool IsDelimiter(char c) {
  return c == '\\' || c == '/';
}

// Appends the parts of a path; each ".." drops the last part (at the data root it stays there)
// and "." parts are left out.
void AppendPathParts(std::vector<std::string_view>& parts, std::string_view path) {
  size_t begin = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsDelimiter(path[i])) {
      // A trail byte may equal '\\' (0x5C): it stays with its lead byte.
      if (cp932::IsLeadByte(static_cast<uint8_t>(path[i])) && i + 1 < path.size()) ++i;
      continue;
    }
    const std::string_view part = path.substr(begin, i - begin);
    begin = i + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
}

int ParseVersion(std::string_view digits) {
  int version = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      throw NovuError::FromUtf8("モーションファイルの版が数字ではありません");
    }
    version = version * 10 + (c - '0');
  }
  return version;
}

}  // namespace

void FilmFile::Clear() {
  lists_.clear();
  length_ = 0;
}

int32_t FilmFile::LoopStart() const {
  if (version > 106) return loop_start;
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{loop_start} * 2, INT32_MIN, INT32_MAX));
}

bool FilmFile::HasMagic(std::span<const uint8_t> data) {
  if (data.size() < kTagSize) return false;
  const std::string_view head(reinterpret_cast<const char*>(data.data()), kMagicSize);
  return head == kCinemaMagic || head == kMotionMagic;
}

void FilmFile::Load(std::span<const uint8_t> data) {
  Clear();
  if (!HasMagic(data)) return;
  BinaryReader in(data);
  const std::string tag = in.BytesAsString(kTagSize);
  const std::string_view head = std::string_view(tag).substr(0, kMagicSize);
  try {
    magic = std::string(head);
    version = ParseVersion(std::string_view(tag).substr(kMagicSize));
    screen = {in.I32(), in.I32()};
    background = in.I32();
    relative = version >= 102 ? in.U8() : 0;
    reference = version >= 104 ? Point{in.I32(), in.I32()} : Point{};
    loop_start = version >= 106 ? in.I32() : 0;
    const size_t count = in.Count(kMinListRecord);
    lists_.reserve(count);
    BinaryFieldReader fields(in, version);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t kind = in.U8();
      std::unique_ptr<TCustomFrameList> list = TCustomFrameList::Create(kind);
      if (list == nullptr) {
        throw NovuError::FromUtf8("モーションファイルに不明なトラックの種類があります: " +
                                  std::to_string(kind & 0x7F));
      }
      list->VisitRecord(fields);
      lists_.push_back(std::move(list));
    }
    if (!in.AtEnd()) {
      throw NovuError::FromUtf8("モーションファイルの終わりに余分なデータがあります (" +
                                std::to_string(in.remaining()) + " バイト)");
    }
  } catch (...) {
    Clear();
    throw;
  }
  Link();
}

std::vector<uint8_t> FilmFile::Save() const {
  BinaryWriter out;
  std::string tag = magic.substr(0, kMagicSize);
  tag.resize(kMagicSize, ' ');
  const int shown = std::clamp(version, 0, 999);
  tag += static_cast<char>('0' + shown / 100);
  tag += static_cast<char>('0' + shown / 10 % 10);
  tag += static_cast<char>('0' + shown % 10);
  out.Bytes(tag);
  out.I32(screen.x);
  out.I32(screen.y);
  out.I32(background);
  if (version >= 102) out.U8(relative);
  if (version >= 104) {
    out.I32(reference.x);
    out.I32(reference.y);
  }
  if (version >= 106) out.I32(loop_start);
  out.I32(static_cast<int32_t>(lists_.size()));
  BinaryFieldWriter fields(out, version);
  for (const auto& list : lists_) {
    out.U8(list->Kind());
    list->VisitRecord(fields);
  }
  return out.Take();
}

void FilmFile::Link() {
  const auto count = static_cast<int64_t>(lists_.size());
  for (auto& list : lists_) list->SetParent(nullptr);
  for (int64_t i = 0; i < count; ++i) {
    const int32_t index = lists_[i]->parent_index();
    if (index < 0 || index >= count || index == i) continue;
    // Linking i under index closes a cycle when i is already among index's ancestors.
    bool cycle = false;
    for (const TCustomFrameList* up = lists_[index].get(); up != nullptr; up = up->parent()) {
      if (up == lists_[i].get()) {
        cycle = true;
        break;
      }
    }
    if (!cycle) lists_[i]->SetParent(lists_[index].get());
  }
  int64_t length = 0;
  for (auto& list : lists_) {
    list->ComputeAbsoluteStart();
    length = std::max(length, list->AbsoluteEnd());
  }
  length_ = static_cast<int32_t>(std::min<int64_t>(length, std::numeric_limits<int32_t>::max()));
}

std::string FilmFolderOf(std::string_view file_name) {
  size_t end = 0;
  for (size_t i = 0; i < file_name.size(); ++i) {
    if (IsDelimiter(file_name[i])) {
      end = i + 1;
    } else if (cp932::IsLeadByte(static_cast<uint8_t>(file_name[i]))) {
      ++i;
    }
  }
  return std::string(file_name.substr(0, end));
}

std::string ResolveFilmName(std::string_view folder, std::string_view name) {
  if (name.empty()) return {};
  std::vector<std::string_view> parts;
  const bool absolute = IsDelimiter(name.front()) || name.find(':') != std::string_view::npos;
  if (!absolute) AppendPathParts(parts, folder);
  AppendPathParts(parts, name);
  std::string out;
  for (std::string_view part : parts) {
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

}  // namespace novu::render
