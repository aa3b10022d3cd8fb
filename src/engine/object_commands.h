#pragma once
// The commands that create script objects from the property expressions of their record, read
// and write properties, delete objects, start property motions, move controls in and out of
// cabinets and switch the screens (Flip). Each advances its index before anything that can fail.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/command.h"
#include "objects/component_type.h"

namespace novu {

class TNovuBaseList;
class TNovuControl;
class TNovuObject;

// The object class a creator opcode makes; none for the other opcodes.
std::optional<ComponentType> CreatedComponentType(uint8_t code);

// The order in which a creator applies the property numbers 0..162.
const std::vector<uint8_t>& PropertyApplicationOrder();

// A creator command (BoxNew, Timer, Button, ...). Types whose class does not exist yet create
// nothing; their expressions are still evaluated for their side effects.
class TComComponent : public TCommand {
 public:
  TComComponent(TPage& page, uint8_t code, ComponentType type)
      : TCommand(page, code), type_(type) {}
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;

 private:
  void ApplyProperties(TCallMan& calls, TNovuBaseList& list, TNovuObject& object);
  // Gives an animated picture its end-of-cycle delay expression (ImgNew's PR_DELAY).
  void HandOverDelay(TNovuBaseList& list, TNovuObject& object);
  void StartMedia(TNovuBaseList& list, TNovuObject& object);
  ComponentType type_;
};

// MediaPlay: the named sound or video plays again from its beginning.
class TComMediaPlay : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// MovieStop: stops a media object at once or with a fade-out, and may hold the script until the
// fading object is gone.
class TComMovieStop : public TCommand {
 public:
  using TCommand::TCommand;
  void Begin(TCallMan& calls) override;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
  bool YieldsToEvents(const CommandProgress* progress) const override;
  std::unique_ptr<CommandProgress> MakeProgress() const override;
};

class TComGetProp : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComSetProp : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComObjDel : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

class TComPropMotion : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
};

// SaveCabinet moves controls of the back screen into a cabinet; LoadCabinet moves them back.
class TComCabinet : public TCommand {
 public:
  using TCommand::TCommand;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;

 private:
  void SaveInto(TCallMan& calls, TNovuBaseList& list, const std::string& name);
  void LoadFrom(TCallMan& calls, TNovuBaseList& list, const std::string& name);
  // True when the name list (inverted or not) selects the name.
  struct Selection {
    bool invert = false;
    std::vector<std::string> names;
    bool Selects(const std::string& name) const;
  };
  Selection EvaluateSelection(TCallMan& calls);
};

// Flip: switches the shown screen, through a transition over a duration or at once (its
// progress: FlipProgress).
class TComFlip : public TCommand {
 public:
  // Transition kinds above this one (and negative ones) switch at once.
  static constexpr int32_t kLastKind = 38;

  using TCommand::TCommand;
  bool YieldsToEvents(const CommandProgress* progress) const override;
  void Begin(TCallMan& calls) override;
  void Execute(TCallMan& calls, TPage*& page, int32_t& index) override;
  void Finish(TCallMan& calls, CommandProgress* progress) override;
  std::unique_ptr<CommandProgress> MakeProgress() const override;

 private:
  static void SwitchScreens(TNovuBaseList& list, bool hide_back, bool delete_cabinets);
  void CarryChildren(TCallMan& calls, TNovuBaseList& list, int32_t mode);
};

}  // namespace novu
