#pragma once
// What picture controls need from the running game besides their object list: the image cache,
// the frame delta their clocks run on, the variable table their delay expressions read, and the
// media managers sounds play through; and for message windows the glyph cache, the script
// texts, the read marks and the history formats; for edit boxes the keyboard focus of the boxes.
namespace novu {

class MessageTextSource;
class TFipoCollection;
class TNovuHistoryFormatManager;
class TNovuReadList;
class TParamCollection;
class TextEntryFocus;
struct ProcessState;
namespace media {
class MediaService;
}
namespace platform {
class HttpClient;
}
namespace text {
class TFontPixelManager;
}

struct ImageEnvironment {
  TFipoCollection* cache = nullptr;
  const ProcessState* state = nullptr;             // frame_delta; none: clocks stand still
  TParamCollection* vars = nullptr;                // none: delay expressions add nothing
  media::MediaService* media = nullptr;            // none: sounds play nothing
  text::TFontPixelManager* glyphs = nullptr;       // none: message windows draw nothing
  MessageTextSource* texts = nullptr;              // none: TextIns references show nothing
  TNovuReadList* reads = nullptr;                  // none: nothing is marked read
  TNovuHistoryFormatManager* histories = nullptr;  // none: no history is kept
  TextEntryFocus* text_entry = nullptr;            // none: edit boxes never take the keyboard
  platform::HttpClient* http = nullptr;            // none: downloads end at once, empty
};

}  // namespace novu
