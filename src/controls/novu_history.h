#pragma once
// The history (backlog) of message pages and its formats. Entries never hold text: they name
// the script page and the TextIns command whose compiled text was shown, the range of text
// positions and the variable values recorded then; showing the history reads the text again
// and lays it out anew.
//
// Every registered format keeps its own history. A format with a font size (formatted) stacks
// the pages it records into records one visible height tall and counts in pixels; one without
// (unformatted) keeps one entry per page with the window's size and counts entries.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/kx_word.h"

namespace novu {

class BinaryReader;
class BinaryWriter;
class MessageTextSource;
class Serializer;
class TNovuMes;
class TParamCollection;

// One page of a formatted record, or the one entry a TextIns gives its window.
struct HistEntry {
  std::string page;  // empty: the effective name of the entry before it
  int32_t command_index = 0;
  int32_t first = 0;
  int32_t last = -1;  // -1: to the end
  int32_t height = 0;
  std::string values;  // recorded variable values, "expression=value" lines
};

// A screenful of stacked history pages (or a window's own text reference).
struct TNovuHistData {
  std::vector<HistEntry> entries;
  int32_t total_height = 0;

  void Clear() {
    entries.clear();
    total_height = 0;
  }
  // The name of entry i, looking back to the nearest entry that has one.
  std::string EffectiveName(size_t i) const;
  void Add(HistEntry entry);
};

// One page of an unformatted history.
struct THistoryOldData {
  std::string page;  // empty: the effective name of the entry before it
  int32_t command_index = 0;
  int32_t page_index = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The six settings a format lays its history out with (all 0: unformatted).
struct HistoryLayout {
  int32_t font_size = 0;
  int32_t border_width = 0;
  int32_t shadow_offset = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t line_spacing = 0;
};

// A record as saved: its entries, then its total height (recorded values from version 124).
void SyncHistData(Serializer& s, TNovuHistData& data);

// Variable values as one saved text and back.
std::string JoinValues(const std::vector<std::string>& values);
std::vector<std::string> SplitValues(std::string_view text);

class TNovuNewHistory {
 public:
  TNovuNewHistory();

  struct Pending {
    std::string page;  // empty: nothing pending
    int32_t command_index = 0;
    int32_t page_index = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string window;
    int32_t first = 0;
    int32_t last = -1;
    std::string values;
  };

  bool formatted() const { return word_.settings.wrap_width != 0; }
  void Open(const HistoryLayout& layout, Pending entry);
  void Close(std::string_view window, MessageTextSource* source, TParamCollection* vars);
  void Clear();
  // Formatted: pixels of all records; unformatted: entries.
  int32_t Count() const;

  void Save(BinaryWriter& out) const;
  void Load(BinaryReader& in, int32_t version);

  const std::vector<TNovuHistData>& records() const { return records_; }
  const std::vector<THistoryOldData>& entries() const { return entries_; }
  std::string EntryName(size_t i) const;
  const Pending& pending() const { return pending_; }
  int32_t max_count = 0;
  const text::KxWordSettings& layout() const { return word_.settings; }

 private:
  void Sync(Serializer& s);
  void CloseFormatted(MessageTextSource* source, TParamCollection* vars);
  void CloseUnformatted();
  void ApplyLayout(const HistoryLayout& layout);

  text::TKxWord word_;
  std::vector<TNovuHistData> records_;
  std::vector<THistoryOldData> entries_;
  Pending pending_;
  // The TextIns last decoded into word_.
  std::string decoded_page_;
  int32_t decoded_index_ = -1;
};

struct TNovuHistoryFormat {
  std::string name;
  HistoryLayout layout;
  TNovuNewHistory history;
};

class TNovuHistoryFormatManager {
 public:
  TNovuHistoryFormatManager();

  // Where closing an entry reads the TextIns text (none: formatted entries store nothing).
  void SetTextSource(MessageTextSource* source, TParamCollection* vars) {
    source_ = source;
    vars_ = vars;
  }

  TNovuHistoryFormat* Find(std::string_view name);
  TNovuHistoryFormat& FindOrAdd(std::string_view name);
  TNovuHistoryFormat& Default() { return FindOrAdd({}); }
  size_t FormatCount() const { return formats_.size(); }

  void OpenEntry(std::string_view window, std::string_view script_page, std::string values,
                 int32_t page_index, int32_t first, int32_t last, int32_t command_index,
                 int32_t window_width, int32_t window_height);
  void CloseEntry(std::string_view window);
  void ClearAll();
  void Reset();
  int32_t Count(const TNovuHistoryFormat& format) const { return format.history.Count(); }
  // Shows history entries start .. start + count - 1 (pixels for formatted histories).
  void Show(TNovuHistoryFormat& format, int32_t start, int32_t count, TNovuMes& window);

  void Save(BinaryWriter& out) const;
  void Load(BinaryReader& in, int32_t version);
  // Saves older than the format list hold the default format's history alone.
  void LoadDefaultHistory(BinaryReader& in, int32_t version);
  // Exchanges the formats (not the text source) with another manager.
  void Swap(TNovuHistoryFormatManager& other) { formats_.swap(other.formats_); }

 private:
  std::vector<std::unique_ptr<TNovuHistoryFormat>> formats_;
  MessageTextSource* source_ = nullptr;
  TParamCollection* vars_ = nullptr;
};

}  // namespace novu
