#pragma once
// The keyboard as the object list sees it: which keys are held, which went down, repeated or
// went up since the last frame, the one-frame @KeyClick and @KeyRepeat flags, and the repeat
// timing of held keys (the first repeat 300 ms after the press, then every 50 ms).
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace novu {

class KeyState {
 public:
  static constexpr int kKeyCount = 256;
  static constexpr int32_t kFirstRepeatMs = 300;
  static constexpr int32_t kRepeatIntervalMs = 50;

  // A press or a release reported by the window; a key already in that state is left alone.
  void SetKeyState(int key, bool down);
  // The key was pressed since the last frame (read as @KeyClick in the next frame).
  void SetKeyClick(int key, bool flag);
  // Forgets every held key, pending click and repeat (the window lost the keyboard).
  void ClearKeys();

  // First part of a frame: the clicks and repeats gathered since the last frame become the
  // frame's @KeyClick and @KeyRepeat flags.
  void LatchFrame();
  // Last part of a frame: the key lists are emptied and the held keys count down by the
  // frame's elapsed time; a key whose count runs out repeats in the next frame.
  void FinishFrame(int32_t elapsed_ms);

  bool IsHeld(int key) const { return InRange(key) && held_[Index(key)]; }
  bool KeyClick(int key) const { return InRange(key) && key_click_[Index(key)]; }
  bool KeyRepeat(int key) const { return InRange(key) && key_repeat_[Index(key)]; }

  // The keys that went down, repeated or went up, in the order it happened.
  bool went_down() const { return went_down_; }
  bool repeated() const { return repeated_; }
  bool went_up() const { return went_up_; }
  std::span<const int32_t> down_keys() const { return down_keys_; }
  std::span<const int32_t> repeat_keys() const { return repeat_keys_; }
  std::span<const int32_t> up_keys() const { return up_keys_; }

 private:
  static bool InRange(int key) { return key >= 0 && key < kKeyCount; }
  static size_t Index(int key) { return static_cast<size_t>(key); }

  std::array<bool, kKeyCount> held_{};
  std::array<bool, kKeyCount> pressed_{};
  std::array<bool, kKeyCount> key_click_{};
  std::array<bool, kKeyCount> repeat_pending_{};
  std::array<bool, kKeyCount> key_repeat_{};
  std::array<int32_t, kKeyCount> counters_{};
  bool went_down_ = false;
  bool went_up_ = false;
  bool repeated_ = false;
  std::vector<int32_t> down_keys_;
  std::vector<int32_t> up_keys_;
  std::vector<int32_t> repeat_keys_;
};

}  // namespace novu
