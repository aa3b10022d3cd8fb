#include "controls/novu_edit.h"

#include <cstdlib>
#include <utility>

#include "controls/text_entry_focus.h"
#include "objects/base_list.h"
#include "render/custom_dibx.h"

namespace novu {
namespace {

// The key notification's event id.
constexpr uint8_t kNotifyEventId = 33;

const MouseModeSet kEveryMode{IM_NONE, IM_ALL, IM_CLICK, IM_LCLICK, IM_RCLICK};

}  // namespace

TNovuCustomEdit::TNovuCustomEdit(ObjectList* owner, ImageEnvironment env,
                                 TextEntryWidget::Lines lines)
    : TNovuControl(owner), env_(env), widget_(lines) {
  widget_.on_change = [this] { Invalidate(); };
  widget_.on_key = [this](int vk) { NotifyKey(vk); };
  widget_.on_focus = [this] { TakeListFocus(); };
}

TNovuCustomEdit::~TNovuCustomEdit() {
  if (env_.text_entry != nullptr) env_.text_entry->Drop(widget_);
}

void TNovuCustomEdit::Create() {
  TNovuControl::Create();
  // The single-line box starts hidden; the creator's PR_VISIBLE shows it.
  if (!widget_.multi_line()) TNovuControl::SetVisible(false);
}

// --- the box's properties ---

void TNovuCustomEdit::SetText(std::string_view text) {
  widget_.SetText(text, !widget_.multi_line());
}

void TNovuCustomEdit::SetPaused(bool paused) {
  widget_.SetEnabled(!paused);
  if (paused && env_.text_entry != nullptr) env_.text_entry->Drop(widget_);
  Invalidate();
}

void TNovuCustomEdit::SetFontName(std::string_view name) {
  widget_.SetFontName(name);
  Invalidate();
}

void TNovuCustomEdit::SetFontHeight(int32_t height) {
  widget_.SetFontHeight(height);
  Invalidate();
}

void TNovuCustomEdit::SetFontStyle(uint8_t style) {
  widget_.SetFontStyle(style);
  Invalidate();
}

void TNovuCustomEdit::SetFontColour(int32_t colour) {
  widget_.SetFontColour(colour);
  Invalidate();
}

void TNovuCustomEdit::SetBackColour(int32_t colour) {
  widget_.SetBackColour(colour);
  Invalidate();
}

void TNovuCustomEdit::SetReadOnly(bool read_only) {
  widget_.SetReadOnly(read_only);
  Invalidate();
}

void TNovuCustomEdit::SetAlignment(uint8_t alignment) {
  widget_.SetAlignment(alignment);
  Invalidate();
}

// --- placement and visibility ---

bool TNovuCustomEdit::TopmostAtCentre() const {
  TNovuControl* base = GetBase();
  if (base == nullptr) return false;
  const Point centre{ScreenX() + width() / 2, ScreenY() + height() / 2};
  return base->HitTest(centre, kEveryMode) == this;
}

void TNovuCustomEdit::Synchronise() {
  widget_.SetArea(MakeRect(ScreenX(), ScreenY(), width(), height()));
  const TNovuControl* parent = GetParent();
  const bool shown = IsVisible() && parent != nullptr && parent->IsVisible() &&
                     owner() != nullptr && GetBase() == owner()->ActiveBase() && TopmostAtCentre();
  if (shown != widget_.shown()) Invalidate();
  widget_.SetShown(shown);
  if (env_.text_entry == nullptr) return;
  if (shown) {
    env_.text_entry->Take(widget_);
  } else {
    env_.text_entry->Drop(widget_);
  }
}

void TNovuCustomEdit::SetVisible(bool visible) {
  if (visible == IsVisible()) return;
  TNovuControl::SetVisible(visible);
  widget_.SetShown(visible);
  if (!visible && env_.text_entry != nullptr) env_.text_entry->Drop(widget_);
}

void TNovuCustomEdit::SetParent(TNovuControl* parent) {
  TNovuControl::SetParent(parent);
  Synchronise();
}

void TNovuCustomEdit::BoundsChanged() {
  TNovuControl::BoundsChanged();
  Synchronise();
}

int32_t TNovuCustomEdit::Update() {
  if (const int32_t result = TNovuControl::Update(); result != 0) return result;
  const bool wanted = IsInputActive() && TopmostAtCentre();
  if (wanted != widget_.shown()) Synchronise();
  // A box on show takes the keyboard when no other box holds it, so typing needs no click first.
  if (env_.text_entry != nullptr && env_.text_entry->focused() == nullptr && widget_.shown()) {
    env_.text_entry->Take(widget_);
  }
  return 0;
}

void TNovuCustomEdit::AfterLoad() {
  widget_.SetShown(IsVisible());
  Synchronise();
}

// --- focus and keys ---

void TNovuCustomEdit::TakeListFocus() {
  if (auto* list = dynamic_cast<TNovuBaseList*>(owner())) list->SetFocus(this);
}

void TNovuCustomEdit::FocusEntered() {
  if (env_.text_entry != nullptr) env_.text_entry->Take(widget_);
}

void TNovuCustomEdit::LButtonDown() {
  TNovuControl::LButtonDown();
  if (!widget_.shown() || !widget_.enabled()) return;
  if (env_.text_entry != nullptr) env_.text_entry->Take(widget_);
  if (TNovuControl* base = GetBase(); base != nullptr && base->InputState() != nullptr) {
    widget_.PlaceCaretAt({base->InputState()->mouse_x, base->InputState()->mouse_y});
  }
}

void TNovuCustomEdit::NotifyKey(int vk) {
  if (on_notify_.empty()) return;
  const std::string arguments[] = {std::to_string(vk), widget_.text()};
  PostEvent(on_notify_, arguments, kNotifyEventId);
}

// --- drawing ---

void TNovuCustomEdit::DrawSelf(render::TCustomDIBX& surface) {
  const bool focused = env_.text_entry != nullptr && env_.text_entry->Holds(widget_);
  widget_.Draw(surface, env_.glyphs, focused);
}

// --- properties ---

// Every value the box holds is saved in the record's tail and applied through its setter.
const PropertyTable& TNovuCustomEdit::Table() {
  using R = PropertyRows<TNovuCustomEdit>;
  using C = TNovuCustomEdit;
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Override(PR_WIDTH).Set([](C& c, const PropValue& v) {
            c.SetWidth(PropAsInt(v));
            c.Synchronise();
          }),
          R::Override(PR_HEIGHT).Set([](C& c, const PropValue& v) {
            c.SetHeight(PropAsInt(v));
            c.Synchronise();
          }),
          R::Override(PR_COLOR)
              .Get([](const C& c) { return c.widget_.back_colour(); })
              .Set(&C::SetBackColour),
          R::Override(PR_HANDLEKEY).Get([](const C&) { return int32_t{1}; }),
          R::Answer(PR_PAUSED, [](const C& c) { return !c.widget_.enabled(); })
              .Set(&C::SetPaused)
              .Save([](C& c, Serializer& s) {
                bool paused = !c.widget_.enabled();
                s.Bool(paused);
                if (s.loading()) c.SetPaused(paused);
              }),
          R::Answer(PR_TEXT, [](const C& c) { return c.widget_.text(); })
              .Set(&C::SetText)
              .Save([](C& c, Serializer& s) {
                std::string text = c.widget_.text();
                s.String(text);
                if (s.loading()) c.SetText(text);
              }),
          R::Answer(PR_FONTNAME, [](const C& c) { return c.widget_.font_name(); })
              .Set(&C::SetFontName)
              .Save([](C& c, Serializer& s) {
                std::string name = c.widget_.font_name();
                s.String(name);
                if (s.loading()) c.SetFontName(name);
              }),
          R::Answer(PR_FONTHEIGHT, [](const C& c) { return std::abs(c.widget_.font_height()); })
              .Set(&C::SetFontHeight)
              .Save([](C& c, Serializer& s) {
                int32_t height = c.widget_.font_height();
                s.I32(height);
                if (s.loading()) c.SetFontHeight(height);
              }),
          R::Answer(PR_FONTSTYLE, [](const C& c) { return int32_t{c.widget_.font_style()}; })
              .Set(&C::SetFontStyle)
              .Save([](C& c, Serializer& s) {
                uint8_t style = c.widget_.font_style();
                s.U8(style);
                if (s.loading()) c.SetFontStyle(style);
              }),
          R::Answer(PR_FONTCOLOR, [](const C& c) { return c.widget_.font_colour(); })
              .Set(&C::SetFontColour)
              .Save([](C& c, Serializer& s) {
                int32_t colour = c.widget_.font_colour();
                s.I32(colour);
                if (s.loading()) c.SetFontColour(colour);
              }),
          R::Saved([](C& c, Serializer& s) {
            int32_t colour = c.widget_.back_colour();
            s.I32(colour);
            if (s.loading()) c.SetBackColour(colour);
          }),
          R::Answer(PR_READONLY, [](const C& c) { return c.widget_.read_only(); })
              .Set(&C::SetReadOnly)
              .Save([](C& c, Serializer& s) {
                bool read_only = c.widget_.read_only();
                s.Bool(read_only);
                if (s.loading()) c.SetReadOnly(read_only);
              }),
          // The memo's alignment comes after the read-only flag.
          R::Saved([](C& c, Serializer& s) {
            if (!c.widget_.multi_line()) return;
            uint8_t alignment = c.widget_.alignment();
            s.U8(alignment);
            if (s.loading()) c.SetAlignment(alignment);
          }),
          R::Field(PR_ONNOTIFY, &C::on_notify_),
      });
  return table;
}

TNovuEdit::TNovuEdit(ObjectList* owner, ImageEnvironment env)
    : TNovuCustomEdit(owner, env, TextEntryWidget::Lines::kSingle) {}

TNovuMemo::TNovuMemo(ObjectList* owner, ImageEnvironment env)
    : TNovuCustomEdit(owner, env, TextEntryWidget::Lines::kMulti) {}

const PropertyTable& TNovuMemo::Table() {
  using R = PropertyRows<TNovuMemo>;
  static const PropertyTable table(
      &TNovuCustomEdit::Table(),
      {
          R::Answer(PR_HALIGN, [](const TNovuMemo& c) { return int32_t{c.widget().alignment()}; })
              .Set([](TNovuMemo& c, const PropValue& v) {
                c.SetAlignment(static_cast<uint8_t>(PropAsInt(v)));
              }),
      });
  return table;
}

}  // namespace novu
