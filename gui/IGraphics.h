#pragma once
// The editor surface: the platform-neutral half of the editor, owned by the plug-in instance.
//
// It keeps the controls (index 0 is the background; the surface owns them), the off-screen bitmap
// they draw into, the redraw bookkeeping, the mouse capture and the edit gestures it reports to
// the host. The platform half derives from it and owns the window: its timer calls IsDirty and
// asks for the returned rectangle to be painted, painting calls Draw, and its mouse and key
// messages call the On... operations with positions in surface pixels. Values travel between
// surface and plug-in in normalised form (0..1).
//
// Threads: the window, timer, painting, mouse and keys run on the host's GUI thread.
// SetParameterFromPlug runs on host threads that hold the instance mutex, SetControlFromPlug on the
// plug-in's idle thread; both only write control values and flags (relaxed atomics), so the GUI
// thread may draw a change one timer tick late. The surface takes no lock of its own; the bitmap
// and font caches guard themselves, and text is drawn under the raster library's text lock because
// fonts are shared with editors on other threads.
//
// Portable: no window system type appears here.

#include "framework/base/PtrList.h"
#include "gui/IGraphicsStructs.h"

#include <vector>

class PluginBase;
class PluginVST;
class IControl;
class IParam;
class IPopupMenu;
class QvString;
class PX_IBitmap;
class PX_IFont;
class PX_MemBitmap;
class PX_SysBitmap;

class IGraphics
{
public:
  // fps below 1 becomes 25. Builds no bitmap (PrepDraw does).
  IGraphics(PluginBase* pPlug, int w, int h, int fps = 0);

  // ---- Virtual operations, in their fixed order -------------------------------------------------

  // [GUI] Copies rectangle r of the off-screen bitmap to the window.
  virtual bool DrawScreen(IRECT* pR) = 0;
  // Places *pR around str as DrawIText would draw it: its width from the left edge, the centre or
  // the right edge as the text aligns, its height from the top. Draws nothing.
  virtual bool MeasureIText(IText* pTxt, char* str, IRECT* pR);
  // [GUI] Abandons an open value entry box.
  virtual void ForceEndUserEdit() = 0;
  // Deletes every control, rebuilds the bitmaps at the new size and tells the plug-in; the caller
  // attaches the controls for the new size.
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pTextRect) = 0;
  // Opens an edit box over pTextRect holding str; the value arrives when the user commits.
  virtual void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                               IParam* pParam) = 0;
  virtual void HostPath(QvString* pPath) = 0;
  virtual void PluginPath(QvString* pPath) = 0;
  virtual void DesktopPath(QvString* pPath) = 0;
  // [GUI] Asks for a file to open or save, starting in *pDir, offering the space-separated
  // extensions. True when one was chosen: *pFilename holds its path. Cancelled, *pFilename stays as
  // it was; with no editor window open it becomes empty.
  virtual bool PromptForFile(QvString* pFilename, EFileAction action, QvString* pDir,
                             char* extensions) = 0;
  virtual bool PromptForColor(IColor* pColor, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle, const char* confirmMsg,
                       const char* errorMsg) = 0;
  // [GUI] Creates the editor window inside the host's window; null when it could not be made.
  virtual void* OpenWindow(void* pParentWnd) = 0;
  virtual void* OpenWindow(void* /*pWindow*/, void* /*pControl*/, short /*x*/, short /*y*/)
  {
    return nullptr;
  }
  virtual void AttachSubWindow(void* /*pWindow*/) {}
  virtual void RemoveSubWindow() {}
  // [GUI] Destroys the editor window; controls and values stay.
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  // Deletes the key catcher, the controls (last first) and the bitmaps it made; never the
  // bitmaps of the cache.
  virtual ~IGraphics();
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  // Decodes bitmap resource id; name selects the decoder. A new bitmap owned by the caller, or
  // null.
  virtual PX_IBitmap* OSLoadBitmap(int id, const char* name) = 0;

  // ---- Plumbing -------------------------------------------------------------------------------

  // Builds (or rebuilds) the off-screen bitmap at the surface's size and the scratch bitmap.
  void PrepDraw();
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  PluginBase* GetPlug() { return mPlug; }
  // The off-screen bitmap's pixels (null before PrepDraw).
  uint32_t* GetBits();
  PX_SysBitmap* GetDrawBitmap() { return mDrawBitmap; }
  // A pixel of the off-screen bitmap (0 outside it).
  IColor GetPoint(int x, int y);

  // ---- Controls ---------------------------------------------------------------------------------

  // Appends the control (the surface now owns it) and returns its index. Its parameter and
  // auxiliary parameters are bound from now on: add auxiliary parameters before attaching.
  int AttachControl(IControl* pControl);
  // Inserts at index 0 a bitmap control showing resource id at (0, 0), copied without blending.
  void AttachBackground(int id, const char* name);
  // Inserts at index 0 a panel of the colour over the whole surface, for editors without a
  // background bitmap.
  void AttachPanelBackground(const IColor* pColor);
  // The control that takes keys no other control takes; owned, not in the control list. A second
  // catcher replaces (and deletes) the first.
  void AttachKeyCatcher(IControl* pControl);
  int NControls() const { return mControls.GetSize(); }
  // Null outside the list.
  IControl* GetControl(int idx) { return mControls.Get(idx); }
  // For every control bound to paramIdx.
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  // lo and hi plain values unless normalized.
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);

  // [host threads, instance mutex held] Hands the value to every control bound to paramIdx, as
  // main or auxiliary parameter, in the order of the control list; a plain value (normalized
  // false) is normalised first. Controls bound to other parameters are not touched.
  void SetParameterFromPlug(int paramIdx, double value, bool normalized);
  // [GUI] A value the user gave pControl (bound to a parameter of the plug-in's list): the
  // parameter is set inside an edit gesture and every other control bound to it shows the value
  // the parameter then holds (stepped). Within a press or double click the first change sends
  // begin-edit and the release end-edit; any other change (the wheel, keys, the entry box) is a
  // gesture of its own. A value the parameter would hold as it holds it now sets and sends
  // nothing.
  void SetParameterFromControl(IControl* pControl, double value);
  // [idle thread] One control's value by its index; an index outside the list does nothing.
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  // Flags every control for redrawing without pushing its value.
  void SetAllControlsDirty();

  // ---- Redrawing (GUI thread) -------------------------------------------------------------------

  // Strict (the default): a redraw draws every visible control that meets its rectangle.
  // Otherwise each dirty control is redrawn with what it overlaps.
  void SetStrictDrawing(bool strict);
  // One timer tick. Unions the rectangles of the dirty controls into *pR (the caller passes an
  // empty one) and answers whether there was any; after more than 20 ticks in a row without,
  // every control's idle hook runs.
  bool IsDirty(IRECT* pR);
  // Redraws the controls meeting *pR into the off-screen bitmap and copies the rectangle to the
  // window (DrawScreen). Controls the redraw covered wholly, as far as the window shows them, are
  // marked clean; a dirty control it missed, or met only in part, stays dirty for the next tick.
  // With no control at all nothing is drawn or copied.
  bool Draw(IRECT* pR);
  // The size of the window's client area, which may be smaller than the surface's; negative: the
  // surface's own.
  void SetClientSize(int w, int h)
  {
    mClientW = w;
    mClientH = h;
  }
  void OnGUIIdle();

  // The parameter of the control at (x, y), -1 over the background or nothing; remembered.
  int GetParamIdxForPTAutomation(int x, int y);
  // The remembered one, which is forgotten.
  int GetLastClickedParamForPTAutomation();

  // ---- Mouse and keys (GUI thread) --------------------------------------------------------------
  //
  // A press captures the control under the pointer: it gets every drag and the release, wherever
  // the pointer goes. A double click captures the same way until its release. Edit gestures reach
  // the host whole and only for the plug-in's parameters: begin-edit before the first change a
  // press (or double click) makes, end-edit with its release; a press that changes nothing and
  // opens no prompt is a touch, begin-edit right after it.

  // The captured control, or else the topmost visible, usable control hit at (x, y); -1 none. With
  // mo, grayed controls that take mouse-over count as usable.
  int GetMouseControlIdx(int x, int y, bool mo = false);
  void ReleaseMouseCapture();
  void OnMouseDown(int x, int y, IMouseMod* pMod);
  void OnMouseUp(int x, int y, IMouseMod* pMod);
  void OnMouseDrag(int x, int y, IMouseMod* pMod);
  // True when the control took it as a single click. Either way the control holds the capture
  // (HasMouseCapture): the window must capture the mouse so that the release arrives.
  bool OnMouseDblClick(int x, int y, IMouseMod* pMod);
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d);
  // The window lost the mouse while a button was down (another window took it, the editor closed
  // or hid): the gesture ends as a release at the last position.
  void OnMouseCaptureLost();
  // Input that failed halfway (its control threw): the press or double click in progress is given
  // up without calling the control again, an edit gesture begun ended.
  void AbandonMouseGesture();
  bool HasMouseCapture() const { return mMouseCapture >= 0; }
  // True when mouse-over is handled (the window then asks for a leave notice).
  bool OnMouseOver(int x, int y, IMouseMod* pMod);
  void OnMouseOut();
  // key: the surface's key code. True when a control or the key catcher handled it.
  bool OnKeyDown(int x, int y, int key);

  // Asks the user for a new value of pParam for pControl, over pTextRect: named values
  // (enumerations, booleans with display texts) from a menu of the display texts, the current one
  // checked; every other value in an edit box holding the current display text.
  void PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect);
  // A typed text as the control's new value: a display text's index for enumerations and
  // booleans, otherwise a number (negated for negated displays); a number that is not finite
  // changes nothing.
  void SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt);

  // ---- Bitmaps --------------------------------------------------------------------------------

  // The bitmap of resource id from the process-wide cache, decoded on first use. A bitmap that
  // cannot be decoded is not cached (the next call tries again) and comes back empty (no pixels,
  // 0 x 0), drawing nothing.
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  // Hands a bitmap made elsewhere to the cache, which deletes it at unload. Not for a bitmap the
  // cache holds already.
  void RetainBitmap(IBitmap* pBitmap);
  // Deletes the bitmap now; handles still pointing to it dangle.
  void ReleaseBitmap(IBitmap* pBitmap);
  // New retained bitmaps, frames stacked: the bitmap scaled (bilinear) or a part of it.
  IBitmap ScaleBitmap(IBitmap* pBitmap, int destW, int destH);
  IBitmap CropBitmap(IBitmap* pBitmap, IRECT* pR);

  // ---- Drawing into the off-screen bitmap (GUI thread, inside Draw) ----------------------------

  // The part of pDest inside the current redraw rectangle, from (srcX, srcY) of the bitmap on.
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend);
  // Frame bmpState (from 1; the first for 1 or less, the last beyond the count).
  bool DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState, const IChannelBlend* pBlend);
  // The whole bitmap rotated by angle (radians) about (destCtrX, destCtrY), filtered.
  bool DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg, const IChannelBlend* pBlend);
  // base with its alpha replaced by mask rotated by angle (degrees), top rotated over it, drawn at
  // (x, y).
  bool DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                       const IChannelBlend* pBlend);
  bool DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend, bool aa);
  // Writes the colour word without blending; nothing outside the bitmap.
  bool ForcePixel(const IColor* pColor, int x, int y);
  bool FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend);

  // Lines include both end points and are one pixel wide; positions are truncated. A line or point
  // with a position that is not finite draws nothing.
  bool DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                const IChannelBlend* pBlend, bool aa);
  // From radius rMin to rMax along angle (radians, 0 pointing up, growing clockwise).
  bool DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* pBlend, bool aa);
  bool DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* pBlend, bool aa);
  bool DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend,
                  bool aa);
  bool RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                 bool aa);
  // Three rectangles and four corner discs.
  bool FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                     bool aa);
  bool FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend,
                  bool aa);
  bool FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                    IChannelBlend* pBlend);
  bool FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints,
                          const IChannelBlend* pBlend);
  // Plain copies, both ends included.
  bool DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi);
  bool DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi);
  // At the fraction x (clamped to 0..1) of the way from the left edge to the right one.
  bool DrawVerticalLine(const IColor* pColor, IRECT* pR, float x);
  // At the fraction y (clamped to 0..1) of the way up from the bottom edge to the top one.
  bool DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y);
  // The outline through the four edges, right and bottom included.
  bool DrawRect(const IColor* pColor, IRECT* pR);

  // ---- Text (GUI thread) -----------------------------------------------------------------------

  // The font of the text's description from the process-wide font cache, made on first use and
  // remembered in the text; null when it cannot be made (the next call tries again).
  PX_IFont* CacheFont(IText* pTxt);
  // Draws str in the text's style into *pR (not clipped to it), or with measure only places *pR
  // (MeasureIText). Nothing to draw is success; false when the font cannot be made.
  bool DrawIText(IText* pTxt, char* str, IRECT* pR, bool measure = false);

protected:
  QvPtrList<IControl> mControls;
  PluginBase* mPlug;
  IRECT mDrawRECT;  // the rectangle of the redraw in progress
  bool mCursorHidden;
  int mHiddenCursorX, mHiddenCursorY;
  PX_SysBitmap* mDrawBitmap;
  PX_MemBitmap* mTmpBitmap;
  int mWidth, mHeight;
  int mFPS;
  int mIdleTicks;  // consecutive timer ticks without a dirty control
  int mMouseCapture;
  int mMouseOver;
  int mMouseX, mMouseY;
  int mLastClickedParam;
  bool mHandleMouseOver;
  bool mStrict;
  IControl* mKeyCatcher;
  int mEditParamIdx;  // the parameter of the edit gesture begun and not yet ended, or -1
  bool mInGesture;    // a press or double click waits for its release
  bool mPrompted;     // the press in progress opened an entry box or a menu
  int mClientW, mClientH;

  // Inserts a control at idx (0: under all others); it is bound as an attached one is.
  void InsertControl(int idx, IControl* pControl);

private:
  // A control's call for a parameter: its main value (aux -1) or auxiliary parameter aux.
  struct Binding
  {
    IControl* pControl;
    int aux;
  };
  // Per parameter index, the calls a change makes, in the order of the control list.
  std::vector<std::vector<Binding>> mBindings;
  void Bind(IControl* pControl);
  void RebindAll();
  // Hands value to the controls bound to paramIdx, except pExcept.
  void ShowParameter(int paramIdx, double value, const IControl* pExcept);

  // Whether a redraw of *pR repainted all of the control that the window shows.
  bool Redrawn(const IRECT* pR, IControl* pControl) const;
  // Draws control i when visible and it meets mDrawRECT (or always, with force).
  void DrawControl(int i, bool force);
  // The gesture (press or double click) ends: end-edit when its begin-edit was sent.
  void EndEditGesture();
  // A press on control c that changed nothing and prompted nothing: begin-edit, the user touched it.
  void BeginTouchGesture(int c);

  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;
};

// The editor surface of this platform for plug-in pPlug; fps 0 picks the default (25).
IGraphics* MakeGraphics(PluginVST* pPlug, int w, int h, int fps = 0);
// Whether the surfaces MakeGraphics makes here open windows (a window host exists on this
// platform): only then may hosts be offered the editor.
bool MakeGraphicsOpensWindows();
