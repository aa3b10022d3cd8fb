#include "controls/control_factory.h"

#include "controls/novu_box.h"
#include "controls/novu_http.h"
#include "controls/novu_images.h"
#include "controls/novu_mes.h"
#include "controls/novu_sound.h"
#include "controls/novu_tile.h"
#include "objects/object_factory.h"

namespace novu {

std::unique_ptr<TNovuObject> CreateControl(ObjectList& list, uint8_t type,
                                           const ImageEnvironment& env) {
  switch (type & 0x7f) {
    case LT_IMAGES:
      return MakeObject<TNovuImages>(&list, env);
    case LT_TILE:
      return MakeObject<TNovuTile>(&list, env);
    case LT_BOX:
      return MakeObject<TNovuBox>(&list);
    case LT_MES:
      return MakeObject<TNovuMes>(&list, env);
    case LT_SOUND:
      return MakeObject<TNovuSound>(&list, env.media);
    case LT_HTTP:
      return MakeObject<TNovuHttp>(&list, env.http, env.state);
    default:
      return MakeScriptObject(list, type);
  }
}

TNovuBaseList::Factory MakeControlFactory(ImageEnvironment env) {
  return [env](ObjectList& list, uint8_t type) { return CreateControl(list, type, env); };
}

}  // namespace novu
