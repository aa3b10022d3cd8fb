// Data tables: typed fixed-size fields and their conversions, the tab-separated loader,
// searching, sorting, navigation and the limits every path keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "expr/db_table.h"
#include "expr/db_tsv.h"
#include "expr/param_values.h"

namespace novu {
namespace {

// A string array value (a scalar for one element).
std::unique_ptr<TParamStr> Strings(std::vector<std::string> items) {
  auto v = std::make_unique<TParamStr>();
  if (items.size() > 1) {
    const int32_t sizes[] = {static_cast<int32_t>(items.size())};
    v->SetDims(sizes);
  }
  for (size_t i = 0; i < items.size(); ++i) v->SetStrAt(static_cast<int32_t>(i), items[i]);
  return v;
}

std::unique_ptr<TParamFlag> Flags(std::vector<bool> items) {
  auto v = std::make_unique<TParamFlag>();
  const int32_t sizes[] = {static_cast<int32_t>(items.size())};
  v->SetDims(sizes);
  for (size_t i = 0; i < items.size(); ++i) v->SetBoolAt(static_cast<int32_t>(i), items[i]);
  return v;
}

// "name:type:capacity" for each field.
std::string Describe(const TDBFieldList& fields) {
  std::string out;
  for (int32_t i = 0; i < fields.Count(); ++i) {
    const TDBField& f = fields.Field(i);
    if (i > 0) out += ",";
    out += f.name + ":" + std::to_string(f.type) + ":" + std::to_string(f.capacity());
  }
  return out;
}

// Every record as its fields' text joined by "|", records joined by ";".
std::string Records(const TDBTable& t) {
  std::string out;
  for (int32_t r = 0; r < t.GetRecordCount(); ++r) {
    if (r > 0) out += ";";
    for (int32_t f = 0; f < t.fields().Count(); ++f) {
      if (f > 0) out += "|";
      out += *t.Get<std::string>(r, f);
    }
  }
  return out;
}

TDBTable Loaded(std::vector<std::string> lines) {
  TDBTable t("t", false);
  EXPECT_TRUE(t.LoadFromTsv(lines));
  return t;
}

// ---- Fields and conversions.

enum class Write { kInt, kFloat, kBool, kStr };
struct ConversionCase {
  int32_t type;
  int32_t capacity;
  Write write;
  long double number;
  std::string_view text;
  std::string expected;  // the field read back as text
};

TEST(DataTable, FieldsConvertAndKeepTheirCapacity) {
  const long double kHuge = 1e20L;
  const ConversionCase cases[] = {
      {PT_STR, 5, Write::kStr, 0, "abcdefg", "abcde"},
      {PT_STR, 0, Write::kStr, 0, "abc", ""},
      {PT_STR, 3, Write::kBool, 1, {}, "TRU"},
      {PT_STR, 3, Write::kBool, 0, {}, "FAL"},
      {PT_STR, 80, Write::kFloat, 2.5L, {}, "2.5"},
      {PT_STR, 80, Write::kInt, -7, {}, "-7"},
      {PT_INT, 0, Write::kFloat, 2.5L, {}, "2"},
      {PT_INT, 0, Write::kFloat, 3.5L, {}, "4"},
      {PT_INT, 0, Write::kFloat, -2.5L, {}, "-2"},
      {PT_INT, 0, Write::kFloat, 2.6L, {}, "3"},
      {PT_INT, 0, Write::kFloat, kHuge, {}, "2147483647"},
      {PT_INT, 0, Write::kFloat, -kHuge, {}, "-2147483648"},
      {PT_INT, 0, Write::kFloat, std::numeric_limits<long double>::quiet_NaN(), {}, "0"},
      {PT_INT, 0, Write::kStr, 0, "12", "12"},
      {PT_INT, 0, Write::kStr, 0, "x", "0"},
      {PT_INT, 0, Write::kBool, 1, {}, "1"},
      {PT_FLOAT, 0, Write::kStr, 0, "1.25", "1.25"},
      {PT_FLOAT, 0, Write::kInt, 3, {}, "3"},
      {PT_BOOL, 0, Write::kStr, 0, "true", "FALSE"},
      {PT_BOOL, 0, Write::kStr, 0, "TRUE", "TRUE"},
      {PT_BOOL, 0, Write::kInt, 5, {}, "TRUE"},
      {PT_BOOL, 0, Write::kFloat, 0, {}, "FALSE"},
  };
  for (const ConversionCase& c : cases) {
    TDBTable t("t", false);
    ASSERT_EQ(t.AddField("f", c.type, c.capacity), 0);
    ASSERT_TRUE(t.AppendRecord());
    switch (c.write) {
      case Write::kInt:
        t.SetInt(0, 0, static_cast<int32_t>(c.number));
        break;
      case Write::kFloat:
        t.SetFloat(0, 0, c.number);
        break;
      case Write::kBool:
        t.SetBool(0, 0, c.number != 0);
        break;
      case Write::kStr:
        t.SetStr(0, 0, c.text);
        break;
    }
    EXPECT_EQ(*t.Get<std::string>(0, 0), c.expected)
        << "type " << c.type << " capacity " << c.capacity << " " << c.text << c.number;
  }
}

TEST(DataTable, FloatFieldsReadAsIntegersRoundHalvesToEven) {
  TDBTable t("t", false);
  t.AddField("f", PT_FLOAT, 0);
  t.AppendRecord();
  const std::pair<long double, int32_t> cases[] = {{2.5L, 2},   {3.5L, 4},  {-2.5L, -2},
                                                   {-3.5L, -4}, {0.49L, 0}, {1e30L, INT32_MAX}};
  for (const auto& [value, expected] : cases) {
    t.SetFloat(0, 0, value);
    EXPECT_EQ(*t.Get<int32_t>(0, 0), expected) << value;
  }
}

TEST(DataTable, FieldSizesTypesAndCapacityLimits) {
  TDBTable t("t", false);
  EXPECT_EQ(t.AddField("i", PT_INT, 99), 0);
  EXPECT_EQ(t.AddField("f", PT_FLOAT, 0), 1);
  EXPECT_EQ(t.AddField("b", PT_BOOL, 0), 2);
  EXPECT_EQ(t.AddField("neg", PT_STR, -5), 3);
  EXPECT_EQ(t.AddField("big", PT_STR, INT32_MAX), 4);
  EXPECT_EQ(t.AddField("bad", 0, 0), -1);
  EXPECT_EQ(t.AddField("bad", 5, 0), -1);
  EXPECT_EQ(Describe(t.fields()), "i:1:0,f:2:0,b:3:0,neg:4:0,big:4:65535");
  EXPECT_EQ(t.fields().RecordSize(), 4 + 10 + 1 + 1 + kDBMaxStringCapacity + 1);
  EXPECT_EQ(t.fields().Offset(3), 15);
}

TEST(DataTable, AddingAFieldZeroesItInExistingRecords) {
  TDBTable t = Loaded({"a int", "1", "2"});
  ASSERT_EQ(t.AddField("s", PT_STR, 4), 1);
  EXPECT_EQ(Records(t), "1|;2|");
  t.SetStr(1, 1, "xy");
  EXPECT_EQ(*t.Get<int32_t>(1, 0), 2);
}

TEST(DataTable, AccessOutsideTheTableFails) {
  TDBTable t = Loaded({"a int", "1"});
  EXPECT_FALSE(t.Get<int32_t>(1, 0).has_value());
  EXPECT_FALSE(t.Get<int32_t>(-1, 0).has_value());
  EXPECT_FALSE(t.Get<int32_t>(0, 1).has_value());
  EXPECT_FALSE(t.SetInt(0, 1, 5));
  EXPECT_FALSE(t.SetByName("nope", 5));
  EXPECT_TRUE(t.SetByName("A", 5));  // names ignore case
  EXPECT_EQ(*t.GetByName<int32_t>("a"), 5);
}

// ---- The tab-separated loader.

struct HeaderCase {
  std::string_view header;
  std::string_view fields;  // "" when the load fails
};

TEST(DataTable, HeaderColumnsDeclareTheFields) {
  const HeaderCase cases[] = {
      {"count int", "count:1:0"},
      {"name", "name:4:80"},
      {"name str", "name:4:80"},
      {"name INT 4", "name:4:4"},
      {"  p   float  ", ""},  // a column that begins with a blank fails
      {"x\t y bool", ""},
      {"", ""},  // no field
      {"a\t\tb", ""},
      {"a int\tb bool\t", "a:1:0,b:3:0"},
      {"price float\tok bool\tn int 7", "price:2:0,ok:3:0,n:1:0"},
      {"s str -5", "s:4:0"},
      {"s str 99999999999", "s:4:65535"},
      {"s str x", "s:4:80"},
      {"s str  12  ", "s:4:12"},
  };
  for (const HeaderCase& c : cases) {
    TDBTable t("t", false);
    const std::vector<std::string> lines = {std::string(c.header), "1"};
    EXPECT_EQ(t.LoadFromTsv(lines), !c.fields.empty()) << c.header;
    EXPECT_EQ(Describe(t.fields()), c.fields) << c.header;
  }
}

TEST(DataTable, DataLinesResolveEscapesAndFillColumnsInOrder) {
  struct Case {
    std::string line;
    std::string expected;
  };
  const Case cases[] = {
      {R"(a\"b\\c\n)", "a\"b\\c\r\n"},
      {R"(x\ty\)", "x\\ty\\"},   // no tab escape; a final backslash stays
      {"\x95\\\"", "\x95\\\""},  // the trail byte of 表 is no escape
      {"\x83\x5C"
       "n",
       "\x83\x5C"
       "n"},  // nor that of ソ
  };
  for (const Case& c : cases) {
    TDBTable t = Loaded({"s str 20", c.line});
    EXPECT_EQ(*t.Get<std::string>(0, 0), c.expected) << c.line;
  }
}

TEST(DataTable, ColumnsConvertIntoTheirFieldsAndMissingOnesStayZero) {
  const TDBTable t = Loaded({"n int\tok bool\tp float\ts str 3", "7\ttrue\t1.5\tabcdef", "", "x\t1",
                             "-2\tTRUE\t\t\textra", "$10"});
  EXPECT_EQ(Records(t), "7|FALSE|1.5|abc;0|FALSE|0|;-2|TRUE|0|;16|FALSE|0|");
  EXPECT_EQ(t.GetRecNo(), 3);  // each record was made current as it was added
}

TEST(DataTable, ALeadByteKeepsTheTabAfterItInItsCharacter) {
  const TDBTable t = Loaded({"a\tb", "\x82\t1"});
  EXPECT_EQ(Records(t), "\x82\t1|");
}

TEST(DataTable, FailedLoadsLeaveTheTableAsItWas) {
  TDBTable t = Loaded({"a int\tb str 4", "1\tone", "2\ttwo"});
  t.SetRecNo(0);
  const std::string before = Records(t);
  std::string many_columns;
  for (int i = 0; i <= kDBMaxFieldCount; ++i) many_columns += "c" + std::to_string(i) + "\t";
  const std::vector<std::vector<std::string>> bad = {
      {},
      {" a int", "1"},
      {"", "1"},
      {many_columns, "1"},
      {"a str 65535\tb str 65535\tc str 65535\td str 65535\te str 65535\tf str 65535"
       "\tg str 65535\th str 65535\ti str 65535\tj str 65535\tk str 65535\tl str 65535"
       "\tm str 65535\tn str 65535\to str 65535\tp str 65535\tq str 65535"},
  };
  for (const auto& lines : bad) {
    EXPECT_FALSE(t.LoadFromTsv(lines)) << (lines.empty() ? "(no lines)" : lines[0].substr(0, 20));
    EXPECT_EQ(Describe(t.fields()), "a:1:0,b:4:4");
    EXPECT_EQ(Records(t), before);
    EXPECT_EQ(t.GetRecNo(), 0);
  }
}

TEST(DataTable, VeryLongLinesAreCutAtTheCapacity) {
  const std::string line(1 << 20, 'x');
  const TDBTable t = Loaded({"s str 8\tn int", line + "\t5"});
  EXPECT_EQ(Records(t), "xxxxxxxx|5");
}

// ---- Searching.

TDBTable Fruit() {
  return Loaded({"name str 20\tscore int\tcode str 8\tweight float\tripe bool",
                 "red\t3\tA\t1.5\tTRUE",        // 0
                 "red apples\t1\tb\t2\tFALSE",  // 1
                 "Green\t3\ta\t1.5\tTRUE",      // 2
                 "\t7\tb\t0\tFALSE",            // 3: an empty name
                 "blue\t7\t007\t0.5\tTRUE"});   // 4
}

struct FindCase {
  std::vector<std::string> names;
  std::function<std::unique_ptr<TCustomParam>()> values;
  bool ignore_case;
  bool partial;
  std::vector<int32_t> expected;
};

TEST(DataTable, FindComparesInTheTypeOfTheValues) {
  const TDBTable t = Fruit();
  auto str = [](std::vector<std::string> v) { return [v] { return Strings(v); }; };
  auto num = [](int32_t v) { return [v] { return std::make_unique<TParamInt>(v); }; };
  const FindCase cases[] = {
      {{"name"}, str({"red apple"}), false, true, {0}},  // "red apples" does not occur in it
      {{"name"}, str({"red"}), false, false, {0}},
      {{"NAME"}, str({"green"}), true, false, {2}},
      {{"name"}, str({"green"}), false, false, {}},
      {{"name"}, str({"GREEN APPLES"}), true, true, {2}},
      {{"name", "nope"}, str({"red", "x"}), false, false, {}},  // an unknown field: nothing
      {{"score"}, num(7), false, false, {3, 4}},
      {{"score"}, str({"007"}), false, false, {}},  // the field reads as "7"
      {{"code"}, num(7), false, false, {4}},        // "007" parses as 7
      {{"score", "code"}, str({"3", "a"}), true, false, {0, 2}},
      {{"score", "code"}, str({"3", "a"}), false, false, {2}},
      {{"weight"}, [] { return std::make_unique<TParamFloat>(1.5L); }, false, false, {0, 2}},
      {{"ripe"},
       [] { return std::make_unique<TParamFlag>(convert::Flag::kTrue); },
       false,
       false,
       {0, 2, 4}},
      {{"score", "name"}, str({"7"}), false, false, {3, 4}},  // one value: one key
  };
  for (const FindCase& c : cases) {
    const auto names = Strings(c.names);
    const auto values = c.values();
    EXPECT_EQ(t.Find({names.get(), values.get(), c.ignore_case, c.partial}), c.expected)
        << c.names[0] << " " << values->GetStrAt(0);
  }
  EXPECT_EQ(t.Find({}), (std::vector<int32_t>{0, 1, 2, 3, 4}));  // no keys: every record
}

// ---- Sorting.

TEST(DataTable, SortOrdersKeyAfterKeyAndKeepsEqualRecordsInOrder) {
  TDBTable t =
      Loaded({"name str 10\tscore int\tw float\tok bool", "bob\t5\t1\tTRUE", "amy\t7\t2\tFALSE",
              "cat\t5\t3\tTRUE", "abe\t7\t4\tFALSE", "bob\t5\t5\tFALSE"});
  t.SetRecNo(1);
  t.Sort(*Strings({"score", "name"}), *Flags({true, false}));
  EXPECT_EQ(Records(t), "abe|7|4|FALSE;amy|7|2|FALSE;bob|5|1|TRUE;bob|5|5|FALSE;cat|5|3|TRUE");
  EXPECT_EQ(t.GetRecNo(), 1);  // the index keeps its number

  t.Sort(*Strings({"nope", "ok", "w"}), *Flags({false, true, true}));
  EXPECT_EQ(Records(t), "cat|5|3|TRUE;bob|5|1|TRUE;bob|5|5|FALSE;abe|7|4|FALSE;amy|7|2|FALSE");
  t.Sort(*Strings({"w", "name"}), *Flags({false}));  // one flag: one key
  EXPECT_EQ(Records(t).substr(0, 14), "bob|5|1|TRUE;a");
}

TEST(DataTable, TextsCompareByteByByteAlsoBeyondSixteenBytes) {
  TDBTable t = Loaded({"s str 40", "abcdefghijklmnopZ", "\x82\xa0", "abcdefghijklmnopA",
                       "abcdefghijklmno", "abcdefghijklmnop", "abcdefghijklmnopA"});
  t.Sort(*Strings({"s"}), *Flags({false}));
  EXPECT_EQ(Records(t),
            "abcdefghijklmno;abcdefghijklmnop;abcdefghijklmnopA;abcdefghijklmnopA;"
            "abcdefghijklmnopZ;\x82\xa0");
  t.Sort(*Strings({"s"}), *Flags({true}));
  EXPECT_EQ(Records(t).substr(0, 3), "\x82\xa0;");
}

TEST(DataTable, IntegersAndFlagsSortByValueInEitherDirection) {
  TDBTable t = Loaded({"n int\tok bool", "3\tTRUE", "-5\tFALSE", "2147483647\tTRUE",
                       "-2147483648\tFALSE", "0\tTRUE"});
  t.Sort(*Strings({"n"}), *Flags({false}));
  EXPECT_EQ(Records(t), "-2147483648|FALSE;-5|FALSE;0|TRUE;3|TRUE;2147483647|TRUE");
  t.Sort(*Strings({"ok", "n"}), *Flags({false, true}));
  EXPECT_EQ(Records(t), "-5|FALSE;-2147483648|FALSE;2147483647|TRUE;3|TRUE;0|TRUE");
}

TEST(DataTable, NotANumberSortsFirstAndKeepsTheOrderTotal) {
  TDBTable t("t", false);
  t.AddField("w", PT_FLOAT, 0);
  const long double values[] = {3, std::numeric_limits<long double>::quiet_NaN(), 1, 2};
  for (long double v : values) {
    t.AppendRecord();
    t.SetFloat(t.GetRecNo(), 0, v);
  }
  t.Sort(*Strings({"w"}), *Flags({false}));
  EXPECT_TRUE(std::isnan(*t.Get<long double>(0, 0)));
  EXPECT_EQ(Records(t).substr(Records(t).find(';')), ";1;2;3");
}

// ---- Navigation and deletion.

TEST(DataTable, NavigationStopsAtTheEdges) {
  TDBTable t = Loaded({"n int", "0", "1", "2"});
  EXPECT_TRUE(t.First());
  EXPECT_FALSE(t.Prior());
  EXPECT_EQ(t.GetRecNo(), 0);
  EXPECT_TRUE(t.Last());
  EXPECT_FALSE(t.Next());
  EXPECT_EQ(t.GetRecNo(), 2);
  EXPECT_TRUE(t.Prior());
  EXPECT_EQ(t.GetRecNo(), 1);
  EXPECT_FALSE(t.SetRecNo(3));
  EXPECT_EQ(t.GetRecNo(), 1);
  EXPECT_TRUE(t.SetRecNo(-5));
  EXPECT_EQ(t.GetRecNo(), -1);
  EXPECT_FALSE(t.Next());
  EXPECT_FALSE(t.Prior());
  EXPECT_FALSE(t.DeleteRecord());

  TDBTable empty("e", false);
  EXPECT_FALSE(empty.First());
  EXPECT_FALSE(empty.Last());
}

TEST(DataTable, DeletingMovesTheCurrentRecordToTheNextOrTheNewLast) {
  TDBTable t = Loaded({"n int", "0", "1", "2"});
  t.SetRecNo(1);
  EXPECT_TRUE(t.DeleteRecord());
  EXPECT_EQ(Records(t), "0;2");
  EXPECT_EQ(t.GetRecNo(), 1);
  EXPECT_TRUE(t.DeleteRecord());  // the last: the new last becomes current
  EXPECT_EQ(t.GetRecNo(), 0);
  EXPECT_TRUE(t.DeleteRecord());  // the only one: none is left
  EXPECT_EQ(t.GetRecNo(), -1);
  EXPECT_EQ(t.GetRecordCount(), 0);
}

TEST(DataTable, TheRecordCountAndTheTableBytesAreLimited) {
  TDBTable t("t", false);
  while (t.AppendRecord()) {
  }
  EXPECT_EQ(t.GetRecordCount(), kDBMaxRecordCount);
  // A string field of the largest capacity would need more bytes than a table may hold.
  EXPECT_EQ(t.AddField("s", PT_STR, kDBMaxStringCapacity), -1);
  EXPECT_EQ(t.fields().Count(), 0);
  EXPECT_EQ(t.AddField("n", PT_INT, 0), 0);
  EXPECT_EQ(*t.Get<int32_t>(kDBMaxRecordCount - 1, 0), 0);
}

}  // namespace
}  // namespace novu
