// The fast pixel loops, written once over the compiler's vector extensions and compiled twice:
// fast_kernels_sse2.cpp (4 pixels a step) and fast_kernels_avx2.cpp (8 pixels a step, built for
// AVX2 and chosen at run time). Include only from those two files, inside their own namespace,
// with FAST_LANES defined.
//
// 32-bit rows run whole vectors of pixels with 16-bit channel arithmetic; 15/16-bit rows run
// vectors of packed pixels with each channel in 16-bit lanes; row tails use scalar loops with
// the same arithmetic. Mirrored, scaled and rotated draws first gather their source pixels into
// a contiguous row buffer, then share the same row loops. Depths 8 and 24 go to the reference
// loops.

constexpr int kLanes = FAST_LANES;

using u32v = uint32_t __attribute__((vector_size(4 * kLanes)));
using u8v = uint8_t __attribute__((vector_size(4 * kLanes)));

inline u32v Load(const uint32_t* p) {
  u32v v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store(uint32_t* p, u32v v) {
  std::memcpy(p, &v, sizeof v);
}
// The mask bytes of kLanes pixels, each repeated over the four bytes of its pixel's lane.
inline u32v LoadMaskSpread(const uint8_t* m) {
  using u8n = uint8_t __attribute__((vector_size(16)));
  // A direct narrow load: going through a zeroed buffer would stall on store forwarding.
#if FAST_LANES == 8
  const u8n bytes = reinterpret_cast<u8n>(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m)));
  return (u32v)__builtin_shufflevector(bytes, bytes, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                       4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
#else
  int32_t word;
  std::memcpy(&word, m, 4);
  const u8n bytes = reinterpret_cast<u8n>(_mm_cvtsi32_si128(word));
  return (u32v)__builtin_shufflevector(bytes, bytes, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3,
                                       3);
#endif
}
inline u32v Splat(uint32_t v) {
  return u32v{} + v;
}

// One bit per byte: the top bit of each byte of m.
inline int ByteSigns(u32v m) {
#if FAST_LANES == 8
  return _mm256_movemask_epi8(reinterpret_cast<__m256i>(m));
#else
  return _mm_movemask_epi8(reinterpret_cast<__m128i>(m));
#endif
}
inline bool AllZero(u32v m) {
  return ByteSigns(m) == 0;
}
inline bool AllOnes(u32v m) {
  return ByteSigns(~m) == 0;
}

// Channels widened to 16 bits as two halves in the in-lane order of the unpack instructions;
// the pack instruction puts them back in place, so no cross-lane shuffles are needed.
using u16h = uint16_t __attribute__((vector_size(4 * kLanes)));
struct Wide {
  u16h lo, hi;
};

#if FAST_LANES == 8
using NativeVector = __m256i;
inline Wide Unpack(u32v v) {
  const __m256i x = reinterpret_cast<__m256i>(v), zero = _mm256_setzero_si256();
  return {reinterpret_cast<u16h>(_mm256_unpacklo_epi8(x, zero)),
          reinterpret_cast<u16h>(_mm256_unpackhi_epi8(x, zero))};
}
// Lanes hold at most 255, so the saturating pack is a plain narrowing.
inline u32v Pack(const Wide& w) {
  return reinterpret_cast<u32v>(
      _mm256_packus_epi16(reinterpret_cast<__m256i>(w.lo), reinterpret_cast<__m256i>(w.hi)));
}
#else
inline Wide Unpack(u32v v) {
  const __m128i x = reinterpret_cast<__m128i>(v), zero = _mm_setzero_si128();
  return {reinterpret_cast<u16h>(_mm_unpacklo_epi8(x, zero)),
          reinterpret_cast<u16h>(_mm_unpackhi_epi8(x, zero))};
}
inline u32v Pack(const Wide& w) {
  return reinterpret_cast<u32v>(
      _mm_packus_epi16(reinterpret_cast<__m128i>(w.lo), reinterpret_cast<__m128i>(w.hi)));
}
#endif

inline Wide SplatWide(uint32_t w) {
  const u16h v = u16h{} + static_cast<uint16_t>(w);
  return {v, v};
}

constexpr uint32_t kChannels = 0x00FFFFFFu;

// (255 - w) d + w s = 255 d + w (s - d): the true value lies in [0, 65025], so the wrapping
// 16-bit arithmetic gives it exactly, with one multiply instead of two.
inline u16h BlendHalf(u16h d, u16h s, u16h w) {
  return ((d << 8) - d + w * (s - d)) >> 8;
}

inline u32v BlendV(u32v d, u32v s, const Wide& w) {
  const Wide dw = Unpack(d), sw = Unpack(s);
  return Pack({BlendHalf(dw.lo, sw.lo, w.lo), BlendHalf(dw.hi, sw.hi, w.hi)}) & kChannels;
}

// Saturating per-byte add; compares only on full-width byte vectors (no wider lanes, which
// the compiler would split into scalar code).
inline u32v AddSaturated(u32v a, u32v b) {
  const u8v a8 = (u8v)a, sum = a8 + (u8v)b;
  return (u32v)(sum | (u8v)(sum < a8));
}

inline u32v SubSaturated(u32v a, u32v b) {
  const u8v a8 = (u8v)a, b8 = (u8v)b;
  return (u32v)((a8 - b8) & ~(u8v)(a8 < b8));
}

inline u32v AddWeighted(u32v d, u32v s, const Wide& w) {
  const Wide sw = Unpack(s);
  return AddSaturated(d, Pack({(w.lo * sw.lo) >> 8, (w.hi * sw.hi) >> 8})) & kChannels;
}

inline u32v Select(u32v keep_mask, u32v keep, u32v other) {
  return (keep & keep_mask) | (other & ~keep_mask);
}

// --- scalar pixel rules for the row tails and for 15/16 bits --------------------------------

template <int kRedShift, int kGreenBits>
struct Packed {
  static constexpr uint32_t kBlueMax = 31, kGreenMax = (1u << kGreenBits) - 1, kRedMax = 31;
  static uint32_t Blend(uint32_t d, uint32_t s, uint32_t w) {
    const uint32_t iw = 255 - w;
    const uint32_t b = (iw * (d & kBlueMax) + w * (s & kBlueMax)) >> 8;
    const uint32_t g = (iw * ((d >> 5) & kGreenMax) + w * ((s >> 5) & kGreenMax)) >> 8;
    const uint32_t r = (iw * ((d >> kRedShift) & kRedMax) + w * ((s >> kRedShift) & kRedMax)) >> 8;
    return b | (g << 5) | (r << kRedShift);
  }
  static uint32_t Add(uint32_t d, uint32_t s, uint32_t w) {
    const uint32_t b = std::min(kBlueMax, (d & kBlueMax) + ((w * (s & kBlueMax)) >> 8));
    const uint32_t g =
        std::min(kGreenMax, ((d >> 5) & kGreenMax) + ((w * ((s >> 5) & kGreenMax)) >> 8));
    const uint32_t r =
        std::min(kRedMax, ((d >> kRedShift) & kRedMax) + ((w * ((s >> kRedShift) & kRedMax)) >> 8));
    return b | (g << 5) | (r << kRedShift);
  }
};
using Packed555 = Packed<10, 5>;
using Packed565 = Packed<11, 6>;

struct Packed888 {
  static uint32_t Blend(uint32_t d, uint32_t s, uint32_t w) {
    const uint32_t iw = 255 - w;
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) {
      out |= ((iw * ((d >> sh) & 255) + w * ((s >> sh) & 255)) >> 8) << sh;
    }
    return out;
  }
  static uint32_t Add(uint32_t d, uint32_t s, uint32_t w) {
    uint32_t out = 0;
    for (int sh = 0; sh < 24; sh += 8) {
      out |= std::min(255u, ((d >> sh) & 255) + ((w * ((s >> sh) & 255)) >> 8)) << sh;
    }
    return out;
  }
};

// One row of a source-to-destination rule: d[i] against s[i] and m[i], all forward.
// kMaskedFull: the 32-bit loops use alpha itself where the mask is opaque.
template <typename Px, typename T, bool kMaskedFull>
struct ScalarRows {
  static uint32_t MaskedWeight(uint32_t alpha, uint32_t m) {
    return (kMaskedFull && m == 255) ? alpha : (alpha * m) >> 8;
  }
  static void Copy(T* d, const T* s, int n, bool use_key, uint32_t key) {
    for (int i = 0; i < n; ++i) {
      if (!use_key || s[i] != key) d[i] = s[i];
    }
  }
  static void Blend(T* d, const T* s, int n, uint32_t w, bool use_key, uint32_t key,
                    bool skip_equal) {
    for (int i = 0; i < n; ++i) {
      if ((use_key && s[i] == key) || (skip_equal && s[i] == d[i])) continue;
      d[i] = static_cast<T>(Px::Blend(d[i], s[i], w));
    }
  }
  static void Add(T* d, const T* s, int n, uint32_t w, bool use_key, uint32_t key) {
    for (int i = 0; i < n; ++i) {
      if (use_key && s[i] == key) continue;
      d[i] = static_cast<T>(Px::Add(d[i], s[i], w));
    }
  }
  static void Masked(T* d, const T* s, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) {
      if (m[i] == 0) continue;
      if (m[i] == 255) {
        d[i] = s[i];
      } else if (s[i] != d[i]) {
        d[i] = static_cast<T>(Px::Blend(d[i], s[i], m[i]));
      }
    }
  }
  static void AlphaMasked(T* d, const T* s, const uint8_t* m, int n, uint32_t alpha) {
    for (int i = 0; i < n; ++i) {
      if (m[i] == 0 || s[i] == d[i]) continue;
      d[i] = static_cast<T>(Px::Blend(d[i], s[i], MaskedWeight(alpha, m[i])));
    }
  }
  static void AddMasked(T* d, const T* s, const uint8_t* m, int n, uint32_t alpha) {
    for (int i = 0; i < n; ++i) {
      if (m[i] == 0) continue;
      d[i] = static_cast<T>(Px::Add(d[i], s[i], MaskedWeight(alpha, m[i])));
    }
  }
  static void MaskColor(T* d, const uint8_t* m, int n, uint32_t colour, uint32_t alpha) {
    for (int i = 0; i < n; ++i) {
      if (m[i] == 0 || d[i] == colour) continue;
      const uint32_t w = alpha >= 255 ? m[i] : MaskedWeight(alpha, m[i]);
      d[i] = static_cast<T>(Px::Blend(d[i], colour, w));
    }
  }
};

// --- 32-bit vector rows ---------------------------------------------------------------------

struct Rows32 {
  using Tail = ScalarRows<Packed888, uint32_t, true>;

  // Keyed copy: whole vectors of key pixels are skipped without touching the destination.
  static void Copy(uint32_t* d, const uint32_t* s, int n, bool use_key, uint32_t key) {
    if (!use_key) {
      std::memmove(d, s, static_cast<size_t>(n) * 4);
      return;
    }
    const u32v k = Splat(key);
    int i = 0;
    for (; i + 2 * kLanes <= n; i += 2 * kLanes) {
      const u32v s0 = Load(s + i), s1 = Load(s + i + kLanes);
      const u32v key0 = (u32v)(s0 == k), key1 = (u32v)(s1 == k);
      if (AllZero(key0 | key1)) {
        Store(d + i, s0);
        Store(d + i + kLanes, s1);
        continue;
      }
      if (!AllOnes(key0)) Store(d + i, Select(key0, Load(d + i), s0));
      if (!AllOnes(key1)) Store(d + i + kLanes, Select(key1, Load(d + i + kLanes), s1));
    }
    for (; i + kLanes <= n; i += kLanes) {
      const u32v sv = Load(s + i);
      const u32v is_key = (u32v)(sv == k);
      if (!AllOnes(is_key)) Store(d + i, Select(is_key, Load(d + i), sv));
    }
    Tail::Copy(d + i, s + i, n - i, true, key);
  }

  static void Blend(uint32_t* d, const uint32_t* s, int n, uint32_t w, bool use_key, uint32_t key,
                    bool skip_equal) {
    const Wide wv = SplatWide(w);
    const u32v k = Splat(key);
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v sv = Load(s + i), dv = Load(d + i);
      u32v keep = use_key ? (u32v)(sv == k) : u32v{};
      if (skip_equal) keep |= (u32v)(sv == dv);
      Store(d + i, Select(keep, dv, BlendV(dv, sv, wv)));
    }
    Tail::Blend(d + i, s + i, n - i, w, use_key, key, skip_equal);
  }

  static void Add(uint32_t* d, const uint32_t* s, int n, uint32_t w, bool use_key, uint32_t key) {
    const Wide wv = SplatWide(w);
    const u32v k = Splat(key);
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v sv = Load(s + i), dv = Load(d + i);
      const u32v keep = use_key ? (u32v)(sv == k) : u32v{};
      Store(d + i, Select(keep, dv, AddWeighted(dv, sv, wv)));
    }
    Tail::Add(d + i, s + i, n - i, w, use_key, key);
  }

  static void Masked(uint32_t* d, const uint32_t* s, const uint8_t* m, int n) {
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v mv = LoadMaskSpread(m + i);
      const u32v skip = (u32v)(mv == Splat(0));
      if (AllOnes(skip)) continue;
      const u32v sv = Load(s + i), dv = Load(d + i);
      const u32v opaque = (u32v)(mv == Splat(~0u));
      const u32v blended = Select(opaque, sv, BlendV(dv, sv, Unpack(mv)));
      Store(d + i, Select(skip | (u32v)(sv == dv), dv, blended));
    }
    Tail::Masked(d + i, s + i, m + i, n - i);
  }

  // alpha where the mask is opaque, else (alpha * m) >> 8, per channel lane.
  static Wide MaskedWeights(u32v mv, uint32_t alpha) {
    const Wide m = Unpack(mv);
    const u16h a = u16h{} + static_cast<uint16_t>(alpha);
    const Wide scaled{(m.lo * a) >> 8, (m.hi * a) >> 8};
    // Opaque lanes get alpha: scaled + (alpha - scaled), the difference fitting in a byte.
    const Wide opaque = Unpack((u32v)(mv == Splat(~0u)));
    return {scaled.lo + ((a - scaled.lo) & opaque.lo), scaled.hi + ((a - scaled.hi) & opaque.hi)};
  }

  static void AlphaMasked(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t alpha) {
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v mv = LoadMaskSpread(m + i);
      const u32v skip = (u32v)(mv == Splat(0));
      if (AllOnes(skip)) continue;
      const u32v sv = Load(s + i), dv = Load(d + i);
      const u32v blended = BlendV(dv, sv, MaskedWeights(mv, alpha));
      Store(d + i, Select(skip | (u32v)(sv == dv), dv, blended));
    }
    Tail::AlphaMasked(d + i, s + i, m + i, n - i, alpha);
  }

  static void AddMasked(uint32_t* d, const uint32_t* s, const uint8_t* m, int n, uint32_t alpha) {
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v mv = LoadMaskSpread(m + i);
      const u32v skip = (u32v)(mv == Splat(0));
      if (AllOnes(skip)) continue;
      const u32v sv = Load(s + i), dv = Load(d + i);
      const u32v added = AddWeighted(dv, sv, MaskedWeights(mv, alpha));
      Store(d + i, Select(skip, dv, added));
    }
    Tail::AddMasked(d + i, s + i, m + i, n - i, alpha);
  }

  static void MaskColor(uint32_t* d, const uint8_t* m, int n, uint32_t colour, uint32_t alpha) {
    const u32v cv = Splat(colour);
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      const u32v mv = LoadMaskSpread(m + i);
      const u32v skip = (u32v)(mv == Splat(0));
      if (AllOnes(skip)) continue;
      const u32v dv = Load(d + i);
      const Wide w = alpha >= 255 ? Unpack(mv) : MaskedWeights(mv, alpha);
      const u32v blended = BlendV(dv, cv, w);
      Store(d + i, Select(skip | (u32v)(dv == cv), dv, blended));
    }
    Tail::MaskColor(d + i, m + i, n - i, colour, alpha);
  }
};

// --- 15/16-bit vector rows ------------------------------------------------------------------

using u16n = uint16_t __attribute__((vector_size(4 * kLanes)));  // 2 kLanes pixels
constexpr int kLanes16 = 2 * kLanes;

inline u16n Load16(const uint16_t* p) {
  u16n v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void Store16(uint16_t* p, u16n v) {
  std::memcpy(p, &v, sizeof v);
}
inline u16n Splat16(uint32_t v) {
  return u16n{} + static_cast<uint16_t>(v);
}
inline u16n Select16(u16n keep_mask, u16n keep, u16n other) {
  return (keep & keep_mask) | (other & ~keep_mask);
}
inline u16n LoadMask16(const uint8_t* m) {
  using u8h = uint8_t __attribute__((vector_size(2 * kLanes)));
  u8h bytes;
  std::memcpy(&bytes, m, sizeof bytes);
  return __builtin_convertvector(bytes, u16n);
}
inline bool AllZero16(u16n m) {
  u32v v;
  std::memcpy(&v, &m, sizeof v);
  return AllZero(v);
}
inline bool AllOnes16(u16n m) {
  return AllZero16(~m);
}

// Packed 5-5-5 or 5-6-5 pixels: every channel computed in 16-bit lanes (255 * 63 fits).
template <int kRedShift, int kGreenBits>
struct Rows16 {
  using Px = Packed<kRedShift, kGreenBits>;
  using Tail = ScalarRows<Px, uint16_t, false>;
  static constexpr uint16_t kGreenMax = (1u << kGreenBits) - 1;

  static u16n Blue(u16n p) { return p & 31; }
  static u16n Green(u16n p) { return (p >> 5) & kGreenMax; }
  static u16n Red(u16n p) { return (p >> kRedShift) & 31; }
  static u16n Compose(u16n r, u16n g, u16n b) { return b | (g << 5) | (r << kRedShift); }

  static u16n BlendPx(u16n d, u16n s, u16n w) {
    const u16n iw = Splat16(255) - w;
    return Compose((iw * Red(d) + w * Red(s)) >> 8, (iw * Green(d) + w * Green(s)) >> 8,
                   (iw * Blue(d) + w * Blue(s)) >> 8);
  }
  static u16n Capped(u16n v, uint16_t max) {
    const u16n m = Splat16(max);
    return Select16((u16n)(v > m), m, v);
  }
  static u16n AddPx(u16n d, u16n s, u16n w) {
    return Compose(Capped(Red(d) + ((w * Red(s)) >> 8), 31),
                   Capped(Green(d) + ((w * Green(s)) >> 8), kGreenMax),
                   Capped(Blue(d) + ((w * Blue(s)) >> 8), 31));
  }

  static void Copy(uint16_t* d, const uint16_t* s, int n, bool use_key, uint32_t key) {
    if (!use_key) {
      std::memmove(d, s, static_cast<size_t>(n) * 2);
      return;
    }
    const u16n k = Splat16(key);
    int i = 0;
    if (key <= 0xFFFF) {
      for (; i + kLanes16 <= n; i += kLanes16) {
        const u16n sv = Load16(s + i);
        const u16n is_key = (u16n)(sv == k);
        if (AllZero16(is_key)) {
          Store16(d + i, sv);
        } else if (!AllOnes16(is_key)) {
          Store16(d + i, Select16(is_key, Load16(d + i), sv));
        }
      }
    }
    Tail::Copy(d + i, s + i, n - i, true, key);
  }

  static void Blend(uint16_t* d, const uint16_t* s, int n, uint32_t w, bool use_key, uint32_t key,
                    bool skip_equal) {
    if (use_key && key > 0xFFFF) use_key = false;  // no 16-bit pixel can equal it
    const u16n wv = Splat16(w), k = Splat16(key);
    int i = 0;
    for (; i + kLanes16 <= n; i += kLanes16) {
      const u16n sv = Load16(s + i), dv = Load16(d + i);
      u16n keep = use_key ? (u16n)(sv == k) : u16n{};
      if (skip_equal) keep |= (u16n)(sv == dv);
      Store16(d + i, Select16(keep, dv, BlendPx(dv, sv, wv)));
    }
    Tail::Blend(d + i, s + i, n - i, w, use_key, key, skip_equal);
  }

  static void Add(uint16_t* d, const uint16_t* s, int n, uint32_t w, bool use_key, uint32_t key) {
    if (use_key && key > 0xFFFF) use_key = false;
    const u16n wv = Splat16(w), k = Splat16(key);
    int i = 0;
    for (; i + kLanes16 <= n; i += kLanes16) {
      const u16n sv = Load16(s + i), dv = Load16(d + i);
      const u16n keep = use_key ? (u16n)(sv == k) : u16n{};
      Store16(d + i, Select16(keep, dv, AddPx(dv, sv, wv)));
    }
    Tail::Add(d + i, s + i, n - i, w, use_key, key);
  }

  static void Masked(uint16_t* d, const uint16_t* s, const uint8_t* m, int n) {
    int i = 0;
    for (; i + kLanes16 <= n; i += kLanes16) {
      const u16n mv = LoadMask16(m + i);
      const u16n skip = (u16n)(mv == Splat16(0));
      if (AllOnes16(skip)) continue;
      const u16n sv = Load16(s + i), dv = Load16(d + i);
      const u16n blended = Select16((u16n)(mv == Splat16(255)), sv, BlendPx(dv, sv, mv));
      Store16(d + i, Select16(skip | (u16n)(sv == dv), dv, blended));
    }
    Tail::Masked(d + i, s + i, m + i, n - i);
  }

  static void AlphaMasked(uint16_t* d, const uint16_t* s, const uint8_t* m, int n, uint32_t alpha) {
    int i = 0;
    for (; i + kLanes16 <= n; i += kLanes16) {
      const u16n mv = LoadMask16(m + i);
      const u16n skip = (u16n)(mv == Splat16(0));
      if (AllOnes16(skip)) continue;
      const u16n sv = Load16(s + i), dv = Load16(d + i);
      const u16n w = (mv * Splat16(alpha)) >> 8;
      Store16(d + i, Select16(skip | (u16n)(sv == dv), dv, BlendPx(dv, sv, w)));
    }
    Tail::AlphaMasked(d + i, s + i, m + i, n - i, alpha);
  }

  static void AddMasked(uint16_t* d, const uint16_t* s, const uint8_t* m, int n, uint32_t alpha) {
    int i = 0;
    for (; i + kLanes16 <= n; i += kLanes16) {
      const u16n mv = LoadMask16(m + i);
      const u16n skip = (u16n)(mv == Splat16(0));
      if (AllOnes16(skip)) continue;
      const u16n sv = Load16(s + i), dv = Load16(d + i);
      const u16n w = (mv * Splat16(alpha)) >> 8;
      Store16(d + i, Select16(skip, dv, AddPx(dv, sv, w)));
    }
    Tail::AddMasked(d + i, s + i, m + i, n - i, alpha);
  }

  static void MaskColor(uint16_t* d, const uint8_t* m, int n, uint32_t colour, uint32_t alpha) {
    int i = 0;
    if (colour <= 0xFFFF) {
      const u16n cv = Splat16(colour);
      for (; i + kLanes16 <= n; i += kLanes16) {
        const u16n mv = LoadMask16(m + i);
        const u16n skip = (u16n)(mv == Splat16(0));
        if (AllOnes16(skip)) continue;
        const u16n dv = Load16(d + i);
        const u16n w = alpha >= 255 ? mv : (mv * Splat16(alpha)) >> 8;
        Store16(d + i, Select16(skip | (u16n)(dv == cv), dv, BlendPx(dv, cv, w)));
      }
    }
    Tail::MaskColor(d + i, m + i, n - i, colour, alpha);
  }
};

// Runs `rule` over one row. `s` and `m` are forward arrays aligned with `d`.
template <typename R, typename T>
void RunRow(Rule rule, const RuleParams& p, T* d, const T* s, const uint8_t* m, int n) {
  const uint32_t a = static_cast<uint32_t>(p.alpha);
  switch (rule) {
    case Rule::Copy:
      return R::Copy(d, s, n, p.use_key, p.key);
    case Rule::Masked:
      return R::Masked(d, s, m, n);
    case Rule::Alpha:
      return R::Blend(d, s, n, a, p.use_key, p.key, true);
    case Rule::AlphaMasked:
      return R::AlphaMasked(d, s, m, n, a);
    case Rule::Add:
      return R::Add(d, s, n, a, p.use_key, p.key);
    case Rule::AddMasked:
      return R::AddMasked(d, s, m, n, a);
    case Rule::MaskColor:
      return R::MaskColor(d, m, n, p.colour, a);
    case Rule::Stretch:
      if (a >= 255) return R::Copy(d, s, n, p.use_key, p.key);
      return R::Blend(d, s, n, a, p.use_key, p.key, true);
    case Rule::StretchAdd:
      return R::Add(d, s, n, a, p.use_key, p.key);
    case Rule::Rotate:
    case Rule::ZoomTile:
      if (a == 255) return R::Copy(d, s, n, p.use_key, p.key);
      if (a > 255) return R::Add(d, s, n, std::min(a - 256, 255u), p.use_key, p.key);
      return R::Blend(d, s, n, a, p.use_key, p.key, rule == Rule::ZoomTile);
    default:
      return;
  }
}

// --- drivers: from a plan to rows -----------------------------------------------------------

template <typename T>
struct RowBuffers {
  std::vector<T> src;
  std::vector<uint8_t> mask;
  void Reserve(size_t n) {
    if (src.size() < n) src.resize(n);
    if (mask.size() < n) mask.resize(n);
  }
};

template <typename T>
RowBuffers<T>& Buffers() {
  thread_local RowBuffers<T> buffers;
  return buffers;
}

template <typename R, typename T>
void DirectRows(Rule rule, const RuleParams& p, const BlitSurfaces& s, const DirectBlit& plan) {
  const int n = plan.dest.Width();
  const bool masked = RuleUsesMask(rule);
  RowBuffers<T>& buf = Buffers<T>();
  buf.Reserve(static_cast<size_t>(n));
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const int32_t sy = plan.src_y + (y - plan.dest.top) * plan.step_y;
    T* d = reinterpret_cast<T*>(s.dst.Row(y)) + plan.dest.left;
    const T* src = reinterpret_cast<const T*>(s.src.Row(sy)) + plan.src_x;
    const uint8_t* m = masked ? s.mask.Row(sy) + plan.src_x : nullptr;
    if (plan.step_x < 0) {
      if (rule != Rule::MaskColor) {
        for (int i = 0; i < n; ++i) buf.src[static_cast<size_t>(i)] = src[-i];
        src = buf.src.data();
      }
      if (masked) {
        for (int i = 0; i < n; ++i) buf.mask[static_cast<size_t>(i)] = m[-i];
        m = buf.mask.data();
      }
    }
    RunRow<R, T>(rule, p, d, src, m, n);
  }
}

// d[i] = row[cols[i]], four at a time (the loads are independent; the stores never alias them
// unless a surface is scaled onto itself, which the callers rule out for this loop).
template <typename T>
void GatherRow(T* __restrict d, const T* __restrict row, const int32_t* __restrict cols, int n) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const T a = row[cols[i]], b = row[cols[i + 1]], c = row[cols[i + 2]], e = row[cols[i + 3]];
    d[i] = a;
    d[i + 1] = b;
    d[i + 2] = c;
    d[i + 3] = e;
  }
  for (; i < n; ++i) d[i] = row[cols[i]];
}

template <typename R, typename T>
void ScaledRows(Rule rule, const RuleParams& p, const BlitSurfaces& s, const ScaledBlit& plan) {
  const int n = plan.dest.Width();
  const bool masked = RuleUsesMask(rule);
  const bool plain_copy = (rule == Rule::Stretch && p.alpha >= 255 && !p.use_key);
  RowBuffers<T>& buf = Buffers<T>();
  buf.Reserve(static_cast<size_t>(n));
  const int32_t* cols = plan.cols.data();
  // A plain copy that samples the same source row again repeats the row just written (unless
  // the source is the destination itself).
  const bool reuse_rows = plain_copy && s.src.top != s.dst.top;
  const bool same_surface = s.src.top == s.dst.top;
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const size_t j = static_cast<size_t>(y - plan.dest.top);
    const int32_t sy = plan.rows[j];
    T* d = reinterpret_cast<T*>(s.dst.Row(y)) + plan.dest.left;
    const T* srow = reinterpret_cast<const T*>(s.src.Row(sy));
    if (plain_copy) {
      if (reuse_rows && j > 0 && plan.rows[j - 1] == sy) {
        std::memcpy(d, reinterpret_cast<T*>(s.dst.Row(y - 1)) + plan.dest.left, n * sizeof(T));
        continue;
      }
      if (same_surface) {
        for (int i = 0; i < n; ++i) d[i] = srow[cols[i]];
      } else {
        GatherRow(d, srow, cols, n);
      }
      continue;
    }
    for (int i = 0; i < n; ++i) buf.src[static_cast<size_t>(i)] = srow[cols[i]];
    if (masked) {
      const uint8_t* mrow = s.mask.Row(sy);
      for (int i = 0; i < n; ++i) buf.mask[static_cast<size_t>(i)] = mrow[cols[i]];
    }
    RunRow<R, T>(rule, p, d, buf.src.data(), buf.mask.data(), n);
  }
}

// Samples n pixels of a rotated row into `out` (and their mask values into `mask_out`). The
// span was chosen so every position lies inside the source: no tests per pixel.
template <typename T, bool kFlipH, bool kFlipV>
void SampleRotated(const BlitSurfaces& s, const RotatedBlit& plan, int64_t sx0, int64_t sy0, int n,
                   T* out, uint8_t* mask_out) {
  // Inside the span positions are below 2^30: 32-bit steps suffice.
  int32_t sx = static_cast<int32_t>(sx0), sy = static_cast<int32_t>(sy0);
  const uint8_t* top = s.src.top;
  const ptrdiff_t pitch = s.src.pitch;
  for (int i = 0; i < n; ++i, sx += plan.a, sy += plan.b) {
    const int32_t px = kFlipH ? plan.mirror_x - (sx >> 16) : (sx >> 16);
    const int32_t py = kFlipV ? plan.mirror_y - (sy >> 16) : (sy >> 16);
    out[i] = reinterpret_cast<const T*>(top + py * pitch)[px];
    if (mask_out) mask_out[i] = s.mask.Row(py)[px];
  }
}

template <typename T>
void SampleRotatedRow(const BlitSurfaces& s, const RotatedBlit& plan, int64_t sx0, int64_t sy0,
                      int n, T* out, uint8_t* mask_out) {
  if (plan.flip_h) {
    if (plan.flip_v) return SampleRotated<T, true, true>(s, plan, sx0, sy0, n, out, mask_out);
    return SampleRotated<T, true, false>(s, plan, sx0, sy0, n, out, mask_out);
  }
  if (plan.flip_v) return SampleRotated<T, false, true>(s, plan, sx0, sy0, n, out, mask_out);
  return SampleRotated<T, false, false>(s, plan, sx0, sy0, n, out, mask_out);
}

template <typename R, typename T>
void RotatedRows(Rule rule, const RuleParams& p, const BlitSurfaces& s, const RotatedBlit& plan) {
  const int32_t width = plan.dest.Width();
  const bool masked = RuleUsesMask(rule);
  const bool plain_copy = (rule == Rule::Rotate && p.alpha == 255 && !p.use_key);
  RowBuffers<T>& buf = Buffers<T>();
  buf.Reserve(static_cast<size_t>(width));
  for (int32_t y = plan.dest.top; y < plan.dest.bottom; ++y) {
    const int64_t j = y - plan.dest.top;
    const int64_t bx = plan.sx0 + j * plan.c, by = plan.sy0 + j * plan.e;
    const auto [x0, x1] = LinearSpan(bx, plan.a, plan.sx_min, plan.sx_max, width);
    const auto [y0, y1] = LinearSpan(by, plan.b, plan.sy_min, plan.sy_max, width);
    const int32_t first = std::max(x0, y0), last = std::min(x1, y1);
    if (first >= last) continue;
    const int n = last - first;
    T* d = reinterpret_cast<T*>(s.dst.Row(y)) + plan.dest.left + first;
    SampleRotatedRow<T>(s, plan, bx + first * int64_t{plan.a}, by + first * int64_t{plan.b}, n,
                        plain_copy ? d : buf.src.data(), masked ? buf.mask.data() : nullptr);
    if (!plain_copy) RunRow<R, T>(rule, p, d, buf.src.data(), buf.mask.data(), n);
  }
}

// --- fills ----------------------------------------------------------------------------------

inline void FillRows32(Rule rule, const RuleParams& p, const SurfaceRows& dst, const Rect& r) {
  const int n = r.Width();
  const u32v cv = Splat(p.colour);
  const Wide wv = SplatWide(static_cast<uint32_t>(p.alpha));
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint32_t* d = reinterpret_cast<uint32_t*>(dst.Row(y)) + r.left;
    int i = 0;
    switch (rule) {
      case Rule::Fill:
        std::fill(d, d + n, p.colour);
        break;
      case Rule::BlendFill:
        for (; i + kLanes <= n; i += kLanes) {
          const u32v dv = Load(d + i);
          Store(d + i, Select((u32v)(dv == cv), dv, BlendV(dv, cv, wv)));
        }
        for (; i < n; ++i) {
          if (d[i] != p.colour)
            d[i] = Packed888::Blend(d[i], p.colour, static_cast<uint32_t>(p.alpha));
        }
        break;
      case Rule::AddFill:
      case Rule::SubFill: {
        for (; i + kLanes <= n; i += kLanes) {
          const u32v dv = Load(d + i);
          const u32v t = rule == Rule::AddFill ? AddSaturated(dv, cv) : SubSaturated(dv, cv);
          Store(d + i, t & kChannels);
        }
        for (; i < n; ++i) {
          uint32_t out = 0;
          for (int sh = 0; sh < 24; sh += 8) {
            const int a = (d[i] >> sh) & 255, b = (p.colour >> sh) & 255;
            out |= static_cast<uint32_t>(rule == Rule::AddFill ? std::min(255, a + b)
                                                               : std::max(0, a - b))
                   << sh;
          }
          d[i] = out;
        }
        break;
      }
      default:
        break;
    }
  }
}

// --- kernel entry points --------------------------------------------------------------------

inline void FastDirect(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
                       const DirectBlit& plan) {
  switch (f.bit_count) {
    case 32:
      return DirectRows<Rows32, uint32_t>(rule, p, s, plan);
    case 16:
      return DirectRows<Rows16<11, 6>, uint16_t>(rule, p, s, plan);
    case 15:
      return DirectRows<Rows16<10, 5>, uint16_t>(rule, p, s, plan);
    default:
      return ReferenceKernels().direct(rule, p, f, s, plan);
  }
}

inline void FastScaled(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
                       const ScaledBlit& plan) {
  switch (f.bit_count) {
    case 32:
      return ScaledRows<Rows32, uint32_t>(rule, p, s, plan);
    case 16:
      return ScaledRows<Rows16<11, 6>, uint16_t>(rule, p, s, plan);
    case 15:
      return ScaledRows<Rows16<10, 5>, uint16_t>(rule, p, s, plan);
    default:
      return ReferenceKernels().scaled(rule, p, f, s, plan);
  }
}

inline void FastRotated(Rule rule, const RuleParams& p, const PixelFormat& f, const BlitSurfaces& s,
                        const RotatedBlit& plan) {
  switch (f.bit_count) {
    case 32:
      return RotatedRows<Rows32, uint32_t>(rule, p, s, plan);
    case 16:
      return RotatedRows<Rows16<11, 6>, uint16_t>(rule, p, s, plan);
    case 15:
      return RotatedRows<Rows16<10, 5>, uint16_t>(rule, p, s, plan);
    default:
      return ReferenceKernels().rotated(rule, p, f, s, plan);
  }
}

inline void FastFill(Rule rule, const RuleParams& p, const PixelFormat& f, const SurfaceRows& dst,
                     const Rect& r) {
  if (f.bit_count == 32) return FillRows32(rule, p, dst, r);
  return ReferenceKernels().fill(rule, p, f, dst, r);
}
