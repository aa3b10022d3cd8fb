#include "controls/novu_particle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/cp932.h"
#include "core/process_state.h"
#include "expr/custom_param.h"
#include "objects/base_list.h"

namespace novu {
namespace {

constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;
constexpr long double kIntLimit = 2147483647.0L;

int32_t ToInt(long double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp(v, -kIntLimit - 1.0L, kIntLimit));
}

// Round half to even, and toward zero.
int32_t Round(long double v) {
  return ToInt(std::nearbyint(v));
}
int32_t Trunc(long double v) {
  return ToInt(std::trunc(v));
}

// A uniform integer in 0 .. k - 1 (0 for k below 1).
int32_t Below(ProcessRandom& random, int32_t k) {
  return k > 0 ? random.Below(k) : 0;
}

}  // namespace

// --- the particles ---

TNovuParticleImages::TNovuParticleImages(ObjectList* owner, ImageEnvironment env,
                                         TNovuParticle& emitter)
    : TNovuCustomImages(owner, env), emitter_(&emitter) {}

TNovuImageList* TNovuParticleImages::ActiveList() const {
  return &emitter_->images();
}

int32_t TNovuParticleImages::ParentWidth() const {
  return GetParent() != nullptr ? GetParent()->width() : 0;
}

int32_t TNovuParticleImages::ParentHeight() const {
  return GetParent() != nullptr ? GetParent()->height() : 0;
}

long double TNovuParticleImages::Unit() {
  return emitter_->Random().Unit();
}

void TNovuParticleImages::Start() {
  SetOffsetX(width() / 2);
  SetOffsetY(height() / 2);
  auto& [p0, p1, p2] = p_;
  switch (kind_) {
    case PM_SNOW:
      x0_ = left();
      y0_ = top();
      r_ = 0;
      w_ = Unit() * 0.02L + 0.02L;
      if (p0 <= 0) p0 = 0.1L;
      if (p2 > p1) r_ = Unit() * (p2 - p1);
      break;
    case PM_STAR: {
      x0_ = left();
      y0_ = top();
      q_ = Unit() * kTwoPi;
      d_ = p0 + 0.1L;
      SetLeft(Round(d_ * std::cos(q_)) + x0_);
      SetTop(Round(d_ * std::sin(q_)) + y0_);
      const long double cx = x0_ >= ParentWidth() * 0.5L ? 0.0L : ParentWidth();
      const long double cy = y0_ >= ParentHeight() * 0.5L ? 0.0L : ParentHeight();
      m_ = std::hypot(std::fabs(cy - y0_), std::fabs(cx - x0_));
      p2 = Unit() * (p2 * 0.3L) + p2 * 0.7L;
      break;
    }
    case PM_FLUFF:
      p1 = (p2 - p1) * Unit() + p1;
      a_ = left();
      y0_ = top();
      break;
    case PM_TWISTER:
      x0_ = left();
      s_ = top();
      r_ = Unit() * (p1 * 0.5L * 0.05L) + p1 * 0.5L * 0.95L;
      d_ = Unit() * (p2 * 0.5L) + p2 * 0.5L;
      break;
    default:
      break;
  }
}

void TNovuParticleImages::Step(int64_t n) {
  total_ms_ += n * TNovuParticle::kStepMs;
  const long double steps = static_cast<long double>(n);
  auto& [p0, p1, p2] = p_;
  switch (kind_) {
    case PM_SNOW:
      q_ += w_ * steps;
      SetLeft(Round(std::sin(q_) * (p1 + r_)) + x0_);
      s_ += steps * p0;
      if (s_ >= 1) {
        const long double whole = std::trunc(s_);
        SetTop(ToInt(static_cast<long double>(top()) + whole));
        s_ -= whole;
      }
      if (!finished_) finished_ = LocalY() >= ParentHeight();
      break;
    case PM_STAR:
      if (n > 1) d_ *= std::pow(p1, steps - 1);
      if (!(std::fabs(d_) <= kIntLimit)) {
        finished_ = true;
        break;
      }
      SetLeft(Round(std::cos(q_) * d_) + x0_);
      SetTop(Round(std::sin(q_) * d_) + y0_);
      d_ *= p1;
      if (d_ >= m_) finished_ = true;
      q_ += p2;
      break;
    case PM_FLUFF:
      a_ += steps * p1;
      SetLeft(Trunc(a_));
      s_ += steps;
      SetTop(ToInt(y0_ - std::trunc(p0 * s_ * s_)));
      if (!finished_) {
        finished_ = p1 >= 0 ? LocalX() >= ParentWidth() || LocalY() + height() < 0
                            : LocalX() + width() < 0 || LocalY() + height() < 0;
      }
      break;
    case PM_TWISTER: {
      q_ += steps * d_;
      if (q_ > kTwoPi) q_ -= kTwoPi;
      const long double g = std::fabs(std::cos(q_ * 0.5L)) * 0.5L + 0.5L;
      SetProperty(PR_ZOOMX, Round(g * 256));
      SetProperty(PR_ZOOMY, Round(g * 256));
      SetLeft(Trunc(g * std::sin(q_) * r_) + x0_);
      s_ -= p0;
      SetTop(Trunc(s_));
      SetPriority(Round((g - 0.5L) / 0.5L * 2000 - 1000));
      if (!finished_) finished_ = LocalY() + height() < 0;
      break;
    }
    default:
      finished_ = true;
      break;
  }
}

int32_t TNovuParticleImages::Update() {
  if (finished_) {
    emitter_->Forget(*this);
    return 1;
  }
  return TNovuCustomImages::Update();
}

// --- the emitter ---

TNovuParticle::TNovuParticle(ObjectList* owner, ImageEnvironment env)
    : TNovuControl(owner), env_(env), images_(env.cache) {}

TNovuParticle::~TNovuParticle() {
  // The particles draw from the emitter's pictures: they go first.
  DropParticles();
}

ProcessRandom& TNovuParticle::Random() {
  static ProcessRandom fallback;
  return env_.state != nullptr ? env_.state->random : fallback;
}

void TNovuParticle::SetExpressions(const TNovuParser* appear_x, const TNovuParser* appear_y,
                                   const TNovuParser* delay) {
  if (appear_x != nullptr) appear_x_.Assign(*appear_x);
  if (appear_y != nullptr) appear_y_.Assign(*appear_y);
  if (delay != nullptr) delay_.Assign(*delay);
}

void TNovuParticle::DropParticles() {
  auto* list = dynamic_cast<TNovuBaseList*>(owner());
  for (int32_t i = ChildCount() - 1; i >= 0; --i) {
    TNovuObject* child = Child(i);
    if (list != nullptr && dynamic_cast<TNovuParticleImages*>(child) != nullptr) list->Free(*child);
  }
  particles_.clear();
}

void TNovuParticle::Forget(TNovuParticleImages& particle) {
  std::erase(particles_, &particle);
}

void TNovuParticle::SetSource(const std::string& source) {
  if (source == source_) return;
  DropParticles();
  images_.Clear();
  source_ = source;
  const bool picture =
      source.size() >= 4 &&
      cp932::EqualsNoCase(std::string_view(source).substr(source.size() - 4), ".fip");
  if (picture && env_.cache != nullptr) images_.Load(this, source, false);
  state_ = 0;
}

void TNovuParticle::SetMotionKind(uint8_t kind) {
  if (kind == motion_) return;
  motion_ = kind;
  state_ = 0;
}

int32_t TNovuParticle::Evaluate(TNovuParser& expression, bool& has_value) {
  has_value = false;
  if (expression.empty() || env_.vars == nullptr) return 0;
  expression.Evaluate(*env_.vars);
  const TCustomParam* result = expression.result();
  if (result == nullptr) return 0;
  has_value = true;
  return result->GetAsInt();
}

void TNovuParticle::CreateParticle(int64_t& budget) {
  int32_t x = 0, y = 0;
  if (param_) {
    ProcessRandom& random = Random();
    x = Below(random, param_->x_range) + param_->x_base;
    y = Below(random, param_->y_range) + param_->y_base;
    const int32_t delay = std::max(Below(random, param_->delay_range) + param_->delay_base, 2);
    next_emission_ += delay;
    budget -= delay;
  } else {
    bool has_value = false;
    const int32_t delay = Evaluate(delay_, has_value);
    if (has_value) {
      next_emission_ += std::max(delay, 2);
      budget -= std::max(delay, 2);
    } else {
      next_emission_ = kStepMs;
      budget -= kStepMs;
    }
    x = Evaluate(appear_x_, has_value);
    y = Evaluate(appear_y_, has_value);
  }
  auto* list = dynamic_cast<TNovuBaseList*>(owner());
  if (list == nullptr) return;
  auto object = MakeObject<TNovuParticleImages>(list, env_, *this);
  TNovuParticleImages& particle = *object;
  AddChild(std::move(object));
  particle.SetName(list->UniqueName("\x01" + name() + "\x01"));
  particle.SetMouseMode(IM_ALL);
  particle.SetMotion(motion_, p_);
  particles_.push_back(&particle);
  particle.SetLeft(x);
  particle.SetTop(y);
  particle.SetAlpha(alpha_);
  if (images_.Count() > 0) particle.SetIndex(0);
  particle.Start();
  if (budget > 0) particle.Step(budget / kStepMs);
}

void TNovuParticle::Emit(int64_t n, bool emitting) {
  if (emitting) next_emission_ -= n * kStepMs;
  if (n > 0) {
    for (auto it = particles_.rbegin(); it != particles_.rend(); ++it) (*it)->Step(n);
  }
  if (!emitting || motion_ == PM_NONE) return;
  int64_t budget = n * kStepMs;
  // Every particle moves the next emission at least 2 ms on; without a delay value it is set
  // to 16 ms, so that call creates one particle only.
  while (next_emission_ <= 0) CreateParticle(budget);
}

int32_t TNovuParticle::Update() {
  if (const int32_t result = TNovuControl::Update(); result != 0) return result;
  if (PropAsBool(GetProperty(PR_ANIPAUSED))) return 0;
  const int64_t elapsed = owner() != nullptr ? std::max(owner()->FrameDelta(), 0) : 0;
  switch (state_) {
    case 0: {
      state_ = 1;
      next_emission_ = 0;
      const int32_t preroll = std::clamp(preroll_, 0, kMaxPrerollMs);
      remainder_ = preroll % kStepMs;
      Emit(preroll / kStepMs, true);
      break;
    }
    case 1:
      remainder_ += elapsed;
      Emit(remainder_ / kStepMs, true);
      remainder_ %= kStepMs;
      if (duration_ > 0) {
        duration_ = static_cast<int32_t>(std::max<int64_t>(duration_ - elapsed, 0));
        if (duration_ <= 0) state_ = 2;
      }
      break;
    default:
      if (particles_.empty()) return 1;
      remainder_ += elapsed;
      Emit(remainder_ / kStepMs, false);
      remainder_ %= kStepMs;
      break;
  }
  return 0;
}

void TNovuParticle::Sync(Serializer& s) {
  for (TNovuParser* expression : {&appear_x_, &appear_y_, &delay_}) {
    if (s.loading()) {
      expression->LoadFromStream(s.reader());
    } else {
      expression->SaveToStream(s.writer());
    }
  }
  if (s.saving()) loaded_source_ = source_;
  s.String(loaded_source_);
  s.U8(motion_);
  for (long double& p : p_) s.Float80(p);
  s.I32(alpha_);
  if (s.Has(104)) {
    s.I32(preroll_);
    s.String(on_idle_);
    s.Bool(paused_);
    s.I32(duration_);
  }
}

void TNovuParticle::AfterLoad() {
  source_.clear();
  SetSource(std::exchange(loaded_source_, {}));
  state_ = 0;
}

const PropertyTable& TNovuParticle::Table() {
  using R = PropertyRows<TNovuParticle>;
  auto param = [](PropId id, int index) {
    return R::Answer(id, [index](const TNovuParticle& p) { return p.Param(index); })
        .Set([index](TNovuParticle& p, const PropValue& v) {
          p.SetParamValue(index, PropAsFloat(v));
        });
  };
  static const PropertyTable table(
      &TNovuControl::Table(),
      {
          R::Field(PR_SOURCE, &TNovuParticle::source_).Set(&TNovuParticle::SetSource).NotSaved(),
          R::Field(PR_PARTMOTION, &TNovuParticle::motion_)
              .Set(&TNovuParticle::SetMotionKind)
              .NotSaved(),
          param(PR_PARAM1, 0),
          param(PR_PARAM2, 1),
          param(PR_PARAM3, 2),
          R::Field(PR_ALPHA, &TNovuParticle::alpha_).NotSaved(),
          R::Field(PR_INDEX, &TNovuParticle::preroll_).NotSaved(),
          R::Field(PR_DURATION, &TNovuParticle::duration_).NotSaved(),
          R::Field(PR_PAUSED, &TNovuParticle::paused_).NotSaved(),
          R::Field(PR_ONIDLE, &TNovuParticle::on_idle_).NotSaved(),
          R::Answer(PR_PLAYING,
                    [](const TNovuParticle& p) {
                      return !p.paused_ && !PropAsBool(p.GetProperty(PR_ANIPAUSED));
                    }),
          R::Saved([](TNovuParticle& p, Serializer& s) { p.Sync(s); }),
      });
  return table;
}

}  // namespace novu
