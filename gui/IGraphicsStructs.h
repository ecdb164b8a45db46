#pragma once
// The small value types the drawing surface, the controls and the editor layout hand each other:
// rectangles, colours, text styles, bitmap handles, blend descriptions and mouse modifiers. All
// are plain values, copied member-wise; none owns memory.
//
// Portable: nothing here names a window system type (the raster library's types are only
// declared, so including this pulls in no platform header).

#include <cstdint>

class PX_IBitmap;
class PX_IFont;

static const int FONT_LEN = 32;  // face names, terminator included
static const char* const DEFAULT_FONT = "Verdana";
static const int DEFAULT_TEXT_SIZE = 12;
static const double DEFAULT_GEARING = 4.0;  // knob travel: the control's height times this
static const float GRAYED_ALPHA = 0.25f;    // blend weight of a grayed-out control

enum EDirection
{
  kVertical = 0,
  kHorizontal = 1
};

// What a file dialog is for.
enum EFileAction
{
  kFileOpen = 0,
  kFileSave = 1
};

// A bitmap of the cache with its frames: frame k (from 1) of a stacked bitmap is the k-th band of
// H / N rows, of a side-by-side one the k-th band of W / N columns. mData belongs to the bitmap
// cache, never to the handle; null when the bitmap could not be loaded (it then draws nothing).
struct IBitmap
{
  PX_IBitmap* mData;
  int W;
  int H;
  int N;
  bool mFramesAreHorizontal;

  IBitmap(PX_IBitmap* pData = nullptr, int w = 0, int h = 0, int n = 1,
          bool framesAreHorizontal = false)
    : mData(pData)
    , W(w)
    , H(h)
    , N(n)
    , mFramesAreHorizontal(framesAreHorizontal)
  {}

  // The frame count to divide by: a count below 1 counts as one frame.
  int Frames() const { return N < 1 ? 1 : N; }
};

// An integer rectangle, right and bottom excluded. All zero is the empty rectangle.
//
// Careful: Intersects counts touching edges on one side only (this right edge on the other's left
// edge intersects, the mirror case does not); the surface's redraw bookkeeping relies on exactly
// that rule.
struct IRECT
{
  int L, T, R, B;

  IRECT()
    : L(0)
    , T(0)
    , R(0)
    , B(0)
  {}
  IRECT(int l, int t, int r, int b)
    : L(l)
    , T(t)
    , R(r)
    , B(b)
  {}
  // One frame of a stacked bitmap placed at (x, y): the whole width, H / N rows.
  IRECT(int x, int y, const IBitmap* pBitmap)
    : L(x)
    , T(y)
    , R(x + pBitmap->W)
    , B(y + pBitmap->H / pBitmap->Frames())
  {}

  bool Empty() const { return !L && !T && !R && !B; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * (float)(L + R); }
  float MH() const { return 0.5f * (float)(T + B); }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  bool Intersects(const IRECT* pRHS) const
  {
    return !Empty() && !pRHS->Empty() && R >= pRHS->L && L < pRHS->R && B >= pRHS->T && T < pRHS->B;
  }
  IRECT Intersect(const IRECT* pRHS) const
  {
    if (!Intersects(pRHS))
      return IRECT();
    return IRECT(L > pRHS->L ? L : pRHS->L, T > pRHS->T ? T : pRHS->T, R < pRHS->R ? R : pRHS->R,
                 B < pRHS->B ? B : pRHS->B);
  }
  IRECT Union(const IRECT* pRHS) const
  {
    if (Empty())
      return *pRHS;
    if (pRHS->Empty())
      return *this;
    return IRECT(L < pRHS->L ? L : pRHS->L, T < pRHS->T ? T : pRHS->T, R > pRHS->R ? R : pRHS->R,
                 B > pRHS->B ? B : pRHS->B);
  }
  bool operator==(const IRECT& rhs) const
  {
    return L == rhs.L && T == rhs.T && R == rhs.R && B == rhs.B;
  }
  bool operator!=(const IRECT& rhs) const { return !(*this == rhs); }
};

// A colour, each channel meant to lie in 0..255 (not clamped).
struct IColor
{
  int A, R, G, B;
  constexpr IColor(int a = 255, int r = 0, int g = 0, int b = 0)
    : A(a)
    , R(r)
    , G(g)
    , B(b)
  {}
  bool operator==(const IColor& rhs) const
  {
    return A == rhs.A && R == rhs.R && G == rhs.G && B == rhs.B;
  }
};

constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
constexpr IColor COLOR_BLACK(255, 0, 0, 0);
constexpr IColor COLOR_GRAY(255, 127, 127, 127);
constexpr IColor COLOR_WHITE(255, 255, 255, 255);
constexpr IColor COLOR_RED(255, 255, 0, 0);
constexpr IColor COLOR_GREEN(255, 0, 255, 0);
constexpr IColor COLOR_BLUE(255, 0, 0, 255);
constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// A text style. The face is copied with bounds (at most FONT_LEN - 1 characters, always
// terminated). mCached is the font the font cache found or made for this style; the cache owns it.
struct IText
{
  enum EStyle
  {
    kStyleNormal = 0,
    kStyleBold = 1,
    kStyleItalic = 2
  };
  enum EAlign
  {
    kAlignNear = 0,
    kAlignCenter = 1,
    kAlignFar = 2
  };
  enum EQuality
  {
    kQualityDefault = 0,
    kQualityNonAntiAliased = 1,
    kQualityAntiAliased = 2,
    kQualityClearType = 3
  };

  char mFont[FONT_LEN];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees
  EQuality mQuality;
  PX_IFont* mCached;

  // Null colours and face select the defaults.
  IText(int size = DEFAULT_TEXT_SIZE, const IColor* pColor = nullptr, const char* font = nullptr,
        EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
        EQuality quality = kQualityDefault, const IColor* pTextEntryBGColor = nullptr,
        const IColor* pTextEntryFGColor = nullptr);
};

// How a control's bitmaps and fills are combined with what lies beneath.
struct IChannelBlend
{
  enum EBlendMethod
  {
    kBlendNone = 0,
    kBlendClobber = 1,
    kBlendAdd = 2,
    kBlendColorDodge = 3
  };
  EBlendMethod mMethod;
  float mWeight;

  IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f)
    : mMethod(method)
    , mWeight(weight)
  {}
};

// Mouse buttons and modifier keys held during a mouse event.
struct IMouseMod
{
  bool L, R, S, C, A;
  IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
    : L(l)
    , R(r)
    , S(s)
    , C(c)
    , A(a)
  {}
};

// The raster library's terms for a blend and a colour. A null blend copies through the source
// alpha at full weight.
int PxBlendMode(const IChannelBlend* pBlend);
float PxWeight(const IChannelBlend* pBlend);
uint32_t PxColor(const IColor* pColor);  // a PX_PixelWord, 0xAARRGGBB
