// Writes the seed corpus of the message-window fuzz target into the folder given as argument:
// windows saved part-way through revealing markup, a TextIns text, and a shown history.
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/binary_writer.h"
#include "message_window.h"
#include "platform/file_io.h"

namespace {

using namespace novu;

void WriteSeed(const std::filesystem::path& folder, const std::string& name, const TNovuMes& mes,
               int32_t version) {
  BinaryWriter out;
  out.U8(fuzz::ObjectVersionByte(version));
  mes.SaveToStream(out);
  platform::WriteFileAtomically(folder / name, out.bytes());
}

TNovuMes& Window(fuzz::MessageScene& s) {
  auto& mes = static_cast<TNovuMes&>(s.list.base(0).AddChild(s.list.CreateByType(LT_MES)));
  mes.SetName("m");
  mes.SetBounds(2, 4, 60, 40);
  mes.SetProperty(PR_WIDTH, 60);
  mes.SetProperty(PR_HEIGHT, 40);
  mes.SetProperty(PR_FONTHEIGHT, 12);
  mes.SetProperty(PR_DELAY, 40);
  mes.SetProperty(PR_ONNOTIFY, std::string("n.nsb"));
  return mes;
}

void Frames(fuzz::MessageScene& s, int n) {
  for (int i = 0; i < n; ++i) {
    s.state.game_clock += 15;
    s.list.Update();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: message_window_seeds CORPUS_FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);

  {
    fuzz::MessageScene s;
    TNovuMes& mes = Window(s);
    mes.SetProperty(PR_TEXT, std::string("<WAIT VALUE=20>ab<EVENT VALUE=\"x\">cd<BR CLEAR>ef"));
    Frames(s, 3);
    WriteSeed(folder, "markup", mes, kObjectLayoutVersion);
    WriteSeed(folder, "markup_old", mes, 112);
  }
  {
    fuzz::MessageScene s;
    TNovuMes& mes = Window(s);
    mes.InsertText(true, "p.nsb", 0);
    Frames(s, 5);
    WriteSeed(folder, "textins", mes, kObjectLayoutVersion);
    WriteSeed(folder, "textins_103", mes, 103);
  }
  {
    fuzz::MessageScene s;
    TNovuMes& mes = Window(s);
    mes.InsertText(true, "p.nsb", 1);
    mes.SetPageIndex(1);
    mes.ClearText();
    mes.references().push_back({"p.nsb", 1, 0, 60, 40});
    mes.references().push_back({"", 1, 1, 60, 20});
    mes.Rebuild(false);
    mes.SetPageIndex(0);
    Frames(s, 2);
    WriteSeed(folder, "references", mes, kObjectLayoutVersion);
  }
  return 0;
}
