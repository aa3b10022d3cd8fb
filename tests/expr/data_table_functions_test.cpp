// The data-table functions as scripts call them: each step is an expression evaluated in
// order against one set of tables, with its expected result.
#include <gtest/gtest.h>

#include "core/process_random.h"
#include "expr/db_manager.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "expr_test_support.h"
#include "storage/vr_file_collection.h"
#include "storage/vr_file_manager.h"

namespace novu {
namespace {

using test::Evaluate;

struct Step {
  std::string_view expression;
  std::string_view expected;
};

class DataTableFunctions : public ::testing::Test {
 protected:
  DataTableFunctions() {
    RegisterDataTableFunctions(functions, tables, files);
    table.SetFunctions(&functions);
    files.AddArchive("");
  }
  ~DataTableFunctions() override { table.SetFunctions(nullptr); }

  void AddFile(std::string_view name, std::string_view text) {
    files.Collection(0).AddMemoryEntry(name).Memory()->Bytes().assign(text.begin(), text.end());
  }
  // A string (or flag) array variable.
  void Array(std::string_view name, ParamType type, std::vector<std::string> items) {
    TCustomParam& v = table.Declare(name, type, VarScope::kGlobal, nullptr)->value();
    const int32_t sizes[] = {static_cast<int32_t>(items.size())};
    v.SetDims(sizes);
    for (size_t i = 0; i < items.size(); ++i) v.SetStrAt(static_cast<int32_t>(i), items[i]);
  }
  void Run(std::span<const Step> steps) {
    for (const Step& s : steps) {
      EXPECT_EQ(Evaluate(table, s.expression).text, s.expected) << s.expression;
    }
  }

  ProcessRandom random{1};
  SysFuncMan functions{random};
  TDBManager tables;
  TVrFileManager files;
  TParamCollection table;
};

TEST_F(DataTableFunctions, WithoutATableEverythingAnswersFalseOrNothing) {
  const Step steps[] = {
      {"DBGetActive()", ""},
      {"DBGetRecNo()", "-1"},
      {"DBRecordCount()", "-1"},
      {"DBAddField(\"a\", 1)", "FALSE"},
      {"DBInsert(1)", "FALSE"},
      {"DBGetInt(\"a\")", "0"},
      {"DBFindFirst()", "FALSE"},
      {"DBLocate(\"a\", 1)", "FALSE"},
      {"DBSort(\"a\", TRUE)", "FALSE"},
      {"DBDeleteTable()", "FALSE"},
      {"DBClearRecord()", "FALSE"},
      {"DBLoadTsvFile(\"items.tsv\")", "FALSE"},
  };
  Run(steps);
}

TEST_F(DataTableFunctions, FieldsRecordsAndTheCurrentRecord) {
  const Step steps[] = {
      {"DBCreateTable(\"items\", FALSE)", "TRUE"},
      {"DBCreateTable(\"ITEMS\", TRUE)", "FALSE"},
      {"DBAddField(\"name\", 4, 5)", "TRUE"},
      {"DBAddField(\"score\", 1)", "TRUE"},
      {"DBAddField(\"bad\", 7)", "FALSE"},
      {"DBAddField(\"w\", 2)", "TRUE"},
      {"DBAddField(\"empty\", 4)", "TRUE"},  // capacity 0: always empty
      {"DBGetInt(\"score\")", "0"},
      {"DBSetInt(\"score\", 3)", "FALSE"},  // no current record yet
      {"DBInsert(\"abcdefg\", 2.5, 3, \"x\", \"ignored\")", "TRUE"},
      {"DBGetStr(\"name\") ++ DBGetStr(\"empty\")", "abcde"},
      {"DBGetInt(\"score\")", "2"},
      {"DBInsert(\"bob\", 3.5, TRUE)", "TRUE"},
      {"DBGetInt(\"score\")", "4"},
      {"DBGetFloat(\"w\")", "1"},
      {"DBSetStr(\"score\", \"12\")", "TRUE"},
      {"DBGetInt(\"SCORE\")", "12"},
      {"DBGetBool(\"score\")", "TRUE"},
      {"DBSetFloat(\"score\", -2.5)", "TRUE"},
      {"DBGetInt(\"score\")", "-2"},
      {"DBSetBool(\"name\", TRUE)", "TRUE"},
      {"DBGetStr(\"name\")", "TRUE"},
      {"DBSetInt(\"nope\", 1)", "FALSE"},
      {"DBGetStr(\"nope\")", ""},
      {"DBRecordCount() * 10 + DBRecordCount(\"items\")", "22"},
      {"DBRecordCount(\"nope\")", "-1"},
      {"DBGetRecNo(\"anything\")", "1"},
      {"DBFindNext()", "FALSE"},
      {"DBGetRecNo()", "1"},
      {"DBFindFirst()", "TRUE"},
      {"DBFindPrior()", "FALSE"},
      {"DBFindLast()", "TRUE"},
      {"DBSetRecNo(2)", "FALSE"},
      {"DBGetRecNo()", "1"},
      {"DBSetRecNo(-1)", "TRUE"},
      {"DBGetRecNo()", "-1"},
      {"DBDelete()", "FALSE"},
      {"DBLocate(\"name\", \"xabcdex\", FALSE, TRUE)", "TRUE"},
      {"DBGetRecNo()", "0"},
      {"DBLocate(\"NAME\", \"true\", TRUE)", "TRUE"},
      {"DBGetRecNo()", "1"},
      {"DBLocate(\"name\", \"zzz\")", "FALSE"},
      {"DBGetRecNo()", "1"},
      {"DBDelete()", "TRUE"},
      {"DBGetRecNo()", "0"},
      {"DBClearRecord()", "TRUE"},
      {"DBRecordCount()", "0"},
      {"DBGetRecNo()", "-1"},
  };
  Run(steps);
}

TEST_F(DataTableFunctions, SortLocateByManyKeysAndCopyBetweenTables) {
  AddFile("scores.tsv", "name str 10\tscore int\nbob\t5\namy\t7\ncat\t5\nabe\t7\n");
  Array("keys", PT_STR, {"score", "name"});
  Array("down", PT_BOOL, {"TRUE", "FALSE"});
  Array("want", PT_STR, {"5", "cat"});
  const Step steps[] = {
      {"DBCreateTable(\"copy\", FALSE)", "TRUE"},
      {"DBCreateTable(\"scores\", FALSE)", "TRUE"},
      {"DBLoadTsvFile(\"SCORES.TSV\")", "TRUE"},
      {"DBSort(keys, down)", "TRUE"},
      {"DBDirectGetStr(\"scores\", \"score\", 5, FALSE, FALSE, \"name\", \"?\")", "bob"},
      {"DBFindFirst()", "TRUE"},
      {"DBGetStr(\"name\")", "abe"},
      {"DBLocate(keys, want)", "TRUE"},
      {"DBGetRecNo()", "3"},
      {"DBCopyTable(\"scores\")", "FALSE"},  // the active table itself
      {"DBCopyTable(\"nope\")", "FALSE"},
      {"DBCopyTable(\"copy\", \"score\", 7)", "TRUE"},
      {"DBRecordCount(\"copy\")", "2"},
      {"DBGetActive()", "scores"},
      {"DBCopy(\"copy\")", "TRUE"},  // cat joins the copy
      {"DBCopy(\"scores\")", "TRUE"},
      {"DBRecordCount(\"copy\") * 10 + DBRecordCount()", "35"},
      {"DBInsertTable(\"copy\", \"name\", \"cat\")", "TRUE"},
      {"DBInsertTable(\"nope\")", "FALSE"},
      {"DBRecordCount()", "6"},
      {"DBSetActive(\"copy\")", "TRUE"},
      {"DBSetActive(\"nope\")", "FALSE"},
      {"DBGetActive()", "copy"},
      {"DBAddField(\"extra\", 3)", "TRUE"},
      {"DBSetActive(\"scores\")", "TRUE"},
      {"DBInsertTable(\"copy\")", "FALSE"},  // the fields differ now
      {"DBCopy(\"copy\")", "FALSE"},
      {"DBDirectSetInt(\"scores\", \"name\", \"abe\", FALSE, FALSE, \"score\", 1)", "TRUE"},
      {"DBDirectGetInt(\"scores\", \"name\", \"abe\", FALSE, FALSE, \"score\", -1)", "1"},
      {"DBDirectGetInt(\"scores\", \"name\", \"zed\", FALSE, FALSE, \"score\", -1)", "-1"},
      {"DBDirectGetInt(\"scores\", \"name\", \"abe\", FALSE, FALSE, \"nope\", -1)", "-1"},
      {"DBDirectSetFloat(\"scores\", \"name\", \"ABE\", TRUE, FALSE, \"score\", 2.5)", "TRUE"},
      {"DBDirectGetFloat(\"scores\", \"name\", \"abe\", FALSE, FALSE, \"score\", 9)", "2"},
      {"DBDirectSetBool(\"scores\", \"name\", \"abe\", FALSE, FALSE, \"name\", TRUE)", "TRUE"},
      {"DBDirectGetBool(\"scores\", \"name\", \"TRUE\", FALSE, FALSE, \"name\", FALSE)", "TRUE"},
      {"DBDirectSetStr(\"scores\", \"name\", \"nobody\", FALSE, FALSE, \"name\", \"x\")", "FALSE"},
      {"DBDirectGetStr(\"nope\", \"name\", \"TRUE\", FALSE, FALSE, \"name\", \"dflt\")", "dflt"},
      {"DBGetRecNo()", "5"},
      {"DBDeleteTable(\"copy\")", "TRUE"},
      {"DBGetActive()", "scores"},
      {"DBDeleteTable()", "TRUE"},
      {"DBGetActive()", ""},
      {"DBCreateTable(\"kept\", TRUE)", "TRUE"},
      {"DBClearTable()", "FALSE"},
      {"DBRecordCount(\"kept\")", "-1"},
  };
  Run(steps);
}

TEST_F(DataTableFunctions, LoadingATsvFileThatIsMissingEmptyOrBadLeavesTheTable) {
  AddFile("good.tsv", "a int\r\n1\r\n2");
  AddFile("empty.tsv", "");
  AddFile("bad.tsv", " a int\n3\n");
  const Step steps[] = {
      {"DBCreateTable(\"t\", FALSE)", "TRUE"},
      {"DBLoadTsvFile(\"good.tsv\")", "TRUE"},
      {"DBRecordCount() * 10 + DBGetRecNo()", "21"},
      {"DBLoadTsvFile(\"missing.tsv\")", "FALSE"},
      {"DBLoadTsvFile(\"\")", "FALSE"},
      {"DBLoadTsvFile(\"empty.tsv\")", "FALSE"},
      {"DBLoadTsvFile(\"bad.tsv\")", "FALSE"},
      {"DBRecordCount() * 10 + DBGetInt(\"a\")", "22"},
  };
  Run(steps);
}

}  // namespace
}  // namespace novu
