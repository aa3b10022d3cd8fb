#include "engine/page.h"

#include <gtest/gtest.h>

#include "core/binary_writer.h"
#include "engine/control_commands.h"
#include "expr/build_novu_parser.h"
#include "platform/error.h"

namespace novu {
namespace {

void Expr(BinaryWriter& out, std::string_view text) {
  TBuildNovuParser build;
  build.Compile(text);
  build.SaveToStream(out);
}

void Header(BinaryWriter& out, int32_t depth = 0, int32_t line = 1) {
  out.I32(depth);
  out.U8(0);
  out.U8(1);
  out.I32(line);
}

// A page file with the given property-set table and the records written by `records`.
template <typename Records>
std::vector<uint8_t> PageFile(int32_t version, int32_t set_count, int32_t set_size,
                              const std::vector<uint8_t>& sets, int32_t command_count,
                              Records records) {
  BinaryWriter out;
  out.I32(version);
  out.U8(1);
  out.I32(set_count);
  out.I32(set_size);
  out.Bytes(sets);
  out.I32(command_count);
  records(out);
  return out.Take();
}

std::vector<uint8_t> StandardSets(uint8_t code, std::initializer_list<int> properties) {
  std::vector<uint8_t> sets(kOpcodeCount * kPropertySetBytes);
  for (int p : properties) sets[code * kPropertySetBytes + p / 8] |= 1 << (p % 8);
  return sets;
}

TEST(Page, BoxNewCarriesItsPropertyExpressionsInNumberOrder) {
  const auto data = PageFile(114, kOpcodeCount, kPropertySetBytes,
                             StandardSets(kOpBoxNew, {0, 3, 4}), 1, [](BinaryWriter& out) {
                               out.U8(kOpBoxNew);
                               Header(out);
                               Expr(out, "\"box\"");
                               Expr(out, "10");
                               Expr(out, "20");
                             });
  TPage page;
  ASSERT_EQ(page.Load("main.nsb", data), TPage::LoadResult::kLoaded);
  ASSERT_EQ(page.Count(), 1);
  const CommandField& props = page.Command(0).fields().at(0);
  EXPECT_EQ(props.properties, (std::vector<uint8_t>{0, 3, 4}));
  EXPECT_EQ(props.list.size(), 3u);
  EXPECT_EQ(page.Serialize(), data);
}

TEST(Page, StoredSetTablesOfOtherShapes) {
  struct Case {
    const char* what;
    int32_t count;
    int32_t size;
    int property;  // set in the stored entry of BoxNew
    bool kept;     // whether the page's set keeps it
  };
  const Case cases[] = {
      {"Z 16 keeps bits below 128", 61, 16, 100, true},
      {"Z 25 keeps the first 21 bytes", 61, 25, 162, true},
      {"Z 25 drops bits past 167", 61, 25, 170, false},
      {"S above 61", 70, 21, 5, true},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> sets(static_cast<size_t>(c.count) * c.size);
    sets[kOpBoxNew * c.size + c.property / 8] |= 1 << (c.property % 8);
    sets[(c.count - 1) * c.size] = 0xFF;  // the last entry: beyond 60 for S > 61
    const bool carries = c.kept && c.property < kPropertyCount;
    const auto data = PageFile(114, c.count, c.size, sets, 1, [&](BinaryWriter& out) {
      out.U8(kOpBoxNew);
      Header(out);
      if (carries) Expr(out, "1");
    });
    TPage page;
    ASSERT_EQ(page.Load("p.nsb", data), TPage::LoadResult::kLoaded) << c.what;
    EXPECT_EQ(HasProperty(page.Set(kOpBoxNew), c.property < kPropertyCount ? c.property : 0),
              carries)
        << c.what;
    EXPECT_EQ(page.Command(0).fields()[0].list.size(), carries ? 1u : 0u) << c.what;
    EXPECT_EQ(page.Serialize(), data) << c.what;
  }
}

TEST(Page, VersionGatedFields) {
  struct Case {
    uint8_t code;
    int32_t version;
    size_t expressions;
  };
  const Case cases[] = {
      {kOpWait, 106, 2},
      {kOpWait, 107, 3},
      {29 /* CallHist */, 110, 4},
      {29, 111, 5},
      {57 /* PropMotion */, 107, 6},
      {57, 108, 7},
      {58 /* FormatHist */, 110, 1},
      {58, 111, 2},
  };
  for (const Case& c : cases) {
    const auto data = PageFile(c.version, 0, 0, {}, 1, [&](BinaryWriter& out) {
      out.U8(c.code);
      Header(out);
      for (size_t i = 0; i < c.expressions; ++i) Expr(out, "1");
    });
    TPage page;
    ASSERT_EQ(page.Load("p.nsb", data), TPage::LoadResult::kLoaded);
    size_t present = 0;
    for (const CommandField& f : page.Command(0).fields()) present += f.present ? 1 : 0;
    EXPECT_EQ(present, c.expressions) << int(c.code) << " v" << c.version;
    EXPECT_EQ(page.Serialize(), data);
  }
}

TEST(Page, VersionLimits) {
  BinaryWriter too_new;
  too_new.I32(115);
  TPage page;
  EXPECT_EQ(page.Load("p.nsb", too_new.bytes()), TPage::LoadResult::kTooNew);
  EXPECT_EQ(page.Count(), 0);
  BinaryWriter too_old;
  too_old.I32(102);
  EXPECT_EQ(page.Load("p.nsb", too_old.bytes()), TPage::LoadResult::kNeedsRebuild);
  EXPECT_EQ(page.Count(), 0);
}

TEST(Page, DamagedPagesRaise) {
  auto records = [](uint8_t code) {
    return [code](BinaryWriter& out) {
      out.U8(code);
      Header(out);
    };
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
  };
  const Case cases[] = {
      {"opcode above 60", PageFile(114, 0, 0, {}, 1, records(61))},
      {"command count beyond the data", PageFile(114, 0, 0, {}, 1000000, records(kOpElse))},
      {"negative command count", PageFile(114, 0, 0, {}, -1, records(kOpElse))},
      {"set table beyond the data", PageFile(114, 0x10000, 0x10000, {}, 0, records(kOpElse))},
      {"negative set size", PageFile(114, 61, -21, {}, 0, records(kOpElse))},
      {"truncated record", PageFile(114, 0, 0, {}, 1,
                                    [](BinaryWriter& out) {
                                      out.U8(kOpCalc);
                                      Header(out);
                                    })},
      {"expression count beyond the data", PageFile(114, 0, 0, {}, 1,
                                                    [](BinaryWriter& out) {
                                                      out.U8(kOpCalc);
                                                      Header(out);
                                                      out.I32(0x7FFFFFFF);
                                                    })},
      {"argument count beyond the data", PageFile(114, 0, 0, {}, 1,
                                                  [](BinaryWriter& out) {
                                                    out.U8(kOpCall);
                                                    Header(out);
                                                    out.String("sub.nsb");
                                                    out.I32(0);
                                                    out.String("");
                                                    Expr(out, "TRUE");
                                                    out.I32(50000);
                                                  })},
      {"text size beyond the data", PageFile(114, 0, 0, {}, 1,
                                             [](BinaryWriter& out) {
                                               out.U8(kOpTextIns);
                                               Header(out);
                                               out.I32(1 << 30);
                                             })},
  };
  for (const Case& c : cases) {
    TPage page;
    EXPECT_THROW(page.Load("p.nsb", c.data), NovuError) << c.what;
    EXPECT_EQ(page.Count(), 0) << c.what;
  }
  TPage page;
  try {
    page.Load("p.nsb", cases[0].data);
  } catch (const NovuError& e) {
    EXPECT_EQ(e.message(), Jp("不正なコマンド"));
  }
}

TEST(Page, FactoryIgnoresTheTopBitAndFindsLabels) {
  const auto data = PageFile(114, 0, 0, {}, 3, [](BinaryWriter& out) {
    out.U8(kOpLabel | 0x80);
    Header(out);
    out.String("start");
    out.U8(kOpComment);
    Header(out);
    out.String("start");
    out.U8(kOpLabel);
    Header(out);
    out.String("Start");
  });
  TPage page;
  ASSERT_EQ(page.Load("p.nsb", data), TPage::LoadResult::kLoaded);
  EXPECT_EQ(page.Command(0).GetCode(), kOpLabel);
  EXPECT_EQ(page.FindLabel("start"), 0);
  EXPECT_EQ(page.FindLabel("Start"), 2);  // exact, case-sensitive
  EXPECT_EQ(page.FindLabel("none"), -1);
  EXPECT_TRUE(page.Command(1).GetDisabled());  // comments never run
  EXPECT_EQ(page.IndexOf(&page.Command(2)), 2);
  EXPECT_EQ(page.Serialize(), data);
}

}  // namespace
}  // namespace novu
