#pragma once
// What picture controls need from the running game besides their object list: the image cache,
// the frame delta their clocks run on, the variable table their delay expressions read, and the
// media managers sounds play through.
namespace novu {

class TFipoCollection;
class TParamCollection;
struct ProcessState;
namespace media {
class MediaService;
}

struct ImageEnvironment {
  TFipoCollection* cache = nullptr;
  const ProcessState* state = nullptr;   // frame_delta; none: clocks stand still
  TParamCollection* vars = nullptr;      // none: delay expressions add nothing
  media::MediaService* media = nullptr;  // none: sounds play nothing
};

}  // namespace novu
