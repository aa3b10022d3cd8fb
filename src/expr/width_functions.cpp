// HanToZen and ZenToHan: printable ASCII and half-width katakana against their full-width
// code-page-932 forms, with the voiced (0xDE) and semi-voiced (0xDF) marks joined to or split
// from the kana they follow.
#include <array>
#include <map>

#include "expr/function_text.h"
#include "expr/sys_func_man.h"

namespace novu {
namespace {

// Full-width forms of 0x20..0x7E.
constexpr std::array<uint16_t, 0x5F> kAsciiWide = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  // space ! " # $ % & '
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // ( ) * + , - . /
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 0 .. 7
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 8 9 : ; < = > ?
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // @ A .. G
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // H .. O
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // P .. W
    0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151,  // X Y Z [ \ ] ^ _
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // ` a .. g
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // h .. o
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // p .. w
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // x y z { | } ~
};

// Full-width forms of the half-width kana 0xA1..0xDF.
constexpr std::array<uint16_t, 0x3F> kKanaWide = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340,          // A1..A7
    0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,  // A8..AF
    0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C,  // B0..B7
    0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,  // B8..BF
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,  // C0..C7
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D,  // C8..CF
    0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,  // D0..D7
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,  // D8..DF
};

constexpr uint8_t kVoicedMark = 0xDE;
constexpr uint8_t kSemiVoicedMark = 0xDF;

bool TakesVoicedMark(uint8_t kana) {
  return (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE) || kana == 0xB3;
}
bool TakesSemiVoicedMark(uint8_t kana) {
  return kana >= 0xCA && kana <= 0xCE;
}
// ウ with the voiced mark is ヴ, which does not follow its plain form in the code page.
constexpr uint16_t kWideVu = 0x8394;

void AppendWide(std::string& out, uint16_t code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

std::string HanToZen(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<uint8_t>(s[i]);
    if (cp932::IsLeadByte(b)) {
      if (i + 1 < s.size()) out.append(s.substr(i, 2));
      ++i;
    } else if (b >= 0x20 && b <= 0x7E) {
      AppendWide(out, kAsciiWide[b - 0x20]);
    } else if (b >= 0xA1 && b <= 0xDF) {
      uint16_t wide = kKanaWide[b - 0xA1];
      const uint8_t next = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
      if (next == kVoicedMark && TakesVoicedMark(b)) {
        wide = b == 0xB3 ? kWideVu : static_cast<uint16_t>(wide + 1);
        ++i;
      } else if (next == kSemiVoicedMark && TakesSemiVoicedMark(b)) {
        wide = static_cast<uint16_t>(wide + 2);
        ++i;
      }
      AppendWide(out, wide);
    }
    // Any other single byte has no full-width form and is dropped.
  }
  return out;
}

// Full-width code -> its half-width bytes.
const std::map<uint16_t, std::string>& NarrowForms() {
  static const std::map<uint16_t, std::string> forms = [] {
    std::map<uint16_t, std::string> m;
    for (size_t i = 0; i < kAsciiWide.size(); ++i) {
      m[kAsciiWide[i]] = std::string(1, static_cast<char>(0x20 + i));
    }
    m[0x8167] = "\"";  // the opening full-width double quote too
    for (size_t i = 0; i < kKanaWide.size(); ++i) {
      const auto kana = static_cast<uint8_t>(0xA1 + i);
      const uint16_t wide = kKanaWide[i];
      m[wide] = std::string(1, static_cast<char>(kana));
      if (TakesVoicedMark(kana) && kana != 0xB3) {
        m[static_cast<uint16_t>(wide + 1)] = {static_cast<char>(kana),
                                              static_cast<char>(kVoicedMark)};
      }
      if (TakesSemiVoicedMark(kana)) {
        m[static_cast<uint16_t>(wide + 2)] = {static_cast<char>(kana),
                                              static_cast<char>(kSemiVoicedMark)};
      }
    }
    m[kWideVu] = {static_cast<char>(0xB3), static_cast<char>(kVoicedMark)};
    return m;
  }();
  return forms;
}

std::string ZenToHan(std::string_view s) {
  std::string out;
  const auto& forms = NarrowForms();
  for (size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<uint8_t>(s[i]);
    if (cp932::IsLeadByte(b) && i + 1 < s.size()) {
      const auto code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(s[i + 1]));
      const auto it = forms.find(code);
      if (it != forms.end()) {
        out += it->second;
      } else {
        out.append(s.substr(i, 2));
      }
      ++i;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

}  // namespace

void RegisterWidthFunctions(SysFuncMan& f) {
  f.Register(85, [](const FunctionCall& c) { c.result().SetAsStr(HanToZen(c.Str(0))); });
  f.Register(86, [](const FunctionCall& c) { c.result().SetAsStr(ZenToHan(c.Str(0))); });
}

}  // namespace novu
