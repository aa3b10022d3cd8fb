#include "engine/command_layout.h"

#include <array>

namespace novu {
namespace {

using K = FieldKind;

constexpr FieldSpec kNone[] = {{K::kInt, 0, ""}};  // placeholder; spans below use size 0
constexpr FieldSpec kCond[] = {{K::kExpr, 0, "if"}};
constexpr FieldSpec kLabel[] = {{K::kString, 0, "name"}};
constexpr FieldSpec kJump[] = {{K::kString, 0, "page"}, {K::kInt, 0, "index"}, {K::kExpr, 0, "if"}};
constexpr FieldSpec kCall[] = {{K::kString, 0, "page"},
                               {K::kInt, 0, "index"},
                               {K::kString, 0, "result"},
                               {K::kExpr, 0, "if"},
                               {K::kExprList, 0, "args"}};
constexpr FieldSpec kWait[] = {
    {K::kExpr, 0, "while"}, {K::kExpr, 0, "time"}, {K::kExpr, 106, "block"}};
constexpr FieldSpec kProps[] = {{K::kProperties, 0, "props"}};
constexpr FieldSpec kFlip[] = {{K::kExpr, 0, "kind"},      {K::kExpr, 0, "duration"},
                               {K::kExpr, 0, "option"},    {K::kExpr, 0, "mode"},
                               {K::kExprList, 0, "names"}, {K::kExpr, 0, "hideback"},
                               {K::kExpr, 0, "param1"},    {K::kExpr, 0, "param2"},
                               {K::kExpr, 100, "source"},  {K::kExpr, 106, "block"}};
constexpr FieldSpec kExpr1[] = {{K::kExpr, 0, "expr"}};
constexpr FieldSpec kVarNew[] = {
    {K::kString, 0, "name"}, {K::kByte, 0, "type"}, {K::kExpr, 0, "value"}, {K::kByte, 0, "scope"}};
constexpr FieldSpec kVarDel[] = {{K::kString, 0, "name"}};
constexpr FieldSpec kGetProp[] = {
    {K::kExpr, 0, "object"}, {K::kExpr, 0, "property"}, {K::kString, 0, "target"}};
constexpr FieldSpec kSetProp[] = {
    {K::kExpr, 0, "object"}, {K::kExpr, 0, "property"}, {K::kExpr, 0, "value"}};
constexpr FieldSpec kObjDel[] = {{K::kExpr, 0, "object"}};
constexpr FieldSpec kTextIns[] = {{K::kData, 0, "text"},
                                  {K::kExpr, 0, "target"},
                                  {K::kExpr, 0, "history"},
                                  {K::kExpr, 0, "wait"},
                                  {K::kExpr, 106, "block"}};
constexpr FieldSpec kMovieStop[] = {
    {K::kExpr, 0, "e1"}, {K::kExpr, 0, "e2"}, {K::kExpr, 0, "e3"}, {K::kExpr, 106, "block"}};
constexpr FieldSpec kComment[] = {{K::kString, 0, "text"}};
constexpr FieldSpec kCallHist[] = {{K::kExpr, 0, "e1"},
                                   {K::kExpr, 0, "e2"},
                                   {K::kExpr, 0, "e3"},
                                   {K::kExpr, 0, "e4"},
                                   {K::kExpr, 110, "e5"}};
constexpr FieldSpec kWhile[] = {{K::kExpr, 0, "if"}, {K::kInt, 0, "exit"}};
constexpr FieldSpec kWhileLoop[] = {{K::kExpr, 0, "expr"}, {K::kInt, 0, "loop"}};
constexpr FieldSpec kBreak[] = {{K::kExpr, 0, "if"}, {K::kInt, 0, "target"}};
constexpr FieldSpec kGameSave[] = {{K::kExpr, 0, "slot"},
                                   {K::kString, 0, "page"},
                                   {K::kInt, 104, "index"},
                                   {K::kExpr, 104, "caption"}};
constexpr FieldSpec kGameLoad[] = {{K::kExpr, 0, "slot"}};
constexpr FieldSpec kPCReset[] = {
    {K::kString, 0, "page"}, {K::kInt, 0, "index"}, {K::kByte, 0, "full"}};
constexpr FieldSpec kPropMotion[] = {{K::kExpr, 0, "name"},     {K::kExpr, 0, "object"},
                                     {K::kExpr, 0, "property"}, {K::kExpr, 0, "value"},
                                     {K::kExpr, 0, "duration"}, {K::kExpr, 0, "type"},
                                     {K::kExpr, 107, "paused"}};
constexpr FieldSpec kFormatHist[] = {{K::kExpr, 0, "e1"}, {K::kExpr, 110, "e2"}};
constexpr FieldSpec kCabinet[] = {
    {K::kProperties, 0, "props"}, {K::kExpr, 0, "invert"}, {K::kExprList, 0, "names"}};

constexpr std::span<const FieldSpec> kEmpty(kNone, 0);

const std::array<OpcodeSpec, kOpcodeCount> kLayouts = {{
    {"If", kCond},
    {"Elseif", kCond},
    {"Else", kEmpty},
    {"Label", kLabel},
    {"Jump", kJump},
    {"Call", kCall},
    {"Exit", kCond},
    {"Wait", kWait},
    {"BoxNew", kProps},
    {"ImgNew", kProps},
    {"MesNew", kProps},
    {"Timer", kProps},
    {"Movie", kProps},
    {"Flip", kFlip},
    {"Calc", kExpr1},
    {"VarNew", kVarNew},
    {"VarDel", kVarDel},
    {"GetProp", kGetProp},
    {"SetProp", kSetProp},
    {"ObjDel", kObjDel},
    {"TextIns", kTextIns},
    {"MovieStop", kMovieStop},
    {"ClrHist", kEmpty},
    {"Cinema", kProps},
    {"Caption", kProps},
    {"Menu", kProps},
    {"MenuClose", kExpr1},
    {"Comment", kComment},
    {"TextClr", kExpr1},
    {"CallHist", kCallHist},
    {"Button", kProps},
    {"While", kWhile},
    {"WhileInit", kExpr1},
    {"WhileLoop", kWhileLoop},
    {"Break", kBreak},
    {"Continue", kBreak},
    {"ParticleNew", kProps},
    {"FireNew", kProps},
    {"GameSave", kGameSave},
    {"GameLoad", kGameLoad},
    {"PCReset", kPCReset},
    {"Reset", kPCReset},
    {"Sound", kProps},
    {"EditNew", kProps},
    {"MemoNew", kProps},
    {"Terminate", kEmpty},
    {"DoEvent", kEmpty},
    {"ClrRead", kEmpty},
    {"MapImgNew", kProps},
    {"WaveNew", kProps},
    {"TileNew", kProps},
    {"SliderNew", kProps},
    {"ScrollbarNew", kProps},
    {"GaugeNew", kProps},
    {"CGCaption", kProps},
    {"MediaPlay", kExpr1},
    {"PrevMenuNew", kProps},
    {"PropMotion", kPropMotion},
    {"FormatHist", kFormatHist},
    {"SaveCabinet", kCabinet},
    {"LoadCabinet", kCabinet},
}};

}  // namespace

const OpcodeSpec& OpcodeLayout(uint8_t code) {
  return kLayouts.at(code);
}

int FindOpcode(std::string_view name) {
  for (size_t i = 0; i < kLayouts.size(); ++i) {
    if (kLayouts[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace novu
