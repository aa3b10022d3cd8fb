#pragma once
// The words of the authors' text descriptions (project file, motion files): one field a line,
// words separated by blanks, strings double-quoted with the escapes \\ \" \n \t \r and \xHH
// (one raw CP932 byte).
#include <string>
#include <string_view>
#include <vector>

namespace novu {

// The words of one line, strings unescaped (still UTF-8, raw bytes marked); a malformed string
// raises NovuError naming `what` and the line.
std::vector<std::string> SplitDescriptionWords(std::string_view text, int line,
                                               std::string_view what);
// A word of SplitDescriptionWords as CP932 (the marked raw bytes kept as they are).
std::string DescriptionWordToCp932(const std::string& word);
// CP932 text as a quoted string that SplitDescriptionWords reads back.
std::string QuoteDescription(std::string_view cp932);

}  // namespace novu
