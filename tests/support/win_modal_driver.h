#pragma once
// Drives the system's modal windows (menus, message boxes, file and colour dialogs) from inside
// their own modal loops, as a user would answer them: a thread timer ticks while the loop runs and
// each tick tries the test's step until the step reports it is done. A step never done within two
// seconds closes every modal window of the thread, so that a failing test ends instead of waiting
// for a user. Windows only; one driver at a time, on the thread that opens the modal window.

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

class ModalDriver
{
public:
  explicit ModalDriver(std::function<bool()> step)
    : mStep(std::move(step))
  {
    sCurrent = this;
    mTimer = SetTimer(nullptr, 0, 20, Tick);
  }
  ~ModalDriver()
  {
    KillTimer(nullptr, mTimer);
    sCurrent = nullptr;
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  bool Done() const { return mDone; }
  bool GaveUp() const { return mGaveUp; }

  // The thread's visible top-level windows of a class ("#32770" dialogs, "#32768" menus), newest
  // first.
  static std::vector<HWND> ThreadWindows(const char* className)
  {
    struct Search
    {
      const char* cls;
      std::vector<HWND> found;
    } search = {className, {}};
    EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND wnd, LPARAM lParam) -> BOOL {
        Search* pSearch = (Search*)lParam;
        char cls[64] = "";
        GetClassNameA(wnd, cls, sizeof(cls));
        if (IsWindowVisible(wnd) && !strcmp(cls, pSearch->cls))
          pSearch->found.push_back(wnd);
        return TRUE;
      },
      (LPARAM)&search);
    return search.found;
  }
  static HWND Dialog()
  {
    std::vector<HWND> dialogs = ThreadWindows("#32770");
    return dialogs.empty() ? nullptr : dialogs.front();
  }
  static std::string Title(HWND wnd)
  {
    char title[256] = "";
    GetWindowTextA(wnd, title, sizeof(title));
    return title;
  }
  // The texts of a dialog's static controls (a message box's message), joined.
  static std::string Text(HWND dialog)
  {
    std::string text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
      char cls[64] = "";
      GetClassNameA(child, cls, sizeof(cls));
      if (!_stricmp(cls, "Static"))
        text += Title(child);
    }
    return text;
  }
  static bool MenuShown() { return !ThreadWindows("#32768").empty(); }
  // Keys that choose item k (from 0) of the menu the thread shows (a menu's modal loop takes the
  // thread's keys, whichever of its windows they are posted to).
  static void ChooseMenuItem(HWND wnd, int k)
  {
    for (int i = 0; i <= k; ++i)
      PostMessageA(wnd, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(wnd, WM_KEYDOWN, VK_RETURN, 0);
  }
  // A step answering a file dialog: name typed into its file name box and OK pressed, or (null)
  // cancelled.
  static std::function<bool()> AnswerFileDialog(const char* name)
  {
    return [name] {
      HWND dialog = Dialog();
      if (!dialog)
        return false;
      if (name)
      {
        SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, (LPARAM)name);
        SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, (LPARAM)name);
      }
      Press(dialog, name ? IDOK : IDCANCEL);
      return true;
    };
  }
  // A button of a dialog pressed: the dialog ends with that answer (IDOK, IDCANCEL, IDYES, ...).
  static void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, (WPARAM)id, 0); }

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
  {
    ModalDriver* pThis = sCurrent;
    if (!pThis || pThis->mDone)
      return;
    if (pThis->mStep())
    {
      pThis->mDone = true;
      return;
    }
    if (++pThis->mTicks < 100)
      return;
    pThis->mGaveUp = pThis->mDone = true;
    EndMenu();
    for (HWND dialog : ThreadWindows("#32770"))
      Press(dialog, IDCANCEL);
  }

  static inline ModalDriver* sCurrent = nullptr;
  std::function<bool()> mStep;
  UINT_PTR mTimer = 0;
  int mTicks = 0;
  bool mDone = false;
  bool mGaveUp = false;
};
