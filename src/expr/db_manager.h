#pragma once
// TDBManager: every data table of the game, in creation and load order, and the active table
// most data-table functions work on. Table names are found ignoring case, the first match
// winning. Status tables survive Reset and game loads and are kept in the status data; the
// others belong to the current game and are kept in its saves.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/db_table.h"

namespace novu {

class BinaryReader;
class BinaryWriter;

class TDBManager {
 public:
  // The format version written at the start of a table block.
  static constexpr int32_t kBlockVersion = 100;

  int32_t Count() const { return static_cast<int32_t>(tables_.size()); }
  TDBTable& Table(int32_t index) const { return *tables_[static_cast<size_t>(index)]; }
  int32_t IndexOfTable(std::string_view name) const;
  TDBTable* FindTable(std::string_view name) const;
  TDBTable* ActiveTable() const;

  // A new empty table, made active; its index, or -1 when the name is empty or taken.
  int32_t CreateTable(std::string_view name, bool status);
  // Frees the table; the active table stays active (none when it was the one deleted).
  bool DeleteTable(std::string_view name);
  // Frees the active table; false when there is none.
  bool DeleteActiveTable();
  // False, and the active table unchanged, when there is no such table.
  bool SetActive(std::string_view name);

  // Replaces table `destination`'s fields and records by the active table's fields and the
  // records listed (in that order); its last record becomes current. False without an active
  // table, when the destination does not exist or is the active table (or when the records
  // outgrow the destination's limits).
  bool CopyTable(std::string_view destination, std::span<const int32_t> records);
  // Appends the listed records of table `source` to the active table. False without an active
  // table, when the source does not exist or its fields differ from the active table's.
  bool InsertTable(std::string_view source, std::span<const int32_t> records);

  // Direct access: the first record of table `table` that matches `keys`, field `field`; the
  // active table and every current record stay as they are. A getter gives none and a setter
  // false when the table, a matching record or the field is missing.
  template <typename T>
  std::optional<T> DirectGet(std::string_view table, const DBKeys& keys,
                             std::string_view field) const {
    const Located at = Locate(table, keys, field);
    if (at.table == nullptr) return std::nullopt;
    return at.table->Get<T>(at.record, at.field);
  }
  bool DirectSetInt(std::string_view table, const DBKeys& keys, std::string_view field,
                    int32_t value);
  bool DirectSetFloat(std::string_view table, const DBKeys& keys, std::string_view field,
                      long double value);
  bool DirectSetBool(std::string_view table, const DBKeys& keys, std::string_view field,
                     bool value);
  bool DirectSetStr(std::string_view table, const DBKeys& keys, std::string_view field,
                    std::string_view value);

  // Reset: frees every table that is not a status table; no table is active.
  void ResetTables();
  // Frees every table, status tables included; no table is active.
  void Clear();

  // The table block: version, the tables whose status flag equals `status`, and for a game
  // save (status false) the active table's name (which may be a status table's).
  void SaveTables(BinaryWriter& out, bool status) const;
  // Reads a table block written with the same `status`: the tables of that kind are replaced by
  // those read, each made active as it is added; a game save then makes the table it names
  // active (none when it names none). Damaged data raises NovuError and changes nothing.
  void LoadTables(BinaryReader& in, bool status);

 private:
  struct Located {
    TDBTable* table = nullptr;
    int32_t record = -1;
    int32_t field = -1;
  };
  Located Locate(std::string_view table, const DBKeys& keys, std::string_view field) const;

  std::vector<std::unique_ptr<TDBTable>> tables_;
  TDBTable* active_ = nullptr;
};

}  // namespace novu
