#include "controls/novu_history.h"

#include <algorithm>
#include <climits>

#include "controls/message_text_source.h"
#include "controls/novu_mes.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "core/cp932.h"
#include "core/geometry.h"
#include "core/serializer.h"
#include "platform/error.h"
#include "text/page_surfaces.h"
#include "text/text_layout.h"

namespace novu {
namespace {

// Saves after these versions carry the field.
constexpr int32_t kRecordVersion = 113;  // the formatted records and the layout settings
constexpr int32_t kValuesVersion = 124;  // recorded variable values

// A name kept only where it differs from the effective name before it.
std::string Compressed(const std::string& name, const std::string& previous) {
  return cp932::EqualsNoCase(name, previous) ? std::string() : name;
}

void SyncLayout(Serializer& s, HistoryLayout& l) {
  s.I32(l.font_size);
  s.I32(l.border_width);
  s.I32(l.shadow_offset);
  s.I32(l.width);
  s.I32(l.height);
  s.I32(l.line_spacing);
}

}  // namespace

std::string JoinValues(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& v : values) {
    if (!text.empty()) text += "\r\n";
    text += v;
  }
  return text;
}

std::vector<std::string> SplitValues(std::string_view text) {
  std::vector<std::string> values;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    values.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  return values;
}

std::string TNovuHistData::EffectiveName(size_t i) const {
  for (size_t k = std::min(i + 1, entries.size()); k-- > 0;) {
    if (!entries[k].page.empty()) return entries[k].page;
  }
  return {};
}

void TNovuHistData::Add(HistEntry entry) {
  const std::string previous = EffectiveName(entries.size());
  entry.page = Compressed(entry.page, previous);
  total_height = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{total_height} + entry.height, INT32_MIN, INT32_MAX));
  entries.push_back(std::move(entry));
}

void SyncHistData(Serializer& s, TNovuHistData& data) {
  auto count = static_cast<int32_t>(data.entries.size());
  s.I32(count);
  if (s.loading()) data.entries.assign(s.reader().CheckCount(count, 20), HistEntry{});
  for (HistEntry& e : data.entries) {
    s.String(e.page);
    s.I32(e.command_index);
    s.I32(e.first);
    s.I32(e.last);
    s.I32(e.height);
    if (s.Has(kValuesVersion)) s.String(e.values);
  }
  s.I32(data.total_height);
}

// ---- one history ----

TNovuNewHistory::TNovuNewHistory() {
  word_.settings.paging = true;
}

void TNovuNewHistory::ApplyLayout(const HistoryLayout& layout) {
  text::KxWordSettings& s = word_.settings;
  s.font_size = layout.font_size;
  s.border_width = layout.border_width;
  s.shadow_offset = layout.shadow_offset;
  s.wrap_width = Tame(std::max(layout.width, 0));
  s.visible_height = Tame(std::max(layout.height, 0));
  constexpr int32_t kSpacingLimit = text::TextPageSurfaces::kMaxHeight;
  s.line_spacing = std::clamp(layout.line_spacing, -kSpacingLimit, kSpacingLimit);
}

void TNovuNewHistory::Open(const HistoryLayout& layout, Pending entry) {
  pending_ = std::move(entry);
  // Later records keep the layout of the first one.
  if (records_.empty()) ApplyLayout(layout);
}

void TNovuNewHistory::Close(std::string_view window, MessageTextSource* source,
                            TParamCollection* vars) {
  if (pending_.page.empty() || pending_.window != window) return;
  if (formatted()) {
    CloseFormatted(source, vars);
  } else {
    CloseUnformatted();
  }
  pending_ = Pending{};
}

void TNovuNewHistory::CloseFormatted(MessageTextSource* source, TParamCollection* vars) {
  if (source == nullptr || !source->PageExists(pending_.page)) return;
  if (!cp932::EqualsNoCase(decoded_page_, pending_.page) ||
      decoded_index_ != pending_.command_index) {
    decoded_page_.clear();
    decoded_index_ = -1;
    word_.Clear();
    const std::optional<PageTexts> texts = source->Texts(pending_.page);
    if (!texts || pending_.command_index < 0 ||
        static_cast<size_t>(pending_.command_index) >= texts->size() ||
        !(*texts)[static_cast<size_t>(pending_.command_index)]) {
      return;
    }
    try {
      BinaryReader in(*(*texts)[static_cast<size_t>(pending_.command_index)]);
      word_.LoadGlyphs(in);
    } catch (const NovuError&) {
      word_.Clear();
      return;
    }
    decoded_page_ = pending_.page;
    decoded_index_ = pending_.command_index;
  }
  word_.variables = vars;
  word_.recorded_values = SplitValues(pending_.values);
  const int first = std::max(word_.GlyphAtTextPosition(std::max(pending_.first, 0)), 0);
  word_.ExpandVariables(first, -1);
  text::PageList pages;
  text::LayoutGlyphs(word_, pages, first, pending_.last);
  const int32_t visible = word_.settings.visible_height;
  for (const auto& page : pages) {
    HistEntry entry;
    entry.page = pending_.page;
    entry.command_index = pending_.command_index;
    entry.height = page->height + word_.settings.line_spacing;
    entry.values = pending_.values;
    bool any = false;
    for (const auto& row : page->rows) {
      for (const text::TWdGlyph* g : row->glyphs) {
        if (g->kind() == text::GlyphKind::kSpace) continue;
        const int at = word_.TextPositionOf(g);
        if (!any) entry.first = at;
        entry.last = at;
        any = true;
      }
    }
    if (!records_.empty() && int64_t{records_.back().total_height} + entry.height <= visible) {
      records_.back().Add(std::move(entry));
    } else {
      records_.emplace_back().Add(std::move(entry));
    }
  }
  while (max_count > 0 && records_.size() > static_cast<size_t>(max_count)) {
    records_.erase(records_.begin());
  }
  pages.clear();
  word_.CollapseVariables(first, -1);
  word_.recorded_values.clear();
}

std::string TNovuNewHistory::EntryName(size_t i) const {
  for (size_t k = std::min(i + 1, entries_.size()); k-- > 0;) {
    if (!entries_[k].page.empty()) return entries_[k].page;
  }
  return {};
}

void TNovuNewHistory::CloseUnformatted() {
  THistoryOldData entry;
  entry.page = Compressed(pending_.page, EntryName(entries_.size()));
  entry.command_index = pending_.command_index;
  entry.page_index = pending_.page_index;
  entry.width = pending_.width;
  entry.height = pending_.height;
  entries_.push_back(std::move(entry));
  while (max_count > 0 && entries_.size() > static_cast<size_t>(max_count)) {
    // The first kept entry inherits the name the dropped one carried for it.
    if (!entries_[0].page.empty() && entries_.size() > 1 && entries_[1].page.empty()) {
      entries_[1].page = entries_[0].page;
    }
    entries_.erase(entries_.begin());
  }
}

void TNovuNewHistory::Clear() {
  records_.clear();
  entries_.clear();
  pending_ = Pending{};
  decoded_page_.clear();
  decoded_index_ = -1;
  word_.Clear();
}

int32_t TNovuNewHistory::Count() const {
  if (!formatted()) return static_cast<int32_t>(entries_.size());
  int64_t total = 0;
  for (const TNovuHistData& r : records_) total += r.total_height;
  return static_cast<int32_t>(std::clamp<int64_t>(total, 0, INT32_MAX));
}

void TNovuNewHistory::Save(BinaryWriter& out) const {
  Serializer s(out);
  const_cast<TNovuNewHistory*>(this)->Sync(s);
}

void TNovuNewHistory::Load(BinaryReader& in, int32_t version) {
  Serializer s(in, version);
  Clear();
  Sync(s);
}

void TNovuNewHistory::Sync(Serializer& s) {
  BinaryReader* in = s.loading() ? &s.reader() : nullptr;
  if (in != nullptr && !s.Has(kRecordVersion)) in->String();
  auto n = static_cast<int32_t>(entries_.size());
  s.I32(n);
  if (in != nullptr) entries_.assign(in->CheckCount(n, 20), THistoryOldData{});
  if (s.Has(kRecordVersion)) {
    for (THistoryOldData& e : entries_) {
      s.String(e.page);
      s.I32(e.command_index);
      s.I32(e.page_index);
      s.I32(e.width);
      s.I32(e.height);
    }
  } else {
    for (THistoryOldData& e : entries_) s.String(e.page);
    for (THistoryOldData& e : entries_) s.I32(e.command_index);
    for (THistoryOldData& e : entries_) s.I32(e.page_index);
    for (THistoryOldData& e : entries_) {
      s.I32(e.width);
      s.I32(e.height);
    }
  }
  s.String(pending_.page);
  s.I32(pending_.command_index);
  s.I32(pending_.page_index);
  s.I32(pending_.width);
  s.I32(pending_.height);
  s.String(pending_.window);
  if (s.Has(kRecordVersion)) {
    s.I32(max_count);
    HistoryLayout layout{word_.settings.font_size,      word_.settings.border_width,
                         word_.settings.shadow_offset,  word_.settings.wrap_width,
                         word_.settings.visible_height, word_.settings.line_spacing};
    SyncLayout(s, layout);
    if (s.loading()) ApplyLayout(layout);
    s.I32(pending_.first);
    s.I32(pending_.last);
    auto records = static_cast<int32_t>(records_.size());
    s.I32(records);
    if (in != nullptr) records_.assign(in->CheckCount(records, 8), TNovuHistData{});
    for (TNovuHistData& r : records_) SyncHistData(s, r);
  }
  if (s.Has(kValuesVersion)) s.String(pending_.values);
}

// ---- the formats ----

TNovuHistoryFormatManager::TNovuHistoryFormatManager() {
  Reset();
}

void TNovuHistoryFormatManager::Reset() {
  formats_.clear();
  formats_.push_back(std::make_unique<TNovuHistoryFormat>());
}

TNovuHistoryFormat* TNovuHistoryFormatManager::Find(std::string_view name) {
  for (auto& f : formats_) {
    if (f->name == name) return f.get();
  }
  return nullptr;
}

TNovuHistoryFormat& TNovuHistoryFormatManager::FindOrAdd(std::string_view name) {
  if (TNovuHistoryFormat* f = Find(name)) return *f;
  auto& added = formats_.emplace_back(std::make_unique<TNovuHistoryFormat>());
  added->name = name;
  return *added;
}

void TNovuHistoryFormatManager::OpenEntry(std::string_view window, std::string_view script_page,
                                          std::string values, int32_t page_index, int32_t first,
                                          int32_t last, int32_t command_index, int32_t window_width,
                                          int32_t window_height) {
  for (auto& f : formats_) {
    TNovuNewHistory::Pending entry;
    entry.page = script_page;
    entry.command_index = command_index;
    entry.page_index = page_index;
    entry.window = window;
    entry.first = first;
    entry.last = last;
    entry.values = values;
    entry.width = window_width;
    entry.height = window_height;
    f->history.Open(f->layout, std::move(entry));
  }
}

void TNovuHistoryFormatManager::CloseEntry(std::string_view window) {
  for (auto& f : formats_) f->history.Close(window, source_, vars_);
}

void TNovuHistoryFormatManager::ClearAll() {
  for (auto& f : formats_) f->history.Clear();
}

void TNovuHistoryFormatManager::Show(TNovuHistoryFormat& format, int32_t start, int32_t count,
                                     TNovuMes& window) {
  const TNovuNewHistory& history = format.history;
  window.set_record_mode(kMesShowsHistory);
  window.references().clear();
  window.history_record().Clear();
  if (!history.formatted()) {
    const auto& entries = history.entries();
    const auto first = static_cast<size_t>(std::max(start, 0));
    const size_t end = std::min(entries.size(), first + static_cast<size_t>(std::max(count, 0)));
    for (size_t i = first; i < end; ++i) {
      const THistoryOldData& e = entries[i];
      window.references().push_back(
          MesReference{history.EntryName(i), e.command_index, e.page_index, e.width, e.height});
    }
    window.SetOffsetY(0);
  } else {
    // Records and their entries are stacked; find the entries covering start .. start+count-1.
    const int64_t from = std::max(start, 0);
    const int64_t to = from + std::max(count, 0);
    int64_t top = 0;
    bool found = false;
    bool done = false;
    for (const TNovuHistData& record : history.records()) {
      for (size_t i = 0; i < record.entries.size() && !done; ++i) {
        const HistEntry& e = record.entries[i];
        const int64_t bottom = top + e.height;
        if (!found && bottom > from) {
          found = true;
          window.set_history_offset(static_cast<int32_t>(top - from));
        }
        if (found) {
          HistEntry copy = e;
          copy.page = record.EffectiveName(i);
          window.history_record().Add(std::move(copy));
          done = bottom >= to;
        }
        top = bottom;
      }
      if (done) break;
    }
  }
  window.Rebuild(true);
  window.SetPageIndex(0);
}

void TNovuHistoryFormatManager::Save(BinaryWriter& out) const {
  out.I32(static_cast<int32_t>(formats_.size()));
  for (const auto& f : formats_) {
    out.String(f->name);
    HistoryLayout layout = f->layout;
    Serializer s(out);
    SyncLayout(s, layout);
    f->history.Save(out);
  }
}

void TNovuHistoryFormatManager::LoadDefaultHistory(BinaryReader& in, int32_t version) {
  Reset();
  try {
    Default().history.Load(in, version);
  } catch (const NovuError&) {
    Reset();
    throw;
  }
}

void TNovuHistoryFormatManager::Load(BinaryReader& in, int32_t version) {
  formats_.clear();
  try {
    const size_t count = in.Count(4 + 24);
    for (size_t i = 0; i < count; ++i) {
      auto f = std::make_unique<TNovuHistoryFormat>();
      f->name = in.String();
      Serializer s(in, version);
      SyncLayout(s, f->layout);
      f->history.Load(in, version);
      formats_.push_back(std::move(f));
    }
  } catch (const NovuError&) {
    Reset();
    throw;
  }
  if (Find({}) == nullptr)
    formats_.insert(formats_.begin(), std::make_unique<TNovuHistoryFormat>());
}

}  // namespace novu
