#include "gui/IPopupMenu.h"

#include <cstdio>

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* pItem, int index)
{
  IPopupMenuItem* pAdded = index == -1 ? mMenuItems.Add(pItem) : mMenuItems.Insert(index, pItem);
  if (!pAdded)
    delete pItem;  // the list could not grow: the menu was to own it
  return pAdded;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int itemFlags)
{
  return AddItem(new IPopupMenuItem(text, itemFlags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* pSubmenu)
{
  return AddItem(new IPopupMenuItem(text, pSubmenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* pSubmenu)
{
  return AddItem(text, -1, pSubmenu);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

void IPopupMenu::SetPrefix(int prefix)
{
  if (prefix >= 0 && prefix <= 3)
    mPrefix = prefix;
}

bool IPopupMenu::CheckItem(int index, bool state)
{
  IPopupMenuItem* pItem = GetItem(index);
  if (!pItem)
    return false;
  pItem->SetChecked(state);
  return true;
}

void IPopupMenu::CheckItemAlone(int index)
{
  for (int i = 0, n = GetNItems(); i < n; ++i)
    GetItem(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const
{
  const IPopupMenuItem* pItem = GetItem(index);
  return pItem && pItem->GetChecked();
}

void PopupMenuItemText(const IPopupMenu* pMenu, int i, QvString* pText)
{
  static const char* const kFormats[] = {"%1d: ", "%02d: ", "%03d: "};
  const int prefix = pMenu->GetPrefix();
  if (prefix >= 1 && prefix <= 3)
  {
    char number[24];
    snprintf(number, sizeof(number), kFormats[prefix - 1], i + 1);
    pText->Set(number);
    pText->Append(pMenu->GetItemText(i));
  }
  else
  {
    pText->Set(pMenu->GetItemText(i));
  }
}

long CountPopupMenuIds(const IPopupMenu* pMenu)
{
  long n = pMenu->GetNItems();
  for (int i = 0; i < pMenu->GetNItems(); ++i)
    if (const IPopupMenu* pSub = pMenu->GetItem(i)->GetSubmenu())
      n += CountPopupMenuIds(pSub);
  return n;
}

void* BuildPopupMenu(IPopupMenu* pMenu, long* pNextId, IPopupMenuBuilder* pBuilder)
{
  void* pPlatformMenu = pBuilder->NewMenu();
  if (!pPlatformMenu)
  {
    *pNextId += CountPopupMenuIds(pMenu);  // later submenus keep the ids the lookup expects
    return nullptr;
  }
  const long first = *pNextId;
  const int n = pMenu->GetNItems();
  *pNextId += n;
  QvString text;
  for (int i = 0; i < n; ++i)
  {
    IPopupMenuItem* pItem = pMenu->GetItem(i);
    if (pItem->GetIsSeparator())
    {
      pBuilder->AddSeparator(pPlatformMenu);
      continue;
    }
    PopupMenuItemText(pMenu, i, &text);
    if (IPopupMenu* pSub = pItem->GetSubmenu())
    {
      if (void* pPlatformSub = BuildPopupMenu(pSub, pNextId, pBuilder))
        pBuilder->AddSubmenu(pPlatformMenu, text.Get(), pPlatformSub);
    }
    else if (first + i <= kMaxPopupMenuId)
    {
      pBuilder->AddCommand(pPlatformMenu, text.Get(), first + i, pItem->GetFlags());
    }
  }
  return pPlatformMenu;
}

namespace {
IPopupMenu* FindInBlocks(IPopupMenu* pMenu, long id, long* pNextId, int* pIdx)
{
  const long first = *pNextId;
  const int n = pMenu->GetNItems();
  *pNextId += n;
  if (id >= first && id < first + n)
  {
    *pIdx = (int)(id - first);
    return pMenu;
  }
  for (int i = 0; i < n; ++i)
    if (IPopupMenu* pSub = pMenu->GetItem(i)->GetSubmenu())
      if (IPopupMenu* pFound = FindInBlocks(pSub, id, pNextId, pIdx))
        return pFound;
  return nullptr;
}
}  // namespace

IPopupMenu* GetItemMenu(IPopupMenu* pTop, long id, int* pIdx)
{
  long next = 0;
  return id < 0 ? nullptr : FindInBlocks(pTop, id, &next, pIdx);
}
