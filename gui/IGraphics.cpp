// The surface's control list, values from the plug-in and the redraw bookkeeping.
#include "gui/IGraphics.h"

#include "framework/PluginBase.h"
#include "gui/IBitmapControl.h"
#include "gui/IPlainControls.h"
#include "raster/px.h"

#include <vector>

namespace {
// Timer ticks without a dirty control after which the controls' idle hooks run.
const int kIdleTicksBeforeHook = 20;
}  // namespace

IGraphics::IGraphics(PluginBase* pPlug, int w, int h, int fps)
  : mControls(4096)
  , mPlug(pPlug)
  , mDrawRECT()
  , mCursorHidden(false)
  , mHiddenCursorX(-1)
  , mHiddenCursorY(-1)
  , mDrawBitmap(nullptr)
  , mTmpBitmap(nullptr)
  , mWidth(w)
  , mHeight(h)
  , mFPS(fps < 1 ? 25 : fps)
  , mIdleTicks(0)
  , mMouseCapture(-1)
  , mMouseOver(-1)
  , mMouseX(0)
  , mMouseY(0)
  , mLastClickedParam(-1)
  , mHandleMouseOver(false)
  , mStrict(true)
  , mKeyCatcher(nullptr)
  , mEditParamIdx(-1)
  , mInGesture(false)
  , mPrompted(false)
  , mClientW(-1)
  , mClientH(-1)
{}

IGraphics::~IGraphics()
{
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  mControls.Empty(true);
  delete mDrawBitmap;
  delete mTmpBitmap;
}

void IGraphics::PrepDraw()
{
  delete mDrawBitmap;
  delete mTmpBitmap;
  mDrawBitmap = new PX_SysBitmap(Width(), Height());
  mTmpBitmap = new PX_MemBitmap(0, 0, 4);
}

uint32_t* IGraphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }

IColor IGraphics::GetPoint(int x, int y)
{
  const PX_pixel p = mDrawBitmap ? PX_GetPixel(mDrawBitmap, x, y) : 0;
  return IColor(PX_GETA(p), PX_GETR(p), PX_GETG(p), PX_GETB(p));
}

void IGraphics::Resize(int w, int h)
{
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mControls.Empty(true);
  mBindings.clear();
  PrepDraw();
  if (mPlug)
    mPlug->ResizeGraphics(w, h);
}

// ---- Controls -----------------------------------------------------------------------------------

int IGraphics::AttachControl(IControl* pControl)
{
  mControls.Add(pControl);
  Bind(pControl);
  return mControls.GetSize() - 1;
}

void IGraphics::InsertControl(int idx, IControl* pControl)
{
  if (!mControls.Insert(idx, pControl))
  {
    delete pControl;  // the list could not grow: nothing attached, nothing leaked
    return;
  }
  // The bindings hold controls, not indices: only a bound control changes their order.
  if (pControl->ParamIdx() >= 0 || pControl->NAuxParams())
    RebindAll();
}

void IGraphics::AttachBackground(int id, const char* name)
{
  IBitmap bg = LoadIBitmap(id, name, 1, false);
  InsertControl(0, new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendClobber));
}

// Main value first, then the first auxiliary parameter of each index, as a change hands them on.
void IGraphics::Bind(IControl* pControl)
{
  auto add = [this, pControl](int paramIdx, int aux) {
    if (paramIdx < 0)
      return;
    if ((size_t)paramIdx >= mBindings.size())
      mBindings.resize((size_t)paramIdx + 1);
    mBindings[(size_t)paramIdx].push_back(Binding{pControl, aux});
  };
  add(pControl->ParamIdx(), -1);
  for (int a = 0, n = pControl->NAuxParams(); a < n; ++a)
  {
    const int paramIdx = pControl->GetAuxParam(a)->mParamIdx;
    if (pControl->AuxParamIdx(paramIdx) == a)
      add(paramIdx, a);
  }
}

void IGraphics::RebindAll()
{
  mBindings.clear();
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    Bind(mControls.Get(i));
}

void IGraphics::AttachPanelBackground(const IColor* pColor)
{
  InsertControl(0, new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), pColor));
}

void IGraphics::AttachKeyCatcher(IControl* pControl)
{
  if (mKeyCatcher != pControl)
    delete mKeyCatcher;
  mKeyCatcher = pControl;
}

void IGraphics::HideControl(int paramIdx, bool hide)
{
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx)
      mControls.Get(i)->Hide(hide);
}

void IGraphics::GrayOutControl(int paramIdx, bool gray)
{
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx)
      mControls.Get(i)->GrayOut(gray);
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized)
{
  if (!normalized)
  {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam)
      return;
    lo = pParam->GetNormalized(lo);
    hi = pParam->GetNormalized(hi);
  }
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    if (mControls.Get(i)->ParamIdx() == paramIdx)
      mControls.Get(i)->Clamp(lo, hi);
}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam)
      return;
    value = pParam->GetNormalized(value);
  }
  ShowParameter(paramIdx, value, nullptr);
}

void IGraphics::ShowParameter(int paramIdx, double value, const IControl* pExcept)
{
  if (paramIdx < 0 || (size_t)paramIdx >= mBindings.size())
    return;
  for (const Binding& b : mBindings[(size_t)paramIdx])
  {
    if (b.pControl == pExcept)
      continue;
    if (b.aux < 0)
      b.pControl->SetValueFromPlug(value);
    else
      b.pControl->SetAuxParamValueFromPlug(b.aux, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue)
{
  if (IControl* pControl = mControls.Get(controlIdx))
    pControl->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetAllControlsDirty()
{
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    mControls.Get(i)->SetDirty(false);
}

// ---- Redrawing ----------------------------------------------------------------------------------

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

bool IGraphics::IsDirty(IRECT* pR)
{
  bool dirty = false;
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
  {
    IControl* pControl = mControls.Get(i);
    if (pControl->IsDirty())
    {
      *pR = pR->Union(pControl->GetRECT());
      dirty = true;
    }
  }
  if (dirty)
  {
    mIdleTicks = 0;
    return true;
  }
  if (++mIdleTicks > kIdleTicksBeforeHook)
  {
    OnGUIIdle();
    mIdleTicks = 0;
  }
  return false;
}

// Intersects is not symmetric: strict drawing asks whether the redraw rectangle meets the
// control, the per-control redraw whether the control meets the dirty one.
void IGraphics::DrawControl(int i, bool force)
{
  IControl* pControl = mControls.Get(i);
  if (pControl->IsHidden())
    return;
  const bool meets = mStrict ? mDrawRECT.Intersects(pControl->GetRECT())
                             : pControl->GetRECT()->Intersects(&mDrawRECT);
  if (force || meets)
    pControl->Draw(this);
}

namespace {
// Whether a redraw of r repaints all of control rectangle c that a client area of w x h shows.
bool Covers(const IRECT* pR, const IRECT* pC, int w, int h)
{
  const int l = pC->L > 0 ? pC->L : 0, t = pC->T > 0 ? pC->T : 0;
  const int r = pC->R < w ? pC->R : w, b = pC->B < h ? pC->B : h;
  if (l >= r || t >= b)
    return true;  // nothing of it shows
  return pR->L <= l && pR->T <= t && r <= pR->R && b <= pR->B;
}
}  // namespace

bool IGraphics::Redrawn(const IRECT* pR, IControl* pControl) const
{
  return Covers(pR, pControl->GetRECT(), mClientW < 0 ? mWidth : mClientW,
                mClientH < 0 ? mHeight : mClientH);
}

// Only what a redraw wholly repainted is marked clean: a paint of part of the window (the window
// was uncovered, say) must not swallow a change elsewhere that the next timer tick would show.
bool IGraphics::Draw(IRECT* pR)
{
  const int n = mControls.GetSize();
  if (!n)
    return true;
  if (mStrict)
  {
    mDrawRECT = *pR;
    for (int i = 0; i < n; ++i)
      DrawControl(i, false);
    for (int i = 0; i < n; ++i)
    {
      IControl* pControl = mControls.Get(i);
      if (Redrawn(pR, pControl))
        pControl->SetClean();
    }
  }
  else if (mControls.Get(0)->IsDirty() && Redrawn(pR, mControls.Get(0)))
  {
    // The background repaints everything: every visible control draws over it.
    mDrawRECT = *mControls.Get(0)->GetRECT();
    for (int i = 0; i < n; ++i)
    {
      IControl* pControl = mControls.Get(i);
      if (i == 0 || !pControl->IsHidden())
      {
        pControl->Draw(this);
        pControl->SetClean();
      }
    }
  }
  else
  {
    // Each dirty control inside the redraw, with whatever it overlaps.
    for (int i = 1; i < n; ++i)
    {
      IControl* pDirty = mControls.Get(i);
      if (!pDirty->IsDirty() || !Redrawn(pR, pDirty))
        continue;
      mDrawRECT = *pDirty->GetRECT();
      for (int j = 0; j < n; ++j)
        DrawControl(j, j == i);
      pDirty->SetClean();
    }
  }
  return DrawScreen(pR);
}

void IGraphics::OnGUIIdle()
{
  for (int i = 0, n = mControls.GetSize(); i < n; ++i)
    mControls.Get(i)->OnGUIIdle();
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y)
{
  const int c = GetMouseControlIdx(x, y, false);
  mLastClickedParam = c > 0 ? mControls.Get(c)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation()
{
  const int p = mLastClickedParam;
  mLastClickedParam = -1;
  return p;
}
