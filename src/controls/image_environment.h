#pragma once
// What picture controls need from the running game besides their object list: the image cache,
// the frame delta their clocks run on, and the variable table their delay expressions read.
namespace novu {

class TFipoCollection;
class TParamCollection;
struct ProcessState;

struct ImageEnvironment {
  TFipoCollection* cache = nullptr;
  const ProcessState* state = nullptr;  // frame_delta; none: clocks stand still
  TParamCollection* vars = nullptr;     // none: delay expressions add nothing
};

}  // namespace novu
