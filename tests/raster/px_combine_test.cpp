// Pixel combiners against plain transcriptions of their formulas, over every destination and source
// channel value and a spread of weights, and the selection of a combiner by mode.
#include "raster/px.h"
#include "raster/px_combine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

typedef long long ll;
enum Store
{
  Wrap,
  Sat
};

int Stored(ll v, Store st)
{
  if (st == Wrap)
    return (int)(v & 255);
  return (v & ~255LL) ? (v < 0 ? 0 : 255) : (int)v;
}

const int kWeights[] = {-256, -255, -129, -128, -1,  0,   1,   2,   63,  64,  65,
                        127,  128,  129,  191,  192, 200, 255, 256, 257, 299, 300};

// Each destination channel runs through every value as d does, each source channel as s does.
void DestBytes(int d, PX_pixel_chan out[4])
{
  out[PX_PIXEL_B] = (PX_pixel_chan)d;
  out[PX_PIXEL_G] = (PX_pixel_chan)(255 - d);
  out[PX_PIXEL_R] = (PX_pixel_chan)((d * 3 + 7) & 255);
  out[PX_PIXEL_A] = (PX_pixel_chan)((d * 11 + 5) & 255);
}
void SourceChannels(int s, int* r, int* g, int* b, int* a)
{
  *b = s;
  *g = (s * 5 + 1) & 255;
  *r = 255 - s;
  *a = (s * 13 + 9) & 255;
}

// A combiner and its transcription; the reference answers nullopt when the whole pixel stays
// untouched. alphaChannel tells the source-alpha copies which channel they compute.
struct Combiner
{
  const char* name;
  PX_COMBINEFUNC doPix;
  std::optional<ll> (*ref)(ll d, ll s, ll a, ll w, bool alphaChannel);
  Store store;
};

// Applies c to one pixel (destination made from d) and compares all four channels.
void CheckPixel(const Combiner& c, int d, const int src[4], int w, int* failures)
{
  static const int offs[4] = {PX_PIXEL_R, PX_PIXEL_G, PX_PIXEL_B, PX_PIXEL_A};
  PX_pixel_chan before[4], px[4];
  DestBytes(d, before);
  DestBytes(d, px);
  c.doPix(px, src[0], src[1], src[2], src[3], w);
  for (int ch = 0; ch < 4; ++ch)
  {
    const auto r = c.ref(before[offs[ch]], src[ch], src[3], w, ch == 3);
    const int want = r ? Stored(*r, c.store) : before[offs[ch]];
    if (px[offs[ch]] != want && ++*failures <= 5)
      ADD_FAILURE() << c.name << " w=" << w << " a=" << src[3] << " d=" << (int)before[offs[ch]]
                    << " s=" << src[ch] << " channel " << ch << ": got " << (int)px[offs[ch]]
                    << " want " << want;
  }
}

ll RefCopy(ll d, ll s, ll w) { return s + (d - s) * (256 - w) / 256; }
ll RefClobber(ll, ll s, ll) { return s; }
ll RefAdd(ll d, ll s, ll w) { return d + s * w / 256; }
ll RefMul(ll d, ll s, ll w) { return d * ((256 - w) * 256 + s * w) / 65536; }
ll RefOverlay(ll d, ll s, ll w)
{
  const ll m = (256 - w) * 128 + s * w;
  ll t = (32768 - m) * d;
  t /= 256;
  t += m;
  t *= d;
  return t / 32768;
}
ll RefColorDodge(ll d, ll s, ll w)
{
  const ll q = 256 - s * w / 256;
  return q > 1 ? d * 256 / q : d * 256;
}
ll RefHalfMix(ll d, ll s, ll) { return (d + s) / 2; }

template <ll (*F)(ll, ll, ll)>
std::optional<ll> Plain(ll d, ll s, ll, ll w, bool)
{
  return F(d, s, w);
}

TEST(PixelCombiners, ChannelFormulasHoldForEveryChannelPairAndWeight)
{
  const Combiner table[] = {
    {"CopyNoClamp", pxi_CombinePixelsCopyNoClamp::doPix, Plain<RefCopy>, Wrap},
    {"CopyClamp", pxi_CombinePixelsCopyClamp::doPix, Plain<RefCopy>, Sat},
    {"ClobberNoClamp", pxi_CombinePixelsClobberNoClamp::doPix, Plain<RefClobber>, Wrap},
    {"ClobberClamp", pxi_CombinePixelsClobberClamp::doPix, Plain<RefClobber>, Sat},
    {"Add", pxi_CombinePixelsAdd::doPix, Plain<RefAdd>, Sat},
    {"MulNoClamp", pxi_CombinePixelsMulNoClamp::doPix, Plain<RefMul>, Wrap},
    {"MulClamp", pxi_CombinePixelsMulClamp::doPix, Plain<RefMul>, Sat},
    {"Overlay", pxi_CombinePixelsOverlay::doPix, Plain<RefOverlay>, Sat},
    {"ColorDodge", pxi_CombinePixelsColorDodge::doPix, Plain<RefColorDodge>, Sat},
    {"HalfMixNoClamp", pxi_CombinePixelsHalfMixNoClamp::doPix, Plain<RefHalfMix>, Wrap},
  };
  for (const auto& c : table)
  {
    int failures = 0;
    for (int w : kWeights)
      for (int d = 0; d < 256; ++d)
        for (int s = 0; s < 256; ++s)
        {
          int src[4];
          SourceChannels(s, &src[0], &src[1], &src[2], &src[3]);
          CheckPixel(c, d, src, w, &failures);
        }
    EXPECT_EQ(failures, 0) << c.name;
  }
}

// Source-alpha combiners weigh by w' = (a + 1) * w / 256.
ll SaWeight(ll a, ll w) { return (a + 1) * w / 256; }

template <ll (*F)(ll, ll, ll), bool TestsZero>
std::optional<ll> RefWeighted(ll d, ll s, ll a, ll w, bool)
{
  if (TestsZero && a == 0)
    return std::nullopt;
  return F(d, s, SaWeight(a, w));
}

std::optional<ll> RefCopySaWrap(ll d, ll s, ll a, ll w, bool alphaChannel)
{
  if (a == 0)
    return std::nullopt;
  const ll wp = SaWeight(a, w);
  if (alphaChannel)
    return d + wp < 255 ? d + wp : 255;
  return s + (d - s) * (256 - wp) / 256;
}
std::optional<ll> RefCopySaSat(ll d, ll s, ll a, ll w, bool alphaChannel)
{
  if (a == 0)
    return std::nullopt;
  const ll wp = SaWeight(a, w);
  if (alphaChannel)
    return d + wp;
  return s + (d - s) * (256 - wp) / 256;
}
std::optional<ll> RefIgnoreParmWrap(ll d, ll s, ll a, ll, bool alphaChannel)
{
  if (a == 0)
    return std::nullopt;
  if (a == 255)
    return alphaChannel ? 255 : s;
  if (alphaChannel)
    return d + a < 255 ? d + a : 255;
  return s + (d - s) * (255 - a) / 256;
}
std::optional<ll> RefIgnoreParmSat(ll d, ll s, ll a, ll, bool alphaChannel)
{
  if (a == 0)
    return std::nullopt;
  if (a == 255)
    return alphaChannel ? 255 : s;
  if (alphaChannel)
    return d + a;
  return s + (d - s) * (255 - a) / 256;
}

TEST(PixelCombiners, SourceAlphaFormulasHoldForEveryAlphaAndDestination)
{
  const Combiner table[] = {
    {"AddSourceAlpha", pxi_CombinePixelsAddSourceAlpha::doPix, RefWeighted<RefAdd, true>, Sat},
    {"MulSourceAlphaNoClamp", pxi_CombinePixelsMulSourceAlphaNoClamp::doPix,
     RefWeighted<RefMul, true>, Wrap},
    {"MulSourceAlphaClamp", pxi_CombinePixelsMulSourceAlphaClamp::doPix, RefWeighted<RefMul, true>,
     Sat},
    {"OverlaySourceAlpha", pxi_CombinePixelsOverlaySourceAlpha::doPix,
     RefWeighted<RefOverlay, false>, Sat},
    {"ColorDodgeSourceAlpha", pxi_CombinePixelsColorDodgeSourceAlpha::doPix,
     RefWeighted<RefColorDodge, false>, Sat},
    {"CopySourceAlphaNoClamp", pxi_CombinePixelsCopySourceAlphaNoClamp::doPix, RefCopySaWrap, Wrap},
    {"CopySourceAlphaClamp", pxi_CombinePixelsCopySourceAlphaClamp::doPix, RefCopySaSat, Sat},
    {"CopySourceAlphaIgnoreAlphaParmNoClamp",
     pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp::doPix, RefIgnoreParmWrap, Wrap},
    {"CopySourceAlphaIgnoreAlphaParmClamp",
     pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp::doPix, RefIgnoreParmSat, Sat},
  };
  const int weights[] = {-256, -1, 1, 64, 128, 129, 255, 256, 300};
  const int svals[] = {0, 77, 200, 255};
  for (const auto& c : table)
  {
    int failures = 0;
    for (int w : weights)
      for (int a = 0; a < 256; ++a)
        for (int d = 0; d < 256; ++d)
          for (int s : svals)
          {
            const int src[4] = {s, 255 - s, (s * 7 + 3) & 255, a};
            CheckPixel(c, d, src, w, &failures);
          }
    EXPECT_EQ(failures, 0) << c.name;
  }
}

// Integer HSV, transcribed.
int Inv(int i) { return i ? 65536 / i - 1 : 0; }

void RefRGB2HSV(int r, int g, int b, int* h, int* s, int* v)
{
  int max, base, min, diff;
  if (r < g && b < g)
  {
    max = g, base = 128, min = r < b ? r : b, diff = b - r;
  }
  else if (r < g)
  {
    max = b, base = 256, min = r < g ? r : g, diff = r - g;
  }
  else if (b < r && g < b)
  {
    max = r, base = 383, min = g, diff = g - b;
  }
  else if (b < r)
  {
    max = r, base = 0, min = b, diff = g - b;
  }
  else
  {
    max = b, base = 256, min = r < g ? r : g, diff = r - g;
  }
  const int delta = max - min;
  *h = (Inv(delta) + 1) * diff / 1024 + base;
  *s = Inv(max) * delta / 256;
  *v = max;
}

PX_pixel RefHSV2Pix(ll h, ll s, ll v, ll alpha)
{
  const ll P = (256 - s) * v / 256;
  auto Q = [&](ll k) { return (k * s + 16384) * v / 16384; };
  ll r, g, b;
  if (h < 64)
    r = v, g = Q(h - 64), b = P;
  else if (h < 128)
    r = Q(64 - h), g = v, b = P;
  else if (h < 192)
    r = P, g = v, b = Q(h - 192);
  else if (h < 256)
    r = P, g = Q(192 - h), b = v;
  else if (h < 320)
    r = Q(h - 320), g = P, b = v;
  else
    r = v, g = P, b = Q(320 - h);
  return (PX_pixel)(((alpha & 255) << 24) | ((r & 255) << 16) | ((g & 255) << 8) | (b & 255));
}

TEST(PixelCombiners, RGB2HSVMatchesItsDefinitionForEveryColour)
{
  int failures = 0;
  for (int c = 0; c < (1 << 24); ++c)
  {
    const int r = c >> 16, g = (c >> 8) & 255, b = c & 255;
    int h, s, v, rh, rs, rv;
    pxi_RGB2HSV(r, g, b, &h, &s, &v);
    RefRGB2HSV(r, g, b, &rh, &rs, &rv);
    if ((h != rh || s != rs || v != rv) && ++failures <= 5)
      ADD_FAILURE() << "rgb " << r << "," << g << "," << b << ": " << h << "," << s << "," << v
                    << " want " << rh << "," << rs << "," << rv;
  }
  EXPECT_EQ(failures, 0);
}

void HSVAdjustRef(PX_pixel_chan* px, int r, int g, int b, int a, ll w)
{
  int h0, s0, v0;
  RefRGB2HSV(px[PX_PIXEL_R], px[PX_PIXEL_G], px[PX_PIXEL_B], &h0, &s0, &v0);
  ll h = h0 + (r + r / 2 - 192) * w / 256;
  if (h < 0)
    h += 384;
  else if (h > 383)
    h -= 384;
  ll s = s0 + (g - 128) * w / 128;
  s = s < 0 ? 0 : s > 255 ? 255 : s;
  ll v = v0 + (b - 128) * w / 128;
  v = v < 0 ? 0 : v > 255 ? 255 : v;
  const PX_pixel p = RefHSV2Pix(h, s, v, a);
  for (int i = 0; i < 4; ++i)
    px[i] = (PX_pixel_chan)(p >> (8 * i));
}

TEST(PixelCombiners, HSVAdjustShiftsHueSaturationValueAndTakesSourceAlpha)
{
  const int srcvals[] = {0, 1, 64, 127, 128, 129, 200, 255};
  const int weights[] = {-256, -1, 1, 128, 256, 300};
  int failures = 0;
  uint32_t seed = 12345;
  for (int i = 0; i < 416; ++i)
  {
    PX_pixel dest;
    if (i < 216)
    {
      dest = PX_RGBA((i / 36) * 51, (i / 6 % 6) * 51, (i % 6) * 51, i);
    }
    else
    {
      seed = seed * 1664525u + 1013904223u;
      dest = seed;
    }
    for (int r : srcvals)
      for (int g : srcvals)
        for (int b : srcvals)
          for (int w : weights)
            for (int sa = 0; sa < 2; ++sa)
            {
              const int a = sa ? 255 : 40;
              PX_pixel got = dest, want = dest;
              if (sa)
              {
                pxi_CombinePixelsHSVAdjustSourceAlpha::doPix((PX_pixel_chan*)&got, r, g, b, a, w);
                HSVAdjustRef((PX_pixel_chan*)&want, r, g, b, a, ((ll)a + 1) * w / 256);
              }
              else
              {
                pxi_CombinePixelsHSVAdjust::doPix((PX_pixel_chan*)&got, r, g, b, a, w);
                HSVAdjustRef((PX_pixel_chan*)&want, r, g, b, a, w);
              }
              if (got != want && ++failures <= 5)
                ADD_FAILURE() << std::hex << "dest " << dest << std::dec << " src " << r << "," << g
                              << "," << b << "," << a << " w=" << w << std::hex << ": " << got
                              << " want " << want;
            }
  }
  EXPECT_EQ(failures, 0);
}

// Whole-word mixes: each lane keeps its own truncated share, with no carry into the next lane.
TEST(PixelCombiners, WholePixelMixesDropEachLanesLowBitsWithoutCarry)
{
  for (PX_pixel d = 0; d < 256; ++d)
    for (PX_pixel s = 0; s < 256; ++s)
    {
      const PX_pixel dw = 0x01010101u * d, sw = 0x01010101u * s;
      PX_pixel half = dw, half2 = dw, quarter = dw, three = dw;
      pxi_CombinePixelsHalfMixFAST::doPixFAST(&half, sw);
      pxi_CombinePixelsHalfMix2FAST::doPixFAST(&half2, (sw >> 1) & 0x7F7F7F7Fu);
      pxi_CombinePixelsQuarterMix2FAST::doPixFAST(&quarter, (sw >> 2) & 0x3F3F3F3Fu);
      pxi_CombinePixelsThreeQuarterMix2FAST::doPixFAST(&three, ((sw >> 1) & 0x7F7F7F7Fu) +
                                                                 ((sw >> 2) & 0x3F3F3F3Fu));
      ASSERT_EQ(half, 0x01010101u * ((d >> 1) + (s >> 1))) << d << " " << s;
      ASSERT_EQ(half2, half);
      ASSERT_EQ(quarter, 0x01010101u * ((d >> 1) + (d >> 2) + (s >> 2))) << d << " " << s;
      ASSERT_EQ(three, 0x01010101u * ((d >> 2) + (s >> 1) + (s >> 2))) << d << " " << s;
    }
}

// PX_CombinePixels against the combiner its table names.
TEST(PixelCombiners, ModeSelectsTheCombinerOfTheTable)
{
  const PX_pixel dest = 0x80C04020u, src = 0x7F10E0A0u;
  auto apply = [&](PX_COMBINEFUNC f, int w) {
    PX_pixel p = dest;
    if (f)
      f((PX_pixel_chan*)&p, PX_GETR(src), PX_GETG(src), PX_GETB(src), PX_GETA(src), w);
    return p;
  };
  struct Case
  {
    int mode;
    float alpha;
    PX_COMBINEFUNC expected;  // null: unchanged
  } cases[] = {
    {PX_MODE_COPY, 1.0f, pxi_CombinePixelsClobberNoClamp::doPix},
    {PX_MODE_COPY, 0.3f, pxi_CombinePixelsCopyNoClamp::doPix},
    {PX_MODE_COPY, -0.5f, nullptr},
    {PX_MODE_COPY, 0.001f, nullptr},
    {PX_MODE_COPY | PX_FILTER_BILINEAR, 0.3f, pxi_CombinePixelsCopyNoClamp::doPix},
    {PX_MODE_ADD | 0x20000, 0.7f, pxi_CombinePixelsAdd::doPix},
    {PX_MODE_ADD, -0.7f, pxi_CombinePixelsAdd::doPix},
    {PX_MODE_COLORDODGE, 0.7f, pxi_CombinePixelsColorDodge::doPix},
    {PX_MODE_MUL, 0.7f, pxi_CombinePixelsMulNoClamp::doPix},
    {PX_MODE_OVERLAY, 0.7f, pxi_CombinePixelsOverlay::doPix},
    {PX_MODE_HSVADJUST, 0.7f, pxi_CombinePixelsHSVAdjust::doPix},
    {6, 0.7f, nullptr},
    {0xEF, 0.7f, nullptr},
    {PX_MODE_CHANNELCOPY, 0.7f, nullptr},
    {PX_MODE_SOURCEALPHA, 1.0f, pxi_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp::doPix},
    {PX_MODE_SOURCEALPHA, 0.7f, pxi_CombinePixelsCopySourceAlphaNoClamp::doPix},
    {PX_MODE_SOURCEALPHA | PX_MODE_ADD, 0.7f, pxi_CombinePixelsAddSourceAlpha::doPix},
    {PX_MODE_SOURCEALPHA | PX_MODE_COLORDODGE, 0.7f, pxi_CombinePixelsColorDodgeSourceAlpha::doPix},
    {PX_MODE_SOURCEALPHA | PX_MODE_MUL, 0.7f, pxi_CombinePixelsMulSourceAlphaNoClamp::doPix},
    {PX_MODE_SOURCEALPHA | PX_MODE_OVERLAY, 0.7f, pxi_CombinePixelsOverlaySourceAlpha::doPix},
    {PX_MODE_SOURCEALPHA | PX_MODE_HSVADJUST, 0.7f, pxi_CombinePixelsHSVAdjustSourceAlpha::doPix},
    {PX_MODE_SOURCEALPHA | 6, 0.7f, nullptr},
  };
  for (const auto& c : cases)
  {
    const int w = (int)(c.alpha * 256.0f);
    EXPECT_EQ(PX_CombinePixels(dest, src, c.alpha, c.mode), apply(c.expected, w))
      << "mode 0x" << std::hex << c.mode << " alpha " << c.alpha;
    PX_pixel p = dest;
    PX_CombinePixels2(&p, PX_GETR(src), PX_GETG(src), PX_GETB(src), PX_GETA(src), w, c.mode);
    EXPECT_EQ(p, apply(c.expected, w)) << "2: mode 0x" << std::hex << c.mode;
  }
  // The saturating table differs where the wrapping one wraps.
  PX_pixel p = dest;
  PX_CombinePixels2Clamp(&p, 300, -20, 128, 255, 256, PX_MODE_COPY);
  EXPECT_EQ(p, 0xFFFF0080u);
  p = dest;
  PX_CombinePixels2(&p, 300, -20, 128, 255, 256, PX_MODE_COPY);
  EXPECT_EQ(p, 0xFF2CEC80u);
}

TEST(PixelCombiners, UnusableArgumentsLeaveThePixelUnchanged)
{
  const PX_pixel dest = 0x12345678u;
  const float alphas[] = {NAN, INFINITY, -INFINITY, 1e30f, 70000.0f};
  for (float a : alphas)
    EXPECT_EQ(PX_CombinePixels(dest, 0xFFFFFFFFu, a, PX_MODE_ADD), dest) << a;
  struct Case
  {
    int r, g, b, a, w;
  } cases[] = {{40000, 0, 0, 255, 256},
               {0, -40000, 0, 255, 256},
               {0, 0, 0, 1 << 30, 256},
               {255, 255, 255, 255, 1 << 20},
               {255, 255, 255, 255, INT32_MIN}};
  for (const auto& c : cases)
  {
    PX_pixel p = dest;
    PX_CombinePixels2Clamp(&p, c.r, c.g, c.b, c.a, c.w, PX_MODE_SOURCEALPHA | PX_MODE_OVERLAY);
    EXPECT_EQ(p, dest);
    PX_CombinePixels2(&p, c.r, c.g, c.b, c.a, c.w, PX_MODE_MUL);
    EXPECT_EQ(p, dest);
  }
  PX_CombinePixels2(nullptr, 1, 2, 3, 4, 256, PX_MODE_COPY);
}

}  // namespace
