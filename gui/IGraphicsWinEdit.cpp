// The value entry box: a standard EDIT control over the control's text rectangle, subclassed to
// filter what is typed and to turn Enter and the loss of focus into states; the redraw tick (or a
// press, a close) finishes the edit. The states are gui/TextEntry.h's.
#include "framework/vst/BoundaryGuard.h"
#include "gui/IControl.h"
#include "gui/IGraphicsWin.h"

namespace {

const int kEditBoxId = 99;
const int kEntryTextBytes = 32;  // what a commit reads: 31 characters and the terminator
const int kCommandCommit = 1;    // command notification code that commits

}  // namespace

void IGraphicsWin::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect,
                                   const char* str, IParam* pParam)
{
  if (!pControl || !pText || !pTextRect || mParamEditWnd || !mPlugWnd)
    return;
  mEdControl = pControl;  // known before the box first asks for its colours
  mEdParam = pParam;
  mParamEditMsg.Reset();
  const DWORD style =
    WS_CHILD | WS_VISIBLE | ES_MULTILINE | (DWORD)TextEntryAlignStyle(pText->mAlign);
  // One pixel wider and taller than the rectangle.
  HWND box = CreateWindowExA(0, "EDIT", str ? str : "", style, pTextRect->L, pTextRect->T,
                             pTextRect->W() + 1, pTextRect->H() + 1, mPlugWnd,
                             (HMENU)(INT_PTR)kEditBoxId, mHInstance, nullptr);
  if (!box)
  {
    mEdControl = nullptr;
    mEdParam = nullptr;
    return;
  }
  mParamEditWnd = box;
  mEditFont = CreateFontA(pText->mSize, 0, 0, 0, pText->mStyle == IText::kStyleBold ? FW_BOLD : 0,
                          pText->mStyle == IText::kStyleItalic, 0, 0, 0, 0, 0, 0, 0, pText->mFont);
  SendMessageA(box, WM_SETFONT, (WPARAM)mEditFont, 0);
  SendMessageA(box, EM_SETSEL, 0, -1);
  SendMessageA(box, EM_LIMITTEXT, (WPARAM)pControl->GetTextEntryLength(), 0);
  // The focus comes before the procedure: its first focus message is not "typing".
  SetFocus(box);
  SetWindowLongPtrA(box, GWLP_USERDATA, (LONG_PTR)this);
  mDefEditProc = (WNDPROC)SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)ParamEditProc);
}

void IGraphicsWin::ForceEndUserEdit()
{
  if (mParamEditWnd)
    mParamEditMsg.OnCancel();
}

// The box is torn down before the value is set: whatever setting it sets off in the host (even
// closing the editor) finds no box.
void IGraphicsWin::EndUserEdit(bool commit)
{
  HWND box = mParamEditWnd;
  IControl* pControl = mEdControl;
  IParam* pParam = mEdParam;
  const bool alive = box && IsWindow(box);
  const bool own = alive && OnOwnThread(box);
  char text[kEntryTextBytes] = "";
  commit = commit && own && pControl;
  if (commit)
    SendMessageA(box, WM_GETTEXT, sizeof(text), (LPARAM)text);  // while the box is still ours
  if (alive)
  {
    if (mDefEditProc)
      SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)mDefEditProc);
    SetWindowLongPtrA(box, GWLP_USERDATA, 0);
    if (own)
      DestroyWindow(box);  // another thread's box goes with its parent window
  }
  OnEditBoxGone();
  if (!commit)
    return;
  if (!pParam)
  {
    pControl->TextFromTextEntry(text);
    return;
  }
  double value;
  if (TextEntryValue(pParam, text, &value))
    pControl->SetValueFromUserInput(value);
}

// Its font last: the box used it to the end.
void IGraphicsWin::OnEditBoxGone()
{
  mParamEditWnd = nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
  mDefEditProc = nullptr;
  mParamEditMsg.Reset();
  if (mEditFont)
  {
    DeleteObject(mEditFont);
    mEditFont = nullptr;
  }
}

LRESULT CALLBACK IGraphicsWin::ParamEditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  return BoundaryGuard::Run("entry box", (LRESULT)0,
                            [&] { return EditBoxMessage(hWnd, msg, wParam, lParam); });
}

LRESULT IGraphicsWin::EditBoxMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
  IGraphicsWin* pGraphics = (IGraphicsWin*)GetWindowLongPtrA(hWnd, GWLP_USERDATA);
  if (!pGraphics || pGraphics->mParamEditWnd != hWnd)
    return DefWindowProcA(hWnd, msg, wParam, lParam);
  WNDPROC defProc = pGraphics->mDefEditProc;
  ITextEntryState& state = pGraphics->mParamEditMsg;
  switch (msg)
  {
    case WM_SETFOCUS:
      state.OnBoxFocus();
      break;

    case WM_KILLFOCUS:
      state.OnBoxFocusLost();
      break;

    case WM_GETDLGCODE:
      if (!pGraphics->mEdParam)
      {
        LRESULT code = CallWindowProcA(defProc, hWnd, msg, wParam, lParam);
        const MSG* pMsg = (const MSG*)lParam;
        if (pMsg && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
          code |= DLGC_WANTALLKEYS;
        return code;
      }
      break;

    case WM_KEYDOWN:
      if (wParam == VK_RETURN)
      {
        state.OnEnter();
        return 0;
      }
      if (wParam == VK_ESCAPE)
      {
        state.OnCancel();
        return 0;
      }
      break;

    case WM_CHAR:
      if (pGraphics->mEdParam && !TextEntryAcceptsChar(pGraphics->mEdParam, (int)wParam))
        return 0;
      break;

    case WM_COMMAND:
      if (HIWORD(wParam) == kCommandCommit)
      {
        state.OnEnter();
        return 0;
      }
      break;

    case WM_NCDESTROY:
    {
      // Destroyed with its parent window: nothing of the box is kept.
      LRESULT result = CallWindowProcA(defProc, hWnd, msg, wParam, lParam);
      SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
      pGraphics->OnEditBoxGone();
      return result;
    }

    default:
      break;
  }
  return CallWindowProcA(defProc, hWnd, msg, wParam, lParam);
}
