// Fingerprints of what the script-object classes write and answer. A scene holding every class,
// each with its properties away from their initial values, is saved through the object stream;
// the bytes, and every property each class answers after a write to every property, are hashed
// and compared with the hashes taken from the same code when the fingerprints were made. A
// change of any saved byte or any answer shows here, whatever moved it.
#include <gtest/gtest.h>

#include <string>

#include "controls/novu_box.h"
#include "controls/novu_images.h"
#include "controls/novu_mes.h"
#include "controls/novu_tile.h"
#include "core/binary_reader.h"
#include "core/binary_writer.h"
#include "fingerprint.h"
#include "image_fixtures.h"
#include "objects/novu_timer.h"
#include "objects/prop_motion.h"
#include "objects/property_catalogue.h"
#include "platform/error.h"

namespace novu {
namespace {

using testing::Fingerprint;
using testing::ImageScene;
using testing::MakeFip;
using testing::Solid;

std::string SavedBytes(const TNovuObject& object) {
  BinaryWriter out;
  object.SaveToStream(out);
  return out.TakeString();
}

void SetEveryEventLabel(TNovuControl& control, const std::string& stem) {
  int n = 0;
  for (PropId id : {PR_ONMOUSEMOVE, PR_ONMOUSEIN, PR_ONMOUSEOUT, PR_ONLBTNDOWN, PR_ONLBTNUP,
                    PR_ONRBTNDOWN, PR_ONRBTNUP, PR_ONWHEELDOWN, PR_ONWHEELUP, PR_ONKEYDOWN,
                    PR_ONKEYUP, PR_ONKEYREPEAT, PR_ONFOCUSIN, PR_ONFOCUSOUT}) {
    control.SetEventLabel(id, stem + ".nsb:l" + std::to_string(n++));
  }
}

// The control part every class shares, away from its initial values.
void SetControlFields(TNovuControl& c, int32_t k) {
  c.SetTag("tag" + std::to_string(k));
  c.SetPriority(k);
  c.set_order(k + 1);
  c.SetBounds(k, k + 1, 10 + k, 20 + k);
  c.SetOffsetX(-k);
  c.SetOffsetY(2 * k);
  c.SetPosZoomed(k % 2 == 0);
  c.SetMotionDisplacement(k + 3, k + 4);
  c.SetPlusX(-3 * k);
  c.SetPlusY(4 * k);
  c.SetClip(1, 2, 3 + k, 4 + k);
  c.SetProperty(PR_ANIPAUSED, true);
  c.SetColor(0x00102030 * k);
  c.set_picture_rect({k, k + 1, k + 20, k + 30});
  c.SetMouseMode(static_cast<uint8_t>(k % 5));
  c.SetProperty(PR_CURSOR, "c" + std::to_string(k) + ".cur");
  c.SetHandleKey(k % 2 == 1);
  SetEveryEventLabel(c, "p" + std::to_string(k));
}

struct EveryClassScene {
  EveryClassScene() {
    s.store.files["a.fip"] =
        MakeFip({Solid(testing::kRed, 3, 2, 20), Solid(testing::kBlue, 3, 2, 30),
                 Solid(testing::kGreen, 3, 2, 40)});
    s.list.SetProcessState(&s.state);
    TNovuBase& front = s.list.base(0);
    SetControlFields(front, 1);
    front.SetBounds(0, 0, 800, 600);
    SetControlFields(s.list.base(1), 2);
    s.list.base(1).SetBounds(0, 0, 800, 600);

    auto& box = s.Add<TNovuBox>(LT_BOX, "box");
    SetControlFields(box, 3);
    box.SetProperty(PR_BORDERWIDTH, 4);
    box.SetProperty(PR_BORDERCOLOR, 0x00abcdef);
    box.SetProperty(PR_ALPHA, 300);
    box.SetProperty(PR_ONIDLE, std::string("idle.nsb"));
    box.SetProperty(PR_SOURCE, std::string("m.mot"));
    box.SetProperty(PR_REPEAT, true);
    box.SetProperty(PR_AUTOSCRAP, true);
    box.SetProperty(PR_ONPLAYEND, std::string("end.nsb"));
    box.SetProperty(PR_PAUSED, true);

    auto& images = s.Add<TNovuImages>(LT_IMAGES, "images", &box);
    images.SetProperty(PR_SOURCE, std::string("a.fip"));
    SetControlFields(images, 5);
    // A picture loads its source again after a load, which ends any motion and its
    // displacement; the round trip below would not find it.
    images.SetMotionDisplacement(0, 0);
    images.SetProperty(PR_ANIPAUSED, false);
    images.SetProperty(PR_ALPHA, 200);
    images.SetProperty(PR_ZOOMX, 300);
    images.SetProperty(PR_ZOOMY, 0);
    images.SetProperty(PR_ANGLE, 45);
    images.SetProperty(PR_FLIPH, true);
    images.SetProperty(PR_FLIPV, true);
    images.SetProperty(PR_CAPTUREMASK, true);
    images.SetProperty(PR_BRIGHTNESS, 70);
    images.SetProperty(PR_REPEAT, true);
    images.SetProperty(PR_AUTOSCRAP, false);
    images.SetProperty(PR_ONPLAYEND, std::string("ie.nsb"));
    images.SetProperty(PR_ONIDLE, std::string("ii.nsb"));
    TNovuParser delay;
    delay.LoadFromText("12 + 3");
    images.SetDelayExpression(delay);

    auto& tile = s.Add<TNovuTile>(LT_TILE, "tile");
    tile.SetProperty(PR_SOURCE, std::string("a.fip"));
    SetControlFields(tile, 6);
    tile.SetMotionDisplacement(0, 0);
    tile.SetProperty(PR_SCROLLX, -7);
    tile.SetProperty(PR_SCROLLY, 8);
    tile.SetProperty(PR_DISTANCEX, 9);
    tile.SetProperty(PR_DISTANCEY, 10);
    tile.SetProperty(PR_ONIDLE, std::string("ti.nsb"));
    tile.SetProperty(PR_PAUSED, true);

    auto cabinet = s.list.CreateByType(LT_CABINET);
    TNovuControl& held = *cabinet->AsControl();
    s.list.base(1).AddChild(std::move(cabinet));
    held.SetName("cabinet");
    SetControlFields(held, 7);
    auto& kept = s.Add<TNovuBox>(LT_BOX, "kept", &held);
    kept.SetProperty(PR_ALPHA, 40);

    auto timer = s.list.CreateByType(LT_TIMER);
    timer->SetName("timer");
    timer->SetPriority(11);
    timer->SetTag("tt");
    timer->SetProperty(PR_ONNOTIFY, std::string("tick.nsb"));
    timer->SetProperty(PR_DELAY, 15);
    timer->SetProperty(PR_AUTOSCRAP, true);
    s.list.AdoptRoot(std::move(timer));

    auto paused_timer = s.list.CreateByType(LT_TIMER);
    paused_timer->SetName("held_timer");
    paused_timer->SetProperty(PR_DELAY, 1000);
    paused_timer->SetProperty(PR_PAUSED, true);
    tile.AddChild(std::move(paused_timer));

    auto motion = MakeObject<TNovuPropMotion>(&s.list);
    motion->SetName("motion");
    motion->SetTargetName("box");
    motion->SetPropertyId(PR_LEFT);
    motion->SetTargetValue(100.5L);
    motion->SetDuration(1000);
    motion->SetMotionType(MT_DEC);
    s.list.AdoptRoot(std::move(motion));

    auto idle_motion = MakeObject<TNovuPropMotion>(&s.list);
    idle_motion->SetName("waiting");
    idle_motion->SetTargetName("tile");
    idle_motion->SetPropertyId(PR_ALPHA);
    idle_motion->SetTargetValue(-3);
    idle_motion->SetDuration(50);
    idle_motion->SetPaused(true);
    s.list.AdoptRoot(std::move(idle_motion));

    // The orders given above take effect as a load would sort them.
    s.list.base(0).SortChildren();
    s.list.base(1).SortChildren();

    // Frames run: the animation steps, the timer posts, the motion moves its target.
    s.state.game_clock = 40;
    s.Tick(25);
    s.state.game_clock = 80;
    s.Tick(40);
  }

  ImageScene s;
};

TEST(SavedFormFingerprint, ASceneWithEveryClassSavesTheSameBytes) {
  EveryClassScene scene;
  BinaryWriter out;
  scene.s.list.SaveToStream(out);
  const std::string bytes = out.TakeString();
  EXPECT_EQ(Fingerprint(bytes), "dc7f9051c59252cc") << bytes.size() << " bytes";

  // The bytes read back and are written again unchanged.
  ImageScene again;
  again.store = scene.s.store;
  BinaryReader in(bytes);
  again.list.LoadFromStream(in, kObjectLayoutVersion);
  EXPECT_TRUE(in.AtEnd());
  BinaryWriter out_again;
  again.list.SaveToStream(out_again);
  const std::string again_bytes = out_again.TakeString();
  EXPECT_EQ(Fingerprint(again_bytes), Fingerprint(bytes));
}

// The still picture is never saved as a child, but it writes a record like every control.
TEST(SavedFormFingerprint, TheStillPictureWritesTheSameRecord) {
  ImageScene s;
  s.store.files["s.fip"] = MakeFip({Solid(0x80a0c0, 6, 4)});
  auto image = MakeObject<TNovuImage>(&s.list, s.Env());
  SetControlFields(*image, 8);
  image->SetProperty(PR_SOURCE, std::string("s.fip"));
  image->SetProperty(PR_BRIGHTNESS, 100);
  image->SetProperty(PR_ZOOMX, 512);
  image->SetProperty(PR_ANGLE, -30);
  EXPECT_EQ(Fingerprint(SavedBytes(*image)), "96bb5ba66579acf0");
}

// A message window half-way through revealing markup, with every setting away from its default.
TEST(SavedFormFingerprint, TheMessageWindowWritesTheSameRecord) {
  ImageScene s;
  s.list.SetProcessState(&s.state);
  auto& mes = s.Add<TNovuMes>(LT_MES, "mes");
  SetControlFields(mes, 9);
  mes.SetProperty(PR_FONTHEIGHT, 20);
  mes.SetProperty(PR_FONTCOLOR, 0x00ffeedd);
  mes.SetProperty(PR_FONTLINKCOLOR, 0x000000ff);
  mes.SetProperty(PR_FONTHOVERCOLOR, 0x0000ff00);
  mes.SetProperty(PR_FONTBORDER, 2);
  mes.SetProperty(PR_FONTSHADOW, 3);
  mes.SetProperty(PR_LINESPACE, 4);
  mes.SetProperty(PR_DELAY, 100);
  mes.SetProperty(PR_TEXTDELAY, 300);
  mes.SetProperty(PR_CAPTURELINK, true);
  mes.SetProperty(PR_ONPLAYSTART, std::string("s.nsb"));
  mes.SetProperty(PR_ONPLAYEND, std::string("e.nsb"));
  mes.SetProperty(PR_ONLINK, std::string("l.nsb"));
  mes.SetProperty(PR_ONNOTIFY, std::string("n.nsb"));
  mes.SetProperty(PR_ONIDLE, std::string("i.nsb"));
  mes.SetProperty(PR_TEXT, std::string("<A HREF=\"x\">ab</A>cd<BR CLEAR>ef"));
  for (int i = 0; i < 6; ++i) {
    s.state.game_clock += 15;
    s.state.frame_delta = 15;
    s.list.Update();
  }
  const std::string bytes = SavedBytes(mes);
  EXPECT_EQ(Fingerprint(bytes), "ea9a25b0e8693c9e") << bytes.size() << " bytes";

  // Read back into a fresh window, the record is written again unchanged.
  ImageScene again;
  auto& loaded = again.Add<TNovuMes>(LT_MES, "other");
  BinaryReader in(bytes);
  loaded.LoadFromStream(in, ObjectLoadContext{kObjectLayoutVersion});
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(SavedBytes(loaded), bytes);
}

// A value of the property's type that differs from every initial value.
PropValue SampleValue(const PropertyInfo& row) {
  switch (row.type) {
    case PT_INT:
      return int32_t{row.id * 7 - 100};
    case PT_BOOL:
      return row.id % 2 == 0;
    case PT_FLOAT:
      return static_cast<long double>(row.id) + 0.25L;
    default:
      return row.id == PR_SOURCE ? std::string("a.fip") : "v" + std::to_string(row.id);
  }
}

// What an object answers for every property, one line each.
std::string Answers(const TNovuObject& object) {
  std::string text;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    text += std::to_string(row.id) + "=" + PropAsStr(object.GetProperty(row.id)) + "\n";
  }
  return text;
}

// Every class answers the same before and after a write to each of its properties, and saves
// the same record afterwards: the setters' conversions and side effects stay as they are.
TEST(SavedFormFingerprint, EveryClassAnswersAndTakesEveryPropertyTheSame) {
  struct Case {
    ComponentType type;
    const char* initial;
    const char* written;
  };
  const Case cases[] = {
      {LT_BOX, "36acdc1d6f696a06", "3088df8708ecf818"},
      {LT_IMAGES, "ea682b98a895d2f0", "ef4c20deb6dc0b57"},
      {LT_TILE, "54940e848341db14", "73753a49bed1bca4"},
      {LT_CABINET, "37bc11a21694b650", "427e82119b65802a"},
      {LT_TIMER, "6a2cc6b04eff141f", "078d7f8053a20452"},
      {LT_PROPMOTION, "c63bc4282f8cf72d", "97230a7b9c632a5a"},
      {LT_BUTTON, "0fc4392550703467", "e578d5e9e46c30e0"},
      {LT_PREVMENU, "951c47b9b23b6943", "f2566eb3a20dcbff"},
      {LT_MENU, "94b703de159596b3", "5af15cd73dc0ce4c"},
      {LT_SLIDER, "f41903be3a6338a7", "35f6a43e5e6e7804"},
      {LT_SCROLLBAR, "41a803c40d7bc39e", "0dd9186af2bfd635"},
      {LT_GAUGE, "7823d959e9caaad9", "d69423597f0f593c"},
      {LT_MAPIMG, "e14d6ba5e94d57de", "6a56b6b8cd616218"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    ImageScene s;
    s.store.files["a.fip"] = MakeFip({Solid(testing::kRed, 3, 2, 20), Solid(testing::kBlue, 3, 2)});
    std::unique_ptr<TNovuObject> created = s.list.CreateByType(c.type);
    ASSERT_NE(created, nullptr);
    TNovuObject& object = *created;
    if (object.AsControl() != nullptr) {
      s.list.base(0).AddChild(std::move(created));
    } else {
      s.list.AdoptRoot(std::move(created));
    }
    object.SetName("subject");
    EXPECT_EQ(Fingerprint(Answers(object)), c.initial);
    for (const PropertyInfo& row : PropertyCatalogue()) {
      if (row.id == PR_NAME || row.id == PR_PARENT || row.IsReadOnly() || row.IsWriteRefused()) {
        continue;
      }
      try {
        object.SetProperty(row.id, SampleValue(row));
      } catch (const NovuError&) {
        // Refused as a script would see it (a preview menu's source that is a picture).
      }
    }
    EXPECT_EQ(Fingerprint(Answers(object) + SavedBytes(object)), c.written);
  }
}

}  // namespace
}  // namespace novu
