// The data-table functions (87 to 124): tables, fields and records of the game's data tables,
// mostly on the active table and its current record. None of them raises an error: a missing
// table, record or field gives false, -1 or the zero value.
#include <algorithm>
#include <memory>

#include "expr/db_manager.h"
#include "expr/function_text.h"
#include "expr/sys_func_man.h"
#include "storage/vr_file_manager.h"

namespace novu {
namespace {

class DataTableFunctions {
 public:
  DataTableFunctions(TDBManager& tables, TVrFileManager& files) : tables_(tables), files_(files) {}

  // Every handler holds `self`, so the family lives as long as the dispatcher keeps them.
  void Register(SysFuncMan& f, const std::shared_ptr<DataTableFunctions>& self) {
    f.Register(87, [this, self](const FunctionCall& c) {
      Answer(c, tables_.CreateTable(c.Str(0), c.Bool(1)) >= 0);
    });
    f.Register(88, [this, self](const FunctionCall& c) { Answer(c, tables_.SetActive(c.Str(0))); });
    f.Register(89, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->AddField(c.Str(0), c.Int(1), c.Int(2, 0)) >= 0);
    });
    f.Register(90, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->SetRecNo(c.Int(0)));
    });
    f.Register(91, [this, self](const FunctionCall& c) { Insert(c); });
    f.Register(92, [this, self](const FunctionCall& c) {
      if (TDBTable* t = WithRecord()) Answer(c, t->DeleteRecord());
    });
    RegisterFieldAccess(f, self);
    f.Register(101, [this, self](const FunctionCall& c) {
      const TDBTable* t = c.Has(0) ? tables_.FindTable(c.Str(0)) : Active();
      c.result().SetAsInt(t != nullptr ? t->GetRecordCount() : -1);
    });
    f.Register(102, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->First());
    });
    f.Register(103, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->Last());
    });
    f.Register(104, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->Next());
    });
    f.Register(105, [this, self](const FunctionCall& c) {
      if (TDBTable* t = Active()) Answer(c, t->Prior());
    });
    f.Register(106, [this, self](const FunctionCall& c) { Locate(c); });
    f.Register(107, [this, self](const FunctionCall& c) { LoadTsvFile(c); });
    RegisterDirectAccess(f, self);
    f.Register(116, [this, self](const FunctionCall& c) {
      TDBTable* t = Active();
      if (t == nullptr) return;
      Answer(c, tables_.CopyTable(c.Str(0), t->Find(KeysFrom(c, 1))));
    });
    f.Register(117, [this, self](const FunctionCall& c) {
      Answer(c, c.Has(0) ? tables_.DeleteTable(c.Str(0)) : tables_.DeleteActiveTable());
    });
    f.Register(118, [this, self](const FunctionCall& c) {
      if (Active() == nullptr) return;
      const std::string source = c.Str(0);
      const TDBTable* from = tables_.FindTable(source);
      if (from == nullptr) return;
      Answer(c, tables_.InsertTable(source, from->Find(KeysFrom(c, 1))));
    });
    f.Register(119, [this, self](const FunctionCall& c) { CopyRecord(c); });
    f.Register(120, [this, self](const FunctionCall&) { tables_.Clear(); });
    f.Register(121, [this, self](const FunctionCall& c) {
      TDBTable* t = Active();
      if (t == nullptr) return;
      t->Sort(*c.Arg(0), *c.Arg(1));
      Answer(c, true);
    });
    f.Register(122, [this, self](const FunctionCall& c) {
      if (const TDBTable* t = Active()) c.result().SetAsStr(t->name());
    });
    // The argument is accepted and, as it always was, has no meaning.
    f.Register(123, [this, self](const FunctionCall& c) {
      const TDBTable* t = Active();
      c.result().SetAsInt(t != nullptr ? t->GetRecNo() : -1);
    });
    f.Register(124, [this, self](const FunctionCall& c) {
      TDBTable* t = c.Has(0) ? tables_.FindTable(c.Str(0)) : Active();
      if (t == nullptr) return;
      t->ClearRecords();
      Answer(c, true);
    });
  }

 private:
  static void Answer(const FunctionCall& c, bool value) { c.result().SetAsBool(value); }

  TDBTable* Active() const { return tables_.ActiveTable(); }
  // The active table when it has a current record.
  TDBTable* WithRecord() const {
    TDBTable* t = Active();
    return t != nullptr && t->GetRecNo() >= 0 ? t : nullptr;
  }

  // Key names, key values, ignore-case and partial flags from argument `first` on.
  static DBKeys KeysFrom(const FunctionCall& c, size_t first) {
    return {c.Arg(first), c.Arg(first + 1), c.Bool(first + 2), c.Bool(first + 3)};
  }

  // 93 to 100: a field of the current record read as, or written from, each type.
  void RegisterFieldAccess(SysFuncMan& f, const std::shared_ptr<DataTableFunctions>& self) {
    f.Register(93, [this, self](const FunctionCall& c) {
      if (const TDBTable* t = WithRecord()) {
        c.result().SetAsInt(t->GetByName<int32_t>(c.Str(0)).value_or(0));
      }
    });
    f.Register(94, [this, self](const FunctionCall& c) {
      if (TDBTable* t = WithRecord()) Answer(c, t->SetByName(c.Str(0), c.Int(1)));
    });
    f.Register(95, [this, self](const FunctionCall& c) {
      if (const TDBTable* t = WithRecord()) {
        c.result().SetAsFloat(t->GetByName<long double>(c.Str(0)).value_or(0.0L));
      }
    });
    f.Register(96, [this, self](const FunctionCall& c) {
      if (TDBTable* t = WithRecord()) Answer(c, t->SetByName(c.Str(0), c.Float(1)));
    });
    f.Register(97, [this, self](const FunctionCall& c) {
      if (const TDBTable* t = WithRecord()) {
        c.result().SetAsBool(t->GetByName<bool>(c.Str(0)).value_or(false));
      }
    });
    f.Register(98, [this, self](const FunctionCall& c) {
      if (TDBTable* t = WithRecord()) Answer(c, t->SetByName(c.Str(0), c.Bool(1)));
    });
    f.Register(99, [this, self](const FunctionCall& c) {
      if (const TDBTable* t = WithRecord()) {
        c.result().SetAsStr(t->GetByName<std::string>(c.Str(0)).value_or(std::string()));
      }
    });
    f.Register(100, [this, self](const FunctionCall& c) {
      if (TDBTable* t = WithRecord()) Answer(c, t->SetByName(c.Str(0), c.Str(1)));
    });
  }

  // 108 to 115: table a1, keys a2 to a5, field a6 and a default (getters) or value (setters).
  void RegisterDirectAccess(SysFuncMan& f, const std::shared_ptr<DataTableFunctions>& self) {
    f.Register(108, [this, self](const FunctionCall& c) {
      c.result().SetAsInt(
          tables_.DirectGet<int32_t>(c.Str(0), KeysFrom(c, 1), c.Str(5)).value_or(c.Int(6)));
    });
    f.Register(109, [this, self](const FunctionCall& c) {
      Answer(c, tables_.DirectSetInt(c.Str(0), KeysFrom(c, 1), c.Str(5), c.Int(6)));
    });
    f.Register(110, [this, self](const FunctionCall& c) {
      c.result().SetAsFloat(
          tables_.DirectGet<long double>(c.Str(0), KeysFrom(c, 1), c.Str(5)).value_or(c.Float(6)));
    });
    f.Register(111, [this, self](const FunctionCall& c) {
      Answer(c, tables_.DirectSetFloat(c.Str(0), KeysFrom(c, 1), c.Str(5), c.Float(6)));
    });
    f.Register(112, [this, self](const FunctionCall& c) {
      c.result().SetAsBool(
          tables_.DirectGet<bool>(c.Str(0), KeysFrom(c, 1), c.Str(5)).value_or(c.Bool(6)));
    });
    f.Register(113, [this, self](const FunctionCall& c) {
      Answer(c, tables_.DirectSetBool(c.Str(0), KeysFrom(c, 1), c.Str(5), c.Bool(6)));
    });
    f.Register(114, [this, self](const FunctionCall& c) {
      c.result().SetAsStr(
          tables_.DirectGet<std::string>(c.Str(0), KeysFrom(c, 1), c.Str(5)).value_or(c.Str(6)));
    });
    f.Register(115, [this, self](const FunctionCall& c) {
      Answer(c, tables_.DirectSetStr(c.Str(0), KeysFrom(c, 1), c.Str(5), c.Str(6)));
    });
  }

  // DBInsert: a new record whose fields take the arguments in order, each through the setter
  // of the argument's own type.
  void Insert(const FunctionCall& c) {
    TDBTable* t = Active();
    if (t == nullptr) return;
    if (!t->AppendRecord()) return;
    const int32_t record = t->GetRecNo();
    const size_t used = std::min(c.count(), static_cast<size_t>(t->fields().Count()));
    for (size_t i = 0; i < used; ++i) {
      const auto field = static_cast<int32_t>(i);
      switch (c.Arg(i)->GetParamType()) {
        case PT_INT:
          t->SetInt(record, field, c.Int(i));
          break;
        case PT_FLOAT:
          t->SetFloat(record, field, c.Float(i));
          break;
        case PT_BOOL:
          t->SetBool(record, field, c.Bool(i));
          break;
        default:
          t->SetStr(record, field, c.Str(i));
      }
    }
    Answer(c, true);
  }

  void Locate(const FunctionCall& c) {
    TDBTable* t = Active();
    if (t == nullptr) return;
    const std::vector<int32_t> found = t->Find(KeysFrom(c, 0));
    if (found.empty()) return;
    Answer(c, t->SetRecNo(found.front()));
  }

  // DBLoadTsvFile: the file read as LoadTextFile reads it; a missing or empty file leaves the
  // table untouched.
  void LoadTsvFile(const FunctionCall& c) {
    TDBTable* t = Active();
    const std::string name = c.Str(0);
    if (t == nullptr || name.empty() || !files_.Exists(name)) return;
    const std::vector<uint8_t> bytes = files_.LoadFile(name);
    if (bytes.empty()) return;
    const std::vector<std::string> lines = text::SplitLines(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    Answer(c, t->LoadFromTsv(lines));
  }

  // DBCopy: the current record appended to table a1 (which may be the active table).
  void CopyRecord(const FunctionCall& c) {
    TDBTable* t = WithRecord();
    if (t == nullptr) return;
    TDBTable* target = tables_.FindTable(c.Str(0));
    if (target == nullptr || !target->fields().SameFields(t->fields())) return;
    Answer(c, target->AppendRecordBytes(t->GetRecord(t->GetRecNo())));
  }

  TDBManager& tables_;
  TVrFileManager& files_;
};

}  // namespace

void RegisterDataTableFunctions(SysFuncMan& functions, TDBManager& tables, TVrFileManager& files) {
  const auto family = std::make_shared<DataTableFunctions>(tables, files);
  family->Register(functions, family);
}

}  // namespace novu
