#include "gui/IRadioButtonsControl.h"

#include "gui/IGraphics.h"

IRadioButtonsControl::IRadioButtonsControl(PluginBase* pPlug, IRECT rect, int paramIdx,
                                           int nButtons, IBitmap* pBitmap, EDirection direction,
                                           bool reverse)
  : IControl(pPlug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendNone))
  , mRECTs(4096)
  , mBitmap(*pBitmap)
{
  const int n = nButtons > 0 ? nButtons : 0;
  const int w = pBitmap->W;
  const int h = (int)((double)pBitmap->H / (double)pBitmap->Frames());
  const bool horizontal = direction == kHorizontal;
  const int size = horizontal ? w : h;
  // With one button there is no gap to share out.
  const double room = (double)(horizontal ? rect.W() : rect.H()) - (double)n * size;
  const int gap = n > 1 ? (int)(room / (double)(n - 1)) : 0;
  const int step = reverse ? -(gap + size) : gap + size;
  int x = reverse && horizontal ? rect.R - w : rect.L;
  int y = reverse && !horizontal ? rect.B - h : rect.T;
  for (int i = 0; i < n; ++i)
  {
    mRECTs.Add(IRECT(x, y, x + w, y + h));
    (horizontal ? x : y) += step;
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod)
{
  if (pMod && pMod->R)
  {
    PromptUserInput();
    return;
  }
  const int n = NButtons();
  for (int i = 0; i < n; ++i)
  {
    if (GetButtonRECT(i).Contains(x, y))
    {
      mValue = n > 1 ? (double)i / (double)(n - 1) : 0.0;
      break;
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* pGraphics)
{
  const int n = NButtons();
  const int active = n > 1 ? (int)(0.5 + ClampUnit(mValue) * (double)(n - 1)) : 0;
  for (int i = 0; i < n; ++i)
  {
    IRECT r = GetButtonRECT(i);
    pGraphics->DrawBitmap(&mBitmap, &r, i == active ? 2 : 1, &mBlend);
  }
  return true;
}
