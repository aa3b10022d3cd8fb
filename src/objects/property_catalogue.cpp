#include "objects/property_catalogue.h"

#include <array>

#include "core/cp932.h"

namespace novu {
namespace {

using I = Implementer;

constexpr std::array<ImplementerInfo, static_cast<size_t>(I::kCount)> kImplementers{{
    {I::kAll, "all", LT_NONE},
    {I::kControls, "controls", LT_NONE},
    {I::kEveryConcreteClass, "every concrete class", LT_NONE},
    {I::kCustomImageFamily, "CustomImage family", LT_NONE},
    {I::kCustomImagesFamily, "CustomImages family", LT_NONE},
    {I::kBaseList, "BaseList", LT_NONE},
    {I::kBox, "Box", LT_BOX},
    {I::kButton, "Button", LT_BUTTON},
    {I::kCGLabel, "CGLabel", LT_CGLABEL},
    {I::kCinema, "Cinema", LT_CINEMA},
    {I::kCustomListBox, "CustomListBox", LT_NONE},
    {I::kEdit, "Edit", LT_EDIT},
    {I::kFire, "Fire", LT_FIRE},
    {I::kGauge, "Gauge", LT_GAUGE},
    {I::kHttp, "Http", LT_HTTP},
    {I::kImage, "Image", LT_NONE},
    {I::kImages, "Images", LT_IMAGES},
    {I::kLabel, "Label", LT_LABEL},
    {I::kMapImage, "MapImage", LT_MAPIMG},
    {I::kMemo, "Memo", LT_MEMO},
    {I::kMenu, "Menu", LT_MENU},
    {I::kMes, "Mes", LT_MES},
    {I::kParticle, "Particle", LT_PARTICLE},
    {I::kParticleImages, "ParticleImages", LT_NONE},
    {I::kPrevImages, "PrevImages", LT_NONE},
    {I::kPrevMenu, "PrevMenu", LT_PREVMENU},
    {I::kPropMotion, "PropMotion", LT_PROPMOTION},
    {I::kScrollbar, "Scrollbar", LT_SCROLLBAR},
    {I::kSlider, "Slider", LT_SLIDER},
    {I::kSound, "Sound", LT_SOUND},
    {I::kTile, "Tile", LT_TILE},
    {I::kTimer, "Timer", LT_TIMER},
    {I::kVideo, "Video", LT_VIDEO},
    {I::kWave, "Wave", LT_WAVE},
}};

// Rows that another row refers to ("as PR_FONTNAME") share one set, so they cannot drift apart.
constexpr ImplementerSet kZoomFamily{
    I::kButton, I::kCustomImageFamily, I::kFire, I::kLabel, I::kTile, I::kVideo};
constexpr ImplementerSet kFontNameFamily{I::kButton, I::kCustomListBox, I::kEdit, I::kLabel,
                                         I::kMemo,   I::kMenu,          I::kMes};
constexpr ImplementerSet kIndexFamily{I::kButton, I::kCinema, I::kCustomListBox, I::kImages,
                                      I::kMenu,   I::kMes,    I::kParticle,      I::kPrevImages,
                                      I::kSound,  I::kTile,   I::kVideo};
constexpr ImplementerSet kOrigWidthFamily{I::kButton, I::kCGLabel, I::kCustomImageFamily,
                                          I::kFire,   I::kTile,    I::kVideo};
constexpr ImplementerSet kFlipFamily{I::kButton, I::kCustomImageFamily, I::kLabel, I::kTile,
                                     I::kVideo};

constexpr PropertyDefault Int(int32_t value) {
  return {DefaultSource::kConstant, value};
}
constexpr PropertyDefault Bool(bool value) {
  return {DefaultSource::kConstant, value ? 1 : 0};
}
constexpr PropertyDefault Float(int32_t value) {
  return {DefaultSource::kConstant, value};
}
constexpr PropertyDefault kEmpty{};
constexpr PropertyDefault kObjectName{DefaultSource::kName};
constexpr PropertyDefault kObjectPriority{DefaultSource::kPriority};
constexpr PropertyDefault kObjectTag{DefaultSource::kTag};
constexpr PropertyDefault kObjectWidth{DefaultSource::kWidth};
constexpr PropertyDefault kObjectHeight{DefaultSource::kHeight};

// The name is spelled by the enumerator itself, so a row can never carry another row's name.
#define NOVU_PROPERTY(id, type, fallback, flags, ...)           \
  PropertyInfo {                                                \
    id, #id, type, fallback, ImplementerSet{__VA_ARGS__}, flags \
  }

// PR_ONPLAYING holds a label like every other event property, so it is text in both directions
// (reading it as a boolean would turn every label into "true" and lose it on the way back).
// PR_APPEARX and PR_APPEARY read 0 everywhere and refuse writes.
constexpr std::array<PropertyInfo, kPropCount> kCatalogue{{
    NOVU_PROPERTY(PR_NAME, PT_STR, kObjectName, kPropPlain, I::kAll),
    NOVU_PROPERTY(PR_PARENT, PT_STR, kEmpty, kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_SOURCE, PT_STR, kEmpty, kPropPlain, I::kBox, I::kButton, I::kCGLabel,
                  I::kCinema, I::kGauge, I::kHttp, I::kImage, I::kImages, I::kLabel, I::kMapImage,
                  I::kParticle, I::kPrevImages, I::kPrevMenu, I::kScrollbar, I::kSlider, I::kSound,
                  I::kTile, I::kVideo),
    NOVU_PROPERTY(PR_LEFT, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_TOP, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_WIDTH, PT_INT, Int(0), kPropPlain, I::kControls, I::kBaseList),
    NOVU_PROPERTY(PR_HEIGHT, PT_INT, Int(0), kPropPlain, I::kControls, I::kBaseList),
    NOVU_PROPERTY(PR_ZOOMX, PT_INT, Int(256), kPropPlain, kZoomFamily),
    NOVU_PROPERTY(PR_COLOR, PT_INT, Int(0xffffff), kPropPlain, I::kControls, I::kBaseList),
    NOVU_PROPERTY(PR_BORDERWIDTH, PT_INT, Int(0), kPropPlain, I::kBox, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERCOLOR, PT_INT, Int(-1), kPropPlain, I::kBox, I::kCustomListBox,
                  I::kMenu),
    NOVU_PROPERTY(PR_ALPHA, PT_INT, Int(255), kPropPlain, I::kBox, I::kButton, I::kCGLabel,
                  I::kCustomImageFamily, I::kCustomListBox, I::kGauge, I::kLabel, I::kMapImage,
                  I::kMenu, I::kMes, I::kParticle, I::kScrollbar, I::kSlider, I::kTile, I::kVideo),
    NOVU_PROPERTY(PR_PRIORITY, PT_INT, kObjectPriority, kPropPlain, I::kAll),
    NOVU_PROPERTY(PR_OFFSETX, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_OFFSETY, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_FONTNAME, PT_STR, kEmpty, kPropPlain, kFontNameFamily),
    NOVU_PROPERTY(PR_FONTHEIGHT, PT_INT, Int(0), kPropPlain, kFontNameFamily),
    NOVU_PROPERTY(PR_FONTSTYLE, PT_INT, Int(0), kPropPlain, I::kButton, I::kCustomListBox, I::kEdit,
                  I::kLabel, I::kMemo, I::kMenu),
    NOVU_PROPERTY(PR_LINESPACE, PT_INT, Int(0), kPropPlain, I::kCGLabel, I::kCustomListBox,
                  I::kLabel, I::kMenu, I::kMes),
    NOVU_PROPERTY(PR_FONTCOLOR, PT_INT, Int(0), kPropPlain, kFontNameFamily),
    NOVU_PROPERTY(PR_FONTLINKCOLOR, PT_INT, Int(0), kPropPlain, I::kMes),
    NOVU_PROPERTY(PR_FONTBORDERCOLOR, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu,
                  I::kMes),
    NOVU_PROPERTY(PR_FONTHOVERCOLOR, PT_INT, Int(0), kPropPlain, I::kMenu, I::kMes),
    NOVU_PROPERTY(PR_FONTHOVERSTYLE, PT_INT, Int(0), kPropPlain, I::kMenu),
    NOVU_PROPERTY(PR_HOVERCOLOR, PT_INT, Int(-1), kPropPlain, I::kMenu),
    NOVU_PROPERTY(PR_ANTIALIAS, PT_BOOL, Bool(false), kPropPlain, I::kButton, I::kCustomListBox,
                  I::kLabel, I::kMenu, I::kMes),
    NOVU_PROPERTY(PR_DELAY, PT_INT, Int(0), kPropPlain, I::kGauge, I::kMenu, I::kMes, I::kSound,
                  I::kTimer, I::kVideo, I::kWave),
    NOVU_PROPERTY(PR_PAUSED, PT_BOOL, Bool(false), kPropPlain, I::kBox, I::kButton, I::kCGLabel,
                  I::kCinema, I::kCustomImagesFamily, I::kCustomListBox, I::kEdit, I::kFire,
                  I::kGauge, I::kLabel, I::kMapImage, I::kMemo, I::kMenu, I::kMes, I::kParticle,
                  I::kPrevMenu, I::kPropMotion, I::kScrollbar, I::kSlider, I::kSound, I::kTile,
                  I::kTimer, I::kVideo, I::kWave),
    NOVU_PROPERTY(PR_VOLUME, PT_INT, Int(0), kPropPlain, I::kCinema, I::kSound, I::kVideo),
    NOVU_PROPERTY(PR_REPEAT, PT_BOOL, Bool(false), kPropPlain, I::kBox, I::kButton, I::kCinema,
                  I::kImages, I::kLabel, I::kMapImage, I::kPrevImages, I::kSound, I::kTile,
                  I::kVideo),
    NOVU_PROPERTY(PR_BALANCE, PT_INT, Int(0), kPropPlain, I::kSound, I::kVideo),
    NOVU_PROPERTY(PR_ANGLE, PT_INT, Int(0), kPropPlain, I::kButton, I::kCustomImageFamily,
                  I::kLabel, I::kTile, I::kVideo),
    NOVU_PROPERTY(PR_ONPLAYING, PT_STR, kEmpty, kPropEventLabel, I::kMes),
    NOVU_PROPERTY(PR_ONNOTIFY, PT_STR, kEmpty, kPropEventLabel, I::kButton, I::kEdit, I::kMemo,
                  I::kMes, I::kScrollbar, I::kSlider, I::kTimer),
    NOVU_PROPERTY(PR_ONMOUSEMOVE, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONMOUSEOUT, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONLBTNDOWN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONLBTNUP, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONRBTNDOWN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONRBTNUP, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONWHEELDOWN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONWHEELUP, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_BRIGHTNESS, PT_INT, Int(255), kPropPlain, I::kButton, I::kImage, I::kImages,
                  I::kMapImage, I::kPrevImages, I::kTile),
    NOVU_PROPERTY(PR_ONPLAYEND, PT_STR, kEmpty, kPropEventLabel, I::kBox, I::kButton, I::kCinema,
                  I::kHttp, I::kImages, I::kLabel, I::kMes, I::kPrevImages, I::kPrevMenu, I::kSound,
                  I::kVideo),
    NOVU_PROPERTY(PR_INDEX, PT_INT, Int(-1), kPropPlain, kIndexFamily),
    NOVU_PROPERTY(PR_COUNT, PT_INT, Int(0), kPropPlain,
                  kIndexFamily | ImplementerSet{I::kPrevMenu}),
    NOVU_PROPERTY(PR_ONLINK, PT_STR, kEmpty, kPropEventLabel, I::kMes),
    NOVU_PROPERTY(PR_VISIBLE, PT_BOOL, Bool(false), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_COLCOUNT, PT_INT, Int(0), kPropPlain),
    NOVU_PROPERTY(PR_ROWCOUNT, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_TEXT, PT_STR, kEmpty, kPropPlain, I::kButton, I::kCGLabel, I::kCustomListBox,
                  I::kEdit, I::kHttp, I::kLabel, I::kMemo, I::kMenu, I::kMes, I::kPrevMenu),
    NOVU_PROPERTY(PR_MARGINX, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_MARGINY, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_HALIGN, PT_INT, Int(0), kPropPlain, I::kCGLabel, I::kCustomListBox, I::kLabel,
                  I::kMemo, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCETL, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCETC, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCETR, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCECL, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCECC, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCECR, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCEBL, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCEBC, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERSOURCEBR, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERHALIGNT, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERHALIGNC, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERHALIGNB, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERVALIGNL, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERVALIGNC, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BORDERVALIGNR, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_SCROLLSOURCE, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_CHECKSOURCE, PT_STR, kEmpty, kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_AUTOSCRAP, PT_BOOL, Bool(false), kPropPlain, I::kBox, I::kButton, I::kCinema,
                  I::kImages, I::kLabel, I::kMapImage, I::kMenu, I::kPrevImages, I::kPrevMenu,
                  I::kSound, I::kTimer, I::kVideo),
    NOVU_PROPERTY(PR_ONSELECT, PT_STR, kEmpty, kPropEventLabel, I::kCustomListBox, I::kMapImage,
                  I::kMenu, I::kPrevMenu),
    NOVU_PROPERTY(PR_RCLICKSCRAP, PT_BOOL, Bool(false), kPropPlain, I::kMapImage, I::kMenu,
                  I::kPrevMenu),
    NOVU_PROPERTY(PR_ONOPENING, PT_STR, kEmpty, kPropEventLabel, I::kMenu),
    NOVU_PROPERTY(PR_ONOPENED, PT_STR, kEmpty, kPropEventLabel, I::kMenu),
    NOVU_PROPERTY(PR_ONCLOSING, PT_STR, kEmpty, kPropEventLabel, I::kMenu),
    NOVU_PROPERTY(PR_ONCLOSED, PT_STR, kEmpty, kPropEventLabel, I::kMenu),
    NOVU_PROPERTY(PR_CARETX, PT_INT, Int(0), kPropReadOnly, I::kMes),
    NOVU_PROPERTY(PR_CARETY, PT_INT, Int(0), kPropReadOnly, I::kMes),
    NOVU_PROPERTY(PR_IGNOREMOUSE, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_TEXTPAUSED, PT_BOOL, Bool(false), kPropPlain, I::kMes),
    NOVU_PROPERTY(PR_TEXTDELAY, PT_INT, Int(256), kPropPlain, I::kMes),
    NOVU_PROPERTY(PR_HOVERSOURCE, PT_STR, kEmpty, kPropPlain, I::kButton, I::kMapImage),
    NOVU_PROPERTY(PR_PRESSEDSOURCE, PT_STR, kEmpty, kPropPlain, I::kButton),
    NOVU_PROPERTY(PR_GROUPINDEX, PT_INT, Int(0), kPropPlain, I::kButton),
    NOVU_PROPERTY(PR_ALLOWALLUP, PT_BOOL, Bool(false), kPropPlain, I::kButton),
    NOVU_PROPERTY(PR_SELECTED, PT_BOOL, Bool(false), kPropPlain, I::kButton),
    NOVU_PROPERTY(PR_CAPTUREMASK, PT_BOOL, Bool(false), kPropPlain, I::kButton,
                  I::kCustomImageFamily, I::kScrollbar, I::kSlider, I::kTile, I::kVideo),
    NOVU_PROPERTY(PR_POWER, PT_INT, Int(0), kPropPlain, I::kFire),
    NOVU_PROPERTY(PR_ORIGWIDTH, PT_INT, kObjectWidth, kPropPlain, kOrigWidthFamily),
    NOVU_PROPERTY(PR_ORIGHEIGHT, PT_INT, kObjectHeight, kPropPlain,
                  kOrigWidthFamily | ImplementerSet{I::kMenu}),
    NOVU_PROPERTY(PR_APPEARX, PT_INT, Int(0), kPropWriteRefused),
    NOVU_PROPERTY(PR_APPEARY, PT_INT, Int(0), kPropWriteRefused),
    NOVU_PROPERTY(PR_PARTMOTION, PT_INT, Int(1), kPropPlain, I::kParticle, I::kParticleImages),
    NOVU_PROPERTY(PR_PARAM1, PT_FLOAT, Float(0), kPropPlain, I::kParticle, I::kParticleImages),
    NOVU_PROPERTY(PR_PARAM2, PT_FLOAT, Float(0), kPropPlain, I::kParticle, I::kParticleImages),
    NOVU_PROPERTY(PR_TOPINDEX, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_READONLY, PT_BOOL, Bool(false), kPropPlain, I::kEdit, I::kMemo),
    NOVU_PROPERTY(PR_CURSOR, PT_STR, kEmpty, kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_POSZOOMED, PT_BOOL, Bool(false), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_ONPLAYSTART, PT_STR, kEmpty, kPropEventLabel, I::kMes),
    NOVU_PROPERTY(PR_PARAM3, PT_FLOAT, Float(0), kPropPlain, I::kParticle, I::kParticleImages),
    NOVU_PROPERTY(PR_ONMOUSEIN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONMAPIN, PT_STR, kEmpty, kPropEventLabel, I::kCustomListBox, I::kMapImage,
                  I::kMenu, I::kPrevMenu),
    NOVU_PROPERTY(PR_ONMAPOUT, PT_STR, kEmpty, kPropEventLabel, I::kCustomListBox, I::kMapImage,
                  I::kMenu, I::kPrevMenu),
    NOVU_PROPERTY(PR_MAPSOURCE, PT_STR, kEmpty, kPropPlain, I::kMapImage),
    NOVU_PROPERTY(PR_AMP, PT_INT, Int(0), kPropPlain, I::kWave),
    NOVU_PROPERTY(PR_WAVELEN, PT_INT, Int(0), kPropPlain, I::kWave),
    NOVU_PROPERTY(PR_SCROLLX, PT_INT, Int(0), kPropPlain, I::kTile),
    NOVU_PROPERTY(PR_SCROLLY, PT_INT, Int(0), kPropPlain, I::kMes, I::kTile),
    NOVU_PROPERTY(PR_FLIPH, PT_BOOL, Bool(false), kPropPlain, kFlipFamily),
    NOVU_PROPERTY(PR_FLIPV, PT_BOOL, Bool(false), kPropPlain, kFlipFamily),
    NOVU_PROPERTY(PR_ONIDLE, PT_STR, kEmpty, kPropEventLabel, I::kBox, I::kButton, I::kCGLabel,
                  I::kCinema, I::kCustomListBox, I::kFire, I::kGauge, I::kImages, I::kLabel,
                  I::kMapImage, I::kMenu, I::kMes, I::kParticle, I::kPrevImages, I::kPrevMenu,
                  I::kScrollbar, I::kSlider, I::kTile, I::kVideo, I::kWave),
    NOVU_PROPERTY(PR_DISTANCEX, PT_INT, Int(0), kPropPlain, I::kTile),
    NOVU_PROPERTY(PR_DISTANCEY, PT_INT, Int(0), kPropPlain, I::kTile),
    NOVU_PROPERTY(PR_CLIPLEFT, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_CLIPTOP, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_CLIPWIDTH, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_CLIPHEIGHT, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_DURATION, PT_INT, Int(0), kPropPlain, I::kGauge, I::kParticle),
    NOVU_PROPERTY(PR_THUMBSOURCE, PT_STR, kEmpty, kPropPlain, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_BUTTONSOURCE, PT_STR, kEmpty, kPropPlain, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_MIN, PT_INT, Int(0), kPropPlain, I::kGauge, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_MAX, PT_INT, Int(0), kPropPlain, I::kGauge, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_VALUE, PT_INT, Int(0), kPropPlain, I::kGauge, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_ORIENTATION, PT_INT, Int(0), kPropPlain, I::kGauge, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_SMALLCHANGE, PT_INT, Int(1), kPropPlain, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_LARGECHANGE, PT_INT, Int(1), kPropPlain, I::kScrollbar),
    NOVU_PROPERTY(PR_MAPTEXT, PT_STR, kEmpty, kPropPlain, I::kCGLabel),
    NOVU_PROPERTY(PR_GLYPHWIDTH, PT_INT, Int(0), kPropPlain, I::kCGLabel),
    NOVU_PROPERTY(PR_GLYPHHEIGHT, PT_INT, Int(0), kPropPlain, I::kCGLabel),
    NOVU_PROPERTY(PR_ZOOMY, PT_INT, Int(256), kPropPlain, kZoomFamily),
    NOVU_PROPERTY(PR_CLICKEDSOURCE, PT_STR, kEmpty, kPropPlain, I::kButton),
    NOVU_PROPERTY(PR_ANIPAUSED, PT_BOOL, Bool(false), kPropPlain, I::kControls, I::kSound),
    NOVU_PROPERTY(PR_ONHOLD, PT_STR, kEmpty, kPropEventLabel, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_ONRELEASE, PT_STR, kEmpty, kPropEventLabel, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_REVERSE, PT_BOOL, Bool(false), kPropPlain, I::kGauge),
    NOVU_PROPERTY(PR_PLAYING, PT_BOOL, Bool(false), kPropReadOnly, I::kControls, I::kSound),
    NOVU_PROPERTY(PR_REWINDONLOAD, PT_BOOL, Bool(true), kPropPlain, I::kCinema, I::kSound,
                  I::kVideo),
    NOVU_PROPERTY(PR_COMPOTYPE, PT_INT, Int(0), kPropReadOnly, I::kEveryConcreteClass),
    NOVU_PROPERTY(PR_FONTSHADOWCOLOR, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu,
                  I::kMes),
    NOVU_PROPERTY(PR_FONTBORDER, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu, I::kMes),
    NOVU_PROPERTY(PR_FONTSHADOW, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu, I::kMes),
    NOVU_PROPERTY(PR_ONKEYDOWN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONKEYUP, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONKEYREPEAT, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_HANDLEKEY, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_ONFOCUSIN, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_ONFOCUSOUT, PT_STR, kEmpty, kPropEventLabel, I::kControls),
    NOVU_PROPERTY(PR_OVERLAY, PT_BOOL, Bool(true), kPropPlain, I::kVideo),
    NOVU_PROPERTY(PR_TAG, PT_STR, kObjectTag, kPropPlain, I::kAll),
    NOVU_PROPERTY(PR_CAPTURELINK, PT_BOOL, Bool(false), kPropPlain, I::kMes),
    NOVU_PROPERTY(PR_FONTHOVERBORDER, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_FONTHOVERBORDERCOLOR, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_FONTHOVERSHADOW, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_FONTHOVERSHADOWCOLOR, PT_INT, Int(0), kPropPlain, I::kCustomListBox, I::kMenu),
    NOVU_PROPERTY(PR_BARSIZE, PT_INT, Int(0), kPropPlain, I::kGauge, I::kScrollbar, I::kSlider),
    NOVU_PROPERTY(PR_MUTEONLOAD, PT_BOOL, Bool(false), kPropPlain, I::kCinema, I::kSound,
                  I::kVideo),
    NOVU_PROPERTY(PR_PLUSX, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_PLUSY, PT_INT, Int(0), kPropPlain, I::kControls),
    NOVU_PROPERTY(PR_CARETHEIGHT, PT_INT, Int(0), kPropReadOnly, I::kMes),
    NOVU_PROPERTY(PR_REPEATPOS, PT_INT, Int(0), kPropPlain, I::kSound),
}};

#undef NOVU_PROPERTY

constexpr bool RowsAreInIdOrder() {
  for (size_t i = 0; i < kCatalogue.size(); ++i) {
    if (kCatalogue[i].id != static_cast<int32_t>(i)) return false;
  }
  return true;
}
static_assert(RowsAreInIdOrder(), "catalogue row i must describe id i");

constexpr bool ImplementersAreInEnumOrder() {
  for (size_t i = 0; i < kImplementers.size(); ++i) {
    if (static_cast<size_t>(kImplementers[i].who) != i) return false;
  }
  return true;
}
static_assert(ImplementersAreInEnumOrder(), "implementer rows must follow the enum");

}  // namespace

std::span<const ImplementerInfo> Implementers() {
  return kImplementers;
}

const ImplementerInfo& ImplementerOf(Implementer who) {
  return kImplementers[static_cast<size_t>(who)];
}

std::span<const PropertyInfo> PropertyCatalogue() {
  return kCatalogue;
}

const PropertyInfo* FindPropertyById(int32_t id) {
  if (!IsValidPropId(id)) return nullptr;
  return &kCatalogue[static_cast<size_t>(id)];
}

const PropertyInfo* FindPropertyByName(std::string_view name) {
  for (const PropertyInfo& info : kCatalogue) {
    if (info.name == name) return &info;
  }
  return nullptr;
}

const PropertyInfo* FindPropertyByNameNoCase(std::string_view name) {
  for (const PropertyInfo& info : kCatalogue) {
    if (cp932::EqualsNoCase(info.name, name)) return &info;
  }
  return nullptr;
}

std::string_view PropertyTypeName(ParamType type) {
  switch (type) {
    case PT_INT:
      return "int";
    case PT_FLOAT:
      return "float";
    case PT_BOOL:
      return "bool";
    case PT_STR:
      return "str";
    case PT_NONE:
      break;
  }
  return "none";
}

std::string FormatPropertyDefault(const PropertyInfo& info) {
  const PropertyDefault& d = info.fallback;
  switch (d.source) {
    case DefaultSource::kName:
      return "(name)";
    case DefaultSource::kPriority:
      return "(priority)";
    case DefaultSource::kTag:
      return "(tag)";
    case DefaultSource::kWidth:
      return "(width)";
    case DefaultSource::kHeight:
      return "(height)";
    case DefaultSource::kConstant:
      break;
  }
  switch (info.type) {
    case PT_BOOL:
      return d.AsBool() ? "true" : "false";
    case PT_FLOAT:
      return std::to_string(d.AsInt()) + ".0";
    case PT_STR:
      return "\"\"";
    default:
      return std::to_string(d.AsInt());
  }
}

std::string FormatImplementers(ImplementerSet set) {
  std::string text;
  for (const ImplementerInfo& row : kImplementers) {
    if (!set.Contains(row.who)) continue;
    if (!text.empty()) text += ", ";
    text += row.name;
  }
  return text.empty() ? "(none)" : text;
}

}  // namespace novu
