#include "engine/status_data.h"

#include <cstdio>

#include "controls/fipo_collection.h"
#include "controls/novu_read_list.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "platform/error.h"

namespace novu {
namespace {

constexpr std::string_view kHeaderTag = "Status";
constexpr size_t kHeaderSize = 9;

// The blocks of a version: read marks from 100, the image-collection flag from 101, the data
// tables from 103.
void WriteEmptyReadMarks(BinaryWriter& out) {
  out.I32(0);      // marked pages
  out.String({});  // armed mark: page, command index, message page index, window
  out.I32(0);
  out.I32(0);
  out.String({});
}
void WriteEmptyImageStatus(BinaryWriter& out) {
  out.U8(0);
}  // dither flag
// Steps over the read marks: pages with their command and message page indexes, then the
// armed mark.
void SkipReadMarks(BinaryReader& in) {
  const size_t pages = in.Count(8);
  for (size_t i = 0; i < pages; ++i) {
    in.String();
    const size_t marks = in.Count(8);
    in.Skip(marks * 8);
  }
  in.String();
  in.I32();
  in.I32();
  in.String();
}

constexpr int32_t kFirstVersionWithTables = 103;

void WriteEmptyTables(BinaryWriter& out) {
  out.I32(TDBManager::kBlockVersion);
  out.I32(0);  // status tables
}

}  // namespace

void StatusData::Read(std::span<const uint8_t> entry, TParamCollection& vars) {
  BinaryReader in(entry);
  version_ = 0;
  if (entry.size() >= kHeaderSize && std::string_view(reinterpret_cast<const char*>(entry.data()),
                                                      kHeaderTag.size()) == kHeaderTag) {
    int32_t version = 0;
    bool digits = true;
    for (size_t i = kHeaderTag.size(); i < kHeaderSize; ++i) {
      const char c = static_cast<char>(entry[i]);
      digits = digits && c >= '0' && c <= '9';
      version = version * 10 + (c - '0');
    }
    if (digits) {
      version_ = version;
      in.Skip(kHeaderSize);
    }
  }
  vars.LoadStatusFromStream(in);
  const auto rest = in.Bytes(in.remaining());
  blocks_.assign(rest.begin(), rest.end());
  // An entry that stops after the variables (as fresh status data used to be written) has none
  // of the later blocks: they are written in their empty form.
  blocks_version_ = blocks_.empty() ? 0 : version_;
  dither_at_.reset();
  tables_at_.reset();
  read_marks_end_.reset();
  if (reads_ != nullptr) reads_->Clear();
  if (blocks_version_ < 100) return;
  BinaryReader blocks(blocks_);
  try {
    if (reads_ != nullptr) {
      reads_->Load(blocks, version_);
    } else {
      SkipReadMarks(blocks);
    }
    read_marks_end_ = blocks.position();
  } catch (const NovuError&) {
    // Damaged read marks are dropped (and written afresh); the later blocks cannot be found.
    return;
  }
  if (blocks_version_ < 101 || blocks.AtEnd()) return;
  dither_at_ = blocks.position();
  if (images_ != nullptr) images_->LoadFlag(blocks, version_);
  blocks.Seek(*dither_at_ + 1);
  if (blocks_version_ < kFirstVersionWithTables || tables_ == nullptr) return;
  const size_t tables_begin = blocks.position();
  if (blocks.AtEnd()) {
    tables_at_ = {tables_begin, tables_begin};  // written from the manager after the flag
    return;
  }
  tables_->LoadTables(blocks, true);
  tables_at_ = {tables_begin, blocks.position()};
}

std::vector<uint8_t> StatusData::Write(const TParamCollection& vars) const {
  BinaryWriter out;
  char header[16];
  std::snprintf(header, sizeof header, "Status%.3d", kStatusVersion);
  out.Bytes(std::string_view(header));
  vars.SaveStatusToStream(out);
  std::vector<uint8_t> blocks = blocks_;
  if (dither_at_ && images_ != nullptr) blocks[*dither_at_] = images_->dither() ? 1 : 0;
  const std::span<const uint8_t> read(blocks);
  // Where the blocks after the read marks begin in what was read.
  size_t after_marks = 0;
  if (blocks_version_ < 100) {
    out.Bytes(read);
    after_marks = read.size();
    if (reads_ != nullptr) {
      reads_->Save(out);
    } else {
      WriteEmptyReadMarks(out);
    }
  } else if (reads_ != nullptr && read_marks_end_) {
    // The read marks as they are now, in place of those read.
    reads_->Save(out);
    after_marks = *read_marks_end_;
  }
  if (tables_at_ && tables_ != nullptr) {
    // The status tables as they are now, in place of those read.
    const auto [begin, end] = *tables_at_;
    out.Bytes(read.subspan(after_marks, begin - after_marks));
    tables_->SaveTables(out, true);
    out.Bytes(read.subspan(end));
    return out.Take();
  }
  out.Bytes(read.subspan(after_marks));
  if (blocks_version_ < 101) {
    if (images_ != nullptr) {
      images_->SaveFlag(out);
    } else {
      WriteEmptyImageStatus(out);
    }
  }
  if (blocks_version_ < kFirstVersionWithTables) {
    if (tables_ != nullptr) {
      tables_->SaveTables(out, true);
    } else {
      WriteEmptyTables(out);
    }
  }
  return out.Take();
}

}  // namespace novu
