// Popup menus in the editor window: the portable menu tree built as a Windows menu, shown modally
// with TrackPopupMenu, and the chosen command turned back into its menu and item.
#include "gui/IGraphicsWin.h"
#include "gui/IPopupMenu.h"

namespace {

class HMenuBuilder : public IPopupMenuBuilder
{
public:
  void* NewMenu() override { return CreatePopupMenu(); }
  void AddSeparator(void* pMenu) override { AppendMenuA((HMENU)pMenu, MF_SEPARATOR, 0, nullptr); }
  void AddSubmenu(void* pMenu, const char* text, void* pSubmenu) override
  {
    if (!AppendMenuA((HMENU)pMenu, MF_POPUP, (UINT_PTR)pSubmenu, text))
      DestroyMenu((HMENU)pSubmenu);
  }
  void AddCommand(void* pMenu, const char* text, long id, int flags) override
  {
    UINT f = MF_STRING;
    if (flags & IPopupMenuItem::kDisabled)
      f |= MF_GRAYED;
    if (flags & IPopupMenuItem::kTitle)
      f |= MF_DISABLED;
    if (flags & IPopupMenuItem::kChecked)
      f |= MF_CHECKED;
    AppendMenuA((HMENU)pMenu, f, (UINT_PTR)id, text);
  }
};

}  // namespace

IPopupMenu* IGraphicsWin::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect)
{
  ReleaseMouseCapture();
  HWND wnd = mPlugWnd;
  if (!pMenu || !pTextRect || !wnd)
    return nullptr;
  HMenuBuilder builder;
  long nextId = 0;
  HMENU hMenu = (HMENU)BuildPopupMenu(pMenu, &nextId, &builder);
  if (!hMenu)
    return nullptr;

  POINT at = {pTextRect->L, pTextRect->B};
  ClientToScreen(wnd, &at);
  IPopupMenu* pChosen = nullptr;
  // The choice arrives as a WM_COMMAND posted to the window. A window closed while the menu was
  // up (its owner going away) chose nothing.
  MSG msg;
  if (TrackPopupMenu(hMenu, 0, at.x, at.y, 0, wnd, nullptr) && mPlugWnd == wnd && IsWindow(wnd) &&
      PeekMessageA(&msg, wnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(msg.wParam) == 0)
  {
    int idx = -1;
    if ((pChosen = GetItemMenu(pMenu, (long)LOWORD(msg.wParam), &idx)))
      pChosen->SetChosenItemIdx(idx);
  }
  DestroyMenu(hMenu);
  return pChosen;
}
