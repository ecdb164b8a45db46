// The system's modal services offered by the editor window: message boxes, the open and save
// dialogs, the colour dialog, opening a web address, and the folders of the host and the plug-in.
#include "framework/base/StrCopy.h"
#include "gui/FileDialogText.h"
#include "gui/IGraphicsWin.h"
#include "gui/ModulePath.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>

namespace {

// Online and handed to the shell: the address opens in the user's browser.
bool LaunchURL(HWND owner, const char* url)
{
  DWORD state = 0;
  if (!InternetGetConnectedState(&state, 0))
    return false;
  return (INT_PTR)ShellExecuteA(owner, "open", url, nullptr, nullptr, SW_SHOWNORMAL) > 32;
}

IGraphicsWin::URLLauncher sURLLauncher = LaunchURL;

// Sets the colour dialog's title to the prompt it was given.
UINT_PTR CALLBACK CCHookProc(HWND hDlg, UINT msg, WPARAM /*wParam*/, LPARAM lParam)
{
  if (msg == WM_INITDIALOG && lParam)
  {
    const CHOOSECOLORA* pCC = (const CHOOSECOLORA*)lParam;
    if (pCC->lCustData)
      SetWindowTextA(hDlg, (const char*)pCC->lCustData);
  }
  return 0;
}

// The folder of module (null: the host's program), with its trailing backslash; empty when the
// name cannot be had whole.
void GetModulePath(HMODULE module, QvString* pPath)
{
  char name[MAX_PATH];
  const DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
  ModuleFolder(name, (int)n, MAX_PATH, pPath);
}

}  // namespace

IGraphicsWin::URLLauncher IGraphicsWin::SetURLLauncher(URLLauncher launcher)
{
  URLLauncher previous = sURLLauncher;
  sURLLauncher = launcher ? launcher : LaunchURL;
  return previous;
}

int IGraphicsWin::ShowMessageBox(const char* text, const char* caption, int type)
{
  return MessageBoxA(GetMainWnd(), text, caption, (UINT)type);
}

void IGraphicsWin::HostPath(QvString* pPath) { GetModulePath(nullptr, pPath); }

void IGraphicsWin::PluginPath(QvString* pPath) { GetModulePath(mHInstance, pPath); }

void IGraphicsWin::DesktopPath(QvString* /*pPath*/) {}

bool IGraphicsWin::PromptForFile(QvString* pFilename, EFileAction action, QvString* pDir,
                                 char* extensions)
{
  if (!WindowIsOpen())
  {
    pFilename->Set("");
    return false;
  }
  char fileName[256], dir[256], filter[272], defExt[16];
  StrCopyBounded(fileName, sizeof(fileName), pFilename->Get());
  if (!pDir->GetLength())
    DesktopPath(pDir);
  StrCopyBounded(dir, sizeof(dir), pDir->Get());

  OPENFILENAMEA ofn;
  memset(&ofn, 0, sizeof(ofn));
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = mPlugWnd;
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = sizeof(fileName) - 1;
  ofn.lpstrInitialDir = dir;
  ofn.Flags = OFN_PATHMUSTEXIST;
  if (BuildFileFilter(extensions, filter, sizeof(filter)))
    ofn.lpstrFilter = filter;
  BuildDefaultExtension(extensions, defExt, sizeof(defExt));
  if (defExt[0])
    ofn.lpstrDefExt = defExt;

  BOOL chosen;
  if (action == kFileSave)
  {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
    chosen = GetSaveFileNameA(&ofn);
  }
  else
  {
    ofn.Flags |= OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&ofn);
  }
  if (!chosen)
    return false;
  pFilename->Set(fileName);
  return true;
}

bool IGraphicsWin::PromptForColor(IColor* pColor, char* prompt)
{
  if (!mPlugWnd)
    return false;
  if (!mCustomColorStorage)
    mCustomColorStorage = (COLORREF*)calloc(16, sizeof(COLORREF));
  if (!mCustomColorStorage)
    return false;
  CHOOSECOLORA cc;
  memset(&cc, 0, sizeof(cc));
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = mPlugWnd;
  cc.rgbResult = RGB(pColor->R, pColor->G, pColor->B);
  cc.lpCustColors = mCustomColorStorage;
  cc.lCustData = (LPARAM)prompt;
  cc.lpfnHook = CCHookProc;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  if (!ChooseColorA(&cc))
    return false;
  pColor->R = GetRValue(cc.rgbResult);
  pColor->G = GetGValue(cc.rgbResult);
  pColor->B = GetBValue(cc.rgbResult);
  return true;
}

bool IGraphicsWin::OpenURL(const char* url, const char* windowTitle, const char* confirmMsg,
                           const char* errorMsg)
{
  if (!url)
    return false;
  if (confirmMsg && MessageBoxA(mPlugWnd, confirmMsg, windowTitle, MB_YESNO) != IDYES)
    return false;
  if (sURLLauncher(mPlugWnd, url))
    return true;
  if (errorMsg)
    MessageBoxA(mPlugWnd, errorMsg, windowTitle, MB_OK);
  return false;
}
