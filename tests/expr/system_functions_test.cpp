// The system functions that need nothing but values and the variable table, evaluated from
// expression text the way script pages run them.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/process_random.h"
#include "expr/param_collection.h"
#include "expr/sys_func_man.h"
#include "expr_test_support.h"

namespace novu {
namespace {

using test::Evaluate;
using test::Var;

struct Case {
  std::string_view expression;
  std::string expected;  // built from CP932 pieces in some tables, so owned
};

class SystemFunctions : public ::testing::Test {
 protected:
  SystemFunctions() { table.SetFunctions(&functions); }
  ~SystemFunctions() override { table.SetFunctions(nullptr); }

  void ExpectAll(std::span<const Case> cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(Evaluate(table, c.expression).text, c.expected) << c.expression;
    }
  }

  ProcessRandom random{1};
  SysFuncMan functions{random};
  TParamCollection table;
};

// CP932 text whose trail bytes read as "\" (0x5C): 表 is 0x95 0x5C, ソ is 0x83 0x5C.
const std::string kHyou = "\x95\x5C";
const std::string kSo = "\x83\x5C";

TEST_F(SystemFunctions, NumbersAsText) {
  const Case cases[] = {
      {"IntToStr(7, 3)", "007"},
      {"IntToStr(-7, 3)", "-007"},
      {"IntToStr(1234, 2)", "1234"},
      {"IntToStr(5, -4)", "5"},
      {"IntToStr(-2147483647 - 1, 12)", "-002147483648"},
      {"IntToStr(42)", "42"},
      {"IntToHex(255, 4)", "00FF"},
      {"IntToHex(-1, 2)", "FFFFFFFF"},
      {"IntToHex(10, 0)", "A"},
      {"StrToIntDef(\"12\", 5)", "12"},
      {"StrToIntDef(\"x\", 5)", "5"},
      {"StrToFloatDef(\"x\", 1.5)", "1.5"},
      {"StrToFloatDef(\"2.25\", 1.5)", "2.25"},
      {"Chr(65)", "A"},
      {"Ord(\"A\")", "65"},
      {"Ord(\"\")", "0"},
  };
  ExpectAll(cases);
}

TEST_F(SystemFunctions, ByteCutsAreClamped) {
  const Case cases[] = {
      {"Copy(\"abcdef\", 3)", "cdef"},
      {"Copy(\"abcdef\", 2, 3)", "bcd"},
      {"Copy(\"abcdef\", 0, 2)", "ab"},
      {"Copy(\"abcdef\", -5, 2)", "ab"},
      {"Copy(\"abcdef\", 5, 100)", "ef"},
      {"Copy(\"abcdef\", 9)", ""},
      {"Copy(\"abcdef\", 2, -1)", ""},
      {"Length(\"abc\")", "3"},
      {"Pos(\"cd\", \"abcdef\")", "3"},
      {"Pos(\"x\", \"abc\")", "0"},
      {"Pos(\"\", \"abc\")", "0"},
      {"CompareStr(\"a\", \"b\") < 0", "TRUE"},
      {"CompareStr(\"b\", \"a\") > 0", "TRUE"},
      {"CompareStr(\"ab\", \"ab\")", "0"},
      {"CompareText(\"ABC\", \"abc\")", "0"},
      {"Trim(\"  a b  \")", "a b"},
      {"UpperCase(\"abC\")", "ABC"},
      {"LowerCase(\"AbC\")", "abc"},
      {"StringOfChar(\"ab\", 3)", "ababab"},
      {"StringOfChar(\"ab\", -1)", ""},
      {"StringReplace(\"aAa\", \"a\", \"b\")", "bAa"},
      {"StringReplace(\"aAa\", \"a\", \"b\", TRUE)", "bAb"},
      {"StringReplace(\"aAa\", \"a\", \"b\", TRUE, TRUE)", "bbb"},
      {"StringReplace(\"abc\", \"\", \"x\", TRUE)", "abc"},
      {"AddDelimiter(\",\", \"\")", ""},
      {"AddDelimiter(\",\", \"x\")", "x,"},
  };
  ExpectAll(cases);
}

TEST_F(SystemFunctions, InPlaceEditsAreClamped) {
  struct Edit {
    std::string_view expression;
    std::string_view start;
    std::string_view after;
  };
  const Edit edits[] = {
      {"Delete(s, 2, 2)", "abcdef", "adef"},
      {"Delete(s, 4)", "abcdef", "abc"},
      {"Delete(s, 0, 1)", "abcdef", "bcdef"},
      {"Delete(s, 3, -2)", "abcdef", "abcdef"},
      {"Delete(s, 99, 2)", "abcdef", "abcdef"},
      {"Insert(\"XY\", s, 3)", "abcdef", "abXYcdef"},
      {"Insert(\"XY\", s, -3)", "abcdef", "XYabcdef"},
      {"Insert(\"XY\", s, 99)", "abcdef", "abcdefXY"},
  };
  for (const Edit& e : edits) {
    Var(table, "s", PT_STR).value().SetAsStr(e.start);
    Evaluate(table, e.expression);
    EXPECT_EQ(table.Find("s")->value().GetAsStr(), e.after) << e.expression;
  }
}

TEST_F(SystemFunctions, CharacterVariantsNeverSplitADoubleByteCharacter) {
  // "a表ソb": bytes a 95 5C 83 5C b, characters a 表 ソ b.
  const std::string s = "a" + kHyou + kSo + "b";
  Var(table, "s", PT_STR).value().SetAsStr(s);
  Var(table, "n", PT_STR).value().SetAsStr(kSo);
  Var(table, "back", PT_STR).value().SetAsStr("\\");
  Var(table, "cut", PT_STR).value().SetAsStr("a" + std::string("\x95"));
  Var(table, "wide", PT_STR).value().SetAsStr(" \x81\x40" + kHyou + "\x81\x40 ");
  const Case cases[] = {
      {"Length(s)", "6"},
      {"JLength(s)", "4"},
      {"JCopy(s, 2, 2)", kHyou + kSo},
      {"JCopy(s, 3)", kSo + "b"},
      {"JPos(n, s)", "3"},
      {"Pos(n, s)", "4"},
      // The "\" inside 表 and ソ is no character of its own.
      {"JPos(back, s)", "0"},
      {"Pos(back, s)", "3"},
      {"StringReplace(s, back, \"/\", TRUE)", s},
      {"FixStr(cut)", "a"},
      {"FixStr(s)", s},
      {"JTrim(wide)", kHyou},
      {"IsPathDelimiter(s, 3)", "FALSE"},
  };
  ExpectAll(cases);

  struct Edit {
    std::string_view expression;
    std::string after;
  };
  const Edit edits[] = {
      {"JDelete(s, 2, 1)", "a" + kSo + "b"},
      {"JDelete(s, 0, 2)", kSo + "b"},
      {"JInsert(\"-\", s, 3)", "a" + kHyou + "-" + kSo + "b"},
  };
  for (const Edit& e : edits) {
    table.Find("s")->value().SetAsStr(s);
    Evaluate(table, e.expression);
    EXPECT_EQ(table.Find("s")->value().GetAsStr(), e.after) << e.expression;
  }
}

TEST_F(SystemFunctions, WidthConversion) {
  Var(table, "half", PT_STR).value().SetAsStr("A1 \xB6\xDE\xCA\xDF\xB3\xDE\xB1\r\n");
  Var(table, "full", PT_STR)
      .value()
      .SetAsStr("\x82\x60\x82\x50\x81\x40\x83\x4B\x83\x70\x83\x94\x83\x41" + kHyou +
                "\x81\x67\x81\x68");
  EXPECT_EQ(Evaluate(table, "HanToZen(half)").text,
            "\x82\x60\x82\x50\x81\x40\x83\x4B\x83\x70\x83\x94\x83\x41");
  EXPECT_EQ(Evaluate(table, "ZenToHan(full)").text,
            "A1 \xB6\xDE\xCA\xDF\xB3\xDE\xB1" + kHyou + "\"\"");
  // Every printable ASCII character goes there and back.
  std::string ascii;
  for (int ch = 0x20; ch <= 0x7E; ++ch) ascii += static_cast<char>(ch);
  table.Find("half")->value().SetAsStr(ascii);
  EXPECT_EQ(Evaluate(table, "ZenToHan(HanToZen(half))").text, ascii);
}

TEST_F(SystemFunctions, Paths) {
  Var(table, "p", PT_STR).value().SetAsStr("c:\\dir\\" + kHyou + ".txt");
  Var(table, "q", PT_STR).value().SetAsStr("dir\\" + kSo);
  const Case cases[] = {
      {"ExtractFilePath(p)", "c:\\dir\\"},
      {"ExtractFileName(p)", kHyou + ".txt"},
      {"ExtractFileExt(p)", ".txt"},
      {"ChangeFileExt(p, \".dat\")", "c:\\dir\\" + kHyou + ".dat"},
      {"ExtractFileName(q)", kSo},
      {"AddBackSlash(q)", "dir\\" + kSo + "\\"},
      {"AddBackSlash(\"dir\\\\\")", "dir\\"},
      {"IsPathDelimiter(q, 4)", "TRUE"},
      {"IsPathDelimiter(q, 6)", "FALSE"},
      {"IsPathDelimiter(q, 0)", "FALSE"},
      {"IsDelimiter(\",;\", \"a;b\", 2)", "TRUE"},
      {"IsDelimiter(\",;\", \"a;b\", 3)", "FALSE"},
      {"IsDelimiter(\",;\", \"a;b\", 99)", "FALSE"},
  };
  ExpectAll(cases);
}

TEST_F(SystemFunctions, Maths) {
  const Case cases[] = {
      {"Int(2.9)", "2"},
      {"Int(-2.9)", "-2"},
      {"Float(3)", "3"},
      {"Abs(-4)", "4"},
      {"Abs(-2147483647 - 1)", "-2147483648"},
      {"Fabs(Float(\"-1.5\"))", "1.5"},
      {"Min(3, -2)", "-2"},
      {"Max(3, -2)", "3"},
      {"Fmin(1.5, 2.5)", "1.5"},
      {"Fmax(1.5, 2.5)", "2.5"},
      {"Hypot(3, 4)", "5"},
      {"Not(TRUE)", "FALSE"},
      {"Sin(0)", "0"},
      {"Cos(0)", "1"},
  };
  ExpectAll(cases);
  Var(table, "f", PT_FLOAT);
  Evaluate(table, "f = ArcTan2(1, 0)");
  EXPECT_NEAR(static_cast<double>(table.Find("f")->value().GetAsFloat()), std::numbers::pi / 2,
              1e-12);
  Evaluate(table, "f = ArcTan2(0, -1)");
  EXPECT_NEAR(static_cast<double>(table.Find("f")->value().GetAsFloat()), std::numbers::pi, 1e-12);
}

TEST_F(SystemFunctions, RandomDrawsFromTheProcessGenerator) {
  ProcessRandom same{1};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Evaluate(table, "Random(10)").text, std::to_string(same.Below(10)));
  }
  EXPECT_EQ(Evaluate(table, "Random(0)").text, "0");
  EXPECT_EQ(Evaluate(table, "Random(-3)").text, "0");
}

TEST_F(SystemFunctions, Dates) {
  const Case cases[] = {
      {"EncodeDate(1899, 12, 30)", "0"},
      {"EncodeDate(1900, 1, 1)", "2"},
      {"EncodeDate(2000, 2, 29)", "36585"},
      {"EncodeTime(12, 0, 0)", "0.5"},
      {"GetYear(36585)", "2000"},
      {"GetMonth(36585)", "2"},
      {"GetDay(36585)", "29"},
      {"GetHour(0.75)", "18"},
      {"GetMin(EncodeTime(1, 2, 3))", "2"},
      {"GetSec(EncodeTime(1, 2, 3))", "3"},
      {"GetWeek(0)", "7"},
      {"GetWeekStr(1)", "Sunday"},
      {"GetYear(-1)", "1899"},
      {"GetDay(-1)", "29"},
  };
  ExpectAll(cases);
  // 2 January 2000 was a Sunday.
  EXPECT_EQ(Evaluate(table, "GetWeekJStr(EncodeDate(2000, 1, 2))").text, "\x93\xFA");
  EXPECT_EQ(Evaluate(table, "GetWeek(EncodeDate(2000, 1, 2))").text, "1");

  for (int name = 0; name < 3; ++name) Var(table, std::string("d") + "ymd"[name], PT_INT);
  Evaluate(table, "DecodeDate(EncodeDate(2024, 12, 31), dy, dm, dd)");
  EXPECT_EQ(table.Find("dy")->value().GetAsInt(), 2024);
  EXPECT_EQ(table.Find("dm")->value().GetAsInt(), 12);
  EXPECT_EQ(table.Find("dd")->value().GetAsInt(), 31);
  Evaluate(table, "DecodeTime(EncodeTime(23, 59, 58), dy, dm, dd)");
  EXPECT_EQ(table.Find("dy")->value().GetAsInt(), 23);
  EXPECT_EQ(table.Find("dm")->value().GetAsInt(), 59);
  EXPECT_EQ(table.Find("dd")->value().GetAsInt(), 58);
  // Dates that do not exist end the evaluation.
  EXPECT_EQ(Evaluate(table, "EncodeDate(2023, 2, 29)").text, "(none)");
  EXPECT_EQ(Evaluate(table, "EncodeTime(24, 0, 0)").text, "(none)");
  Var(table, "huge", PT_FLOAT).value().SetAsFloat(1e300L);
  EXPECT_EQ(Evaluate(table, "GetYear(huge)").text, "(none)");
}

TEST_F(SystemFunctions, WholeVariables) {
  Var(table, "a", PT_INT);
  Evaluate(table, "SetArray(a, 3, 4)");
  const Case cases[] = {
      {"GetArraySize(a)", "12"},
      {"GetArraySize(a, 0)", "4"},
      {"GetArraySize(a, 1)", "3"},
      {"GetArraySize(a, 2)", "1"},
  };
  ExpectAll(cases);
  Evaluate(table, "FillMem(a, \"7\")");
  EXPECT_EQ(table.Find("a")->value().GetIntAt(11), 7);
  Var(table, "b", PT_INT);
  Evaluate(table, "CopyMem(b, a)");
  EXPECT_EQ(table.Find("b")->value().GetCount(), 12);
  EXPECT_EQ(table.Find("b")->value().GetIntAt(5), 7);

  // Constants and classes that differ end the evaluation with their messages (silently).
  Var(table, "s", PT_STR);
  for (std::string_view bad :
       {"GetArraySize(3)", "SetArray(1, 2)", "FillMem(2.5, 1)", "CopyMem(s, a)",
        "SetArray(a, 3, 0)", "SetArray(a, 100000, 100000)"}) {
    EXPECT_EQ(Evaluate(table, bad).text, "(none)") << bad;
  }
  EXPECT_EQ(table.Find("a")->value().GetCount(), 12);
  const std::unique_ptr<TCustomParam> result = MakeParam(PT_INT);
  const std::unique_ptr<TCustomParam> three = MakeParam(PT_INT);
  TCustomParam* const args[] = {three.get()};
  EXPECT_EQ(test::MessageOf([&] { functions.Call(4, *result, args, table); }),
            "GetArraySize" + Jp(":変数が見つかりません"));
}

TEST_F(SystemFunctions, ArraysOfText) {
  Var(table, "t", PT_STR);
  Var(table, "text", PT_STR).value().SetAsStr("a\r\nb\rc\n");
  Evaluate(table, "StringToArray(text, t)");
  EXPECT_EQ(Evaluate(table, "ArrayToString(t, \"|\")").text, "a|b|c");
  table.Find("text")->value().SetAsStr(",a,," + kSo + ",");
  Var(table, "separators", PT_STR).value().SetAsStr(",\\");
  Evaluate(table, "StringToArray(text, t, separators)");
  // The "\" inside ソ separates nothing; a final separator adds no empty part.
  EXPECT_EQ(Evaluate(table, "ArrayToString(t, \"|\")").text, "|a||" + kSo);
  table.Find("text")->value().SetAsStr("");
  Evaluate(table, "StringToArray(text, t)");
  EXPECT_EQ(table.Find("t")->value().GetCount(), 1);
  EXPECT_EQ(table.Find("t")->value().GetAsStr(), "");

  table.Find("text")->value().SetAsStr("pear\r\nApple\r\nbanana");
  Evaluate(table, "StringToArray(text, t)");
  Evaluate(table, "SortStr(t)");
  EXPECT_EQ(Evaluate(table, "ArrayToString(t)").text, "Apple\r\nbanana\r\npear");
  const Case cases[] = {
      {"IndexOfStr(t, \"banana\")", "1"},
      {"IndexOfStr(t, \"BANANA\")", "-1"},
      {"IndexOfStr(t, \"BANANA\", FALSE)", "1"},
      {"IndexOfStr(t, \"ea\", TRUE, TRUE)", "2"},
  };
  ExpectAll(cases);
}

TEST_F(SystemFunctions, OneDimensionalArrays) {
  struct Step {
    std::string_view expression;
    std::string_view result;
    std::string_view elements;
  };
  const Step steps[] = {
      {"DeleteArray(a, 3, 10)", "3", "0|1|2"},
      {"DeleteArray(a, -4, 1)", "2", "1|2"},
      {"DeleteArray(a, 1, -3)", "2", "1|2"},
      {"AddArray(a, b)", "4", "1|2|8|9"},
      {"InsertArray(a, 1, b)", "6", "1|8|9|2|8|9"},
      {"InsertArray(a, 99, \"5\")", "7", "1|8|9|2|8|9|5"},
      {"AddArray(a, m)", "7", "1|8|9|2|8|9|5"},
      {"AddArray(a, a)", "14", "1|8|9|2|8|9|5|1|8|9|2|8|9|5"},
  };
  Var(table, "a", PT_INT);
  Evaluate(table, "SetArray(a, 5)");
  for (int i = 0; i < 5; ++i) table.Find("a")->value().SetIntAt(i, i);
  Var(table, "b", PT_STR);
  Evaluate(table, "SetArray(b, 2)");
  table.Find("b")->value().SetStrAt(0, "8");
  table.Find("b")->value().SetStrAt(1, "9");
  Var(table, "m", PT_INT);
  Evaluate(table, "SetArray(m, 2, 2)");
  for (const Step& s : steps) {
    EXPECT_EQ(Evaluate(table, s.expression).text, s.result) << s.expression;
    EXPECT_EQ(Evaluate(table, "ArrayToString(a, \"|\")").text, s.elements) << s.expression;
  }
  Var(table, "f", PT_FLOAT);
  EXPECT_EQ(Evaluate(table, "CopyArray(f, b)").text, "TRUE");
  EXPECT_EQ(table.Find("f")->value().GetCount(), 2);
  EXPECT_EQ(table.Find("f")->value().GetFloatAt(1), 9);
}

TEST_F(SystemFunctions, VariablesByName) {
  Var(table, "a", PT_INT, "3");
  Var(table, "s", PT_STR, "x");
  const Case cases[] = {
      {"VarExists(\"A\")", "TRUE"},
      {"VarExists(\"zz\")", "FALSE"},
      {"GetVarType(a)", "1"},
      {"GetVarType(s)", "4"},
      {"GetVarType(1.5)", "2"},
      {"AssignTemp(\"zz\")", "FALSE"},
      {"AssignTemp(\"a\")", "TRUE"},
      {"@Temp + 1", "4"},
      {"Calc(\"a = 5\")", "TRUE"},
      {"a", "5"},
      {"Calc(\"\")", ""},
  };
  ExpectAll(cases);
  EXPECT_EQ(Evaluate(table, "Calc(\"a = (\")").text, "(none)");

  EXPECT_EQ(Evaluate(table, "PushVar(\"a\", \"s\", \"missing\")").text, "TRUE");
  Evaluate(table, "a = 9");
  Evaluate(table, "s = \"changed\"");
  EXPECT_EQ(Evaluate(table, "PopVar()").text, "TRUE");
  EXPECT_EQ(table.Find("a")->value().GetAsInt(), 5);
  EXPECT_EQ(table.Find("s")->value().GetAsStr(), "x");
  EXPECT_EQ(Evaluate(table, "PopVar()").text, "TRUE");  // an empty stack changes nothing
}

}  // namespace
}  // namespace novu
