#include "controls/control_factory.h"

#include "controls/novu_box.h"
#include "controls/novu_button.h"
#include "controls/novu_cg_label.h"
#include "controls/novu_cinema.h"
#include "controls/novu_edit.h"
#include "controls/novu_fire.h"
#include "controls/novu_gauge.h"
#include "controls/novu_http.h"
#include "controls/novu_images.h"
#include "controls/novu_label.h"
#include "controls/novu_map_image.h"
#include "controls/novu_menu.h"
#include "controls/novu_mes.h"
#include "controls/novu_particle.h"
#include "controls/novu_prev_menu.h"
#include "controls/novu_slider.h"
#include "controls/novu_sound.h"
#include "controls/novu_tile.h"
#include "controls/novu_video.h"
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
    case LT_BUTTON:
      return MakeObject<TNovuButton>(&list, env);
    case LT_PREVMENU:
      return MakeObject<TNovuPrevMenu>(&list, env);
    case LT_MENU:
      return MakeObject<TNovuMenu>(&list, env);
    case LT_LABEL:
      return MakeObject<TNovuLabel>(&list, env);
    case LT_CGLABEL:
      return MakeObject<TNovuCGLabel>(&list, env);
    case LT_EDIT:
      return MakeObject<TNovuEdit>(&list, env);
    case LT_MEMO:
      return MakeObject<TNovuMemo>(&list, env);
    case LT_SLIDER:
      return MakeObject<TNovuSlider>(&list, env);
    case LT_SCROLLBAR:
      return MakeObject<TNovuScrollbar>(&list, env);
    case LT_GAUGE:
      return MakeObject<TNovuGauge>(&list, env);
    case LT_MAPIMG:
      return MakeObject<TNovuMapImage>(&list, env);
    case LT_VIDEO:
      return MakeObject<TNovuVideo>(&list, env);
    case LT_CINEMA:
      return MakeObject<TNovuCinema>(&list, env);
    case LT_FIRE:
      return MakeObject<TNovuFire>(&list, env);
    case LT_PARTICLE:
      return MakeObject<TNovuParticle>(&list, env);
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
