#pragma once
// The record layout of every command opcode: which fields follow the common header, in order,
// and from which page version each is present. The page reader, the writer and the page text
// tools all walk these tables, so a layout is stated once.
#include <cstdint>
#include <span>
#include <string_view>

namespace novu {

inline constexpr int kOpcodeCount = 61;

enum class FieldKind : uint8_t {
  kExpr,        // one compiled expression
  kString,      // length-prefixed string
  kInt,         // i32
  kByte,        // u8
  kData,        // i32 byte count, then that many bytes (message text)
  kExprList,    // i32 count, then that many expressions
  kProperties,  // one expression per property bit set in the page's set for the opcode
};

struct FieldSpec {
  FieldKind kind;
  // Present only on pages whose version is greater than this (0: always).
  int32_t after_version = 0;
  std::string_view name;  // the field's name in page text
};

struct OpcodeSpec {
  std::string_view name;  // the editor's command name ("If", "BoxNew", ...)
  std::span<const FieldSpec> fields;
};

// The layout of an opcode in 0 .. kOpcodeCount-1.
const OpcodeSpec& OpcodeLayout(uint8_t code);
// The opcode of a command name (exact), or -1.
int FindOpcode(std::string_view name);

enum Opcode : uint8_t {
  kOpIf = 0,
  kOpElseif = 1,
  kOpElse = 2,
  kOpLabel = 3,
  kOpJump = 4,
  kOpCall = 5,
  kOpExit = 6,
  kOpWait = 7,
  kOpBoxNew = 8,
  kOpTimer = 11,
  kOpFlip = 13,
  kOpCalc = 14,
  kOpVarNew = 15,
  kOpVarDel = 16,
  kOpGetProp = 17,
  kOpSetProp = 18,
  kOpObjDel = 19,
  kOpTextIns = 20,
  kOpMovieStop = 21,
  kOpClrHist = 22,
  kOpMenuClose = 26,
  kOpComment = 27,
  kOpTextClr = 28,
  kOpCallHist = 29,
  kOpWhile = 31,
  kOpWhileInit = 32,
  kOpWhileLoop = 33,
  kOpBreak = 34,
  kOpContinue = 35,
  kOpGameSave = 38,
  kOpGameLoad = 39,
  kOpPCReset = 40,
  kOpReset = 41,
  kOpSound = 42,
  kOpTerminate = 45,
  kOpDoEvent = 46,
  kOpClrRead = 47,
  kOpMediaPlay = 55,
  kOpPropMotion = 57,
  kOpFormatHist = 58,
  kOpSaveCabinet = 59,
  kOpLoadCabinet = 60,
};

}  // namespace novu
