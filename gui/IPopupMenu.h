#pragma once
// IPopupMenu: a platform-neutral popup menu (items, checks, submenus, numbering) that a control or
// the surface fills and the window host shows.
//
// Items are numbered depth first: a menu that receives the next free id b reserves b .. b + n - 1
// for its own n items (separators and submenu items included) before any of its submenus is
// numbered; each submenu, in item order, then takes the next free id. The top menu starts at 0.
// BuildPopupMenu hands a platform the entries with their ids in that order; GetItemMenu turns a
// chosen id back into its menu and index.
//
// A menu owns its items (deleted last first), never the submenus hung under them: those belong to
// whoever made them. A menu must not hang under itself, directly or further down.

#include "framework/base/PtrList.h"
#include "framework/base/QvString.h"

class IPopupMenu;

class IPopupMenuItem
{
public:
  enum EFlags
  {
    kNoFlags = 0,
    kDisabled = 1,
    kTitle = 2,
    kChecked = 4,
    kSeparator = 8
  };

  IPopupMenuItem(const char* text, int flags = kNoFlags)
    : mText(text)
    , mSubmenu(nullptr)
    , mFlags(flags)
  {}
  IPopupMenuItem(const char* text, IPopupMenu* pSubmenu)
    : mText(text)
    , mSubmenu(pSubmenu)
    , mFlags(kNoFlags)
  {}

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  void SetChecked(bool state) { mFlags = state ? (mFlags | kChecked) : (mFlags & ~kChecked); }

private:
  QvString mText;
  IPopupMenu* mSubmenu;  // not owned
  int mFlags;
};

class IPopupMenu
{
public:
  // prefix: how item texts are numbered when shown, 0 none, 1 "1: ", 2 "01: ", 3 "001: ".
  // multicheck is stored only.
  explicit IPopupMenu(int prefix = 0, bool multicheck = false)
    : mPrefix(prefix)
    , mChosenItemIdx(-1)
    , mCanMultiCheck(multicheck)
    , mMenuItems(4096)
  {}
  ~IPopupMenu() { mMenuItems.Empty(true); }

  // index -1 appends; any other index inserts, clamped into 0..count. The menu owns the item.
  IPopupMenuItem* AddItem(IPopupMenuItem* pItem, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int itemFlags = 0);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Null outside 0..count - 1.
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  // index must be valid.
  const char* GetItemText(int index) const { return GetItem(index)->GetText(); }
  int GetNItems() const { return mMenuItems.GetSize(); }

  int GetPrefix() const { return mPrefix; }
  // Only 0..3 are taken; other values leave the prefix as it is.
  void SetPrefix(int prefix);
  bool GetCanMultiCheck() const { return mCanMultiCheck; }
  // The index of the item chosen in this menu, -1 none.
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

  // False (nothing changed) when there is no item at index.
  bool CheckItem(int index, bool state);
  // Checks the item at index and unchecks every other one.
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

private:
  int mPrefix;
  int mChosenItemIdx;
  bool mCanMultiCheck;
  QvPtrList<IPopupMenuItem> mMenuItems;

  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;
};

// The highest id a platform can report back (a 16-bit command word). Items numbered beyond it are
// not shown, so that a choice never comes back as another item's.
const long kMaxPopupMenuId = 0xFFFF;

// The text item i of pMenu shows: its own text, numbered from 1 by the menu's prefix.
void PopupMenuItemText(const IPopupMenu* pMenu, int i, QvString* pText);

// Ids the menu and all its submenus take: one per item, at every depth.
long CountPopupMenuIds(const IPopupMenu* pMenu);

// What a platform provides to show a menu tree. Menus are opaque handles (null: could not be made).
class IPopupMenuBuilder
{
public:
  virtual ~IPopupMenuBuilder() {}
  virtual void* NewMenu() = 0;
  virtual void AddSeparator(void* pMenu) = 0;
  // pSubmenu now belongs to pMenu (the platform disposes of it should it fail to add it).
  virtual void AddSubmenu(void* pMenu, const char* text, void* pSubmenu) = 0;
  // flags: the item's IPopupMenuItem flags.
  virtual void AddCommand(void* pMenu, const char* text, long id, int flags) = 0;
};

// Builds pMenu and its submenus through pBuilder, numbering from *pNextId, which ends past the
// whole tree's block even where a submenu could not be made (that submenu is then left out).
// Returns the platform's menu, or null when pMenu itself could not be made.
void* BuildPopupMenu(IPopupMenu* pMenu, long* pNextId, IPopupMenuBuilder* pBuilder);

// The menu of the tree under pTop (numbered from 0) holding id, and the item's index in it in
// *pIdx; null (and *pIdx untouched) for an id outside every block.
IPopupMenu* GetItemMenu(IPopupMenu* pTop, long id, int* pIdx);
