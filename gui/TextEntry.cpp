#include "gui/TextEntry.h"

#include "framework/IParam.h"
#include "gui/IGraphicsStructs.h"

#include <cmath>
#include <cstdlib>

namespace {

const int kBackspace = 8;
const int kCarriageReturn = 13;
const int kAlignStyleLeft = 0;
const int kAlignStyleCentre = 1;
const int kAlignStyleRight = 2;

}  // namespace

bool TextEntryAcceptsChar(const IParam* pParam, int ch)
{
  const signed char c = (signed char)ch;
  if (c == kCarriageReturn)
    return false;  // Enter commits: its character is no part of the value
  if (!pParam || pParam->Type() == IParam::kTypeNone)
    return true;
  if (c == kBackspace || c == '+' || c == '-' || (c >= '0' && c <= '9'))
    return true;
  return c == '.' && pParam->Type() == IParam::kTypeDouble;
}

bool TextEntryValue(const IParam* pParam, const char* text, double* pNormalized)
{
  if (!pParam || !text || !*text)
    return false;  // an empty box changes nothing
  double v;
  const IParam::EParamType type = pParam->Type();
  if (type == IParam::kTypeEnum || type == IParam::kTypeBool)
  {
    int idx = 0;
    if (!pParam->MapDisplayText(text, &idx))
      idx = 0;
    v = (double)idx;
  }
  else
  {
    // strtod reads "nan" and "inf" on every platform (some run-time libraries' atof reads them
    // as 0), so that a non-finite text is always told apart.
    char* end = nullptr;
    v = strtod(text, &end);
    if (end == text || !std::isfinite(v))
      return false;
    if (pParam->DisplayIsNegated())
      v = -v;
  }
  *pNormalized = pParam->GetNormalized(v);
  return true;
}

int TextEntryAlignStyle(int align)
{
  switch (align)
  {
    case IText::kAlignNear:
      return kAlignStyleLeft;
    case IText::kAlignFar:
      return kAlignStyleRight;
    default:
      return kAlignStyleCentre;
  }
}

ITextEntryState::EPress ITextEntryState::OnPress(bool middleButton)
{
  if (mState == kEditing)
  {
    if (middleButton)
      return kPressIgnored;
    mState = kCancel;
    return kPressSwallowed;
  }
  return mState == kCommit ? kPressCommitsBox : kPressCancelsBox;
}

ITextEntryState::ETick ITextEntryState::OnTick()
{
  switch (mState)
  {
    case kNone:
      return kTickRedraws;
    case kCommit:
      return kTickCommits;
    case kCancel:
      return kTickCancels;
    case kUpdate:
      mState = kNone;
      return kTickRests;
    default:
      return kTickRests;  // typing: ticks do not reach the window's own handling
  }
}
