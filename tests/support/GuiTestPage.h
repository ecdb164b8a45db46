#pragma once
// The GUI test plug-in's second page: one of each further control, on a 480 x 320 editor in a grid
// of 120 x 106 cells, bound to the plug-in's parameters, with their pictures drawn in code. The
// tests address the controls by the points below.

#include "framework/PluginBase.h"
#include "gui/IGraphics.h"
#include "raster/px.h"

// The GUI test plug-in's parameters.
enum EGuiTestParams
{
  kGuiLevel = 0,  // double -10..10
  kGuiCount,      // int 0..16
  kGuiSize,       // enum: the first page at 300 x 200, 400 x 300, or 200 x 100 without controls
  kGuiPage,       // enum: 0 the first page, 1 the further controls
  kGuiMode,       // enum "Low", "Band", "High"
  kGuiGate,       // bool, named "off" and "on"
  kGuiAmount,     // double 0..100 "%"
  kGuiOverlay,    // bool: the overlay shown
  kGuiThrow,      // bool: the first page's thrower throws from its drawing and mouse handlers
  kGuiNumParams
};

const int kGuiPageW = 480, kGuiPageH = 320;

// Points of the further controls' page.
namespace GuiTestPoints {
const int kGateSwitchX = 180, kGateSwitchY = 23;  // the invisible switch, above the Gate caption
const int kGateCaptionX = 180, kGateCaptionY = 50;
const int kRadioX = 254, kRadioY0 = 18, kRadioStep = 32;  // the three Mode buttons, top first
const int kModeCaptionX = 310, kModeCaptionY = 50;
const int kFaderX = 384, kFaderTop = 10, kFaderLen = 88, kHandleH = 12;
const int kAmountCaptionX = 438, kAmountCaptionY = 50;
const int kOverlayTargetX = 420, kOverlayTargetY = 133;  // where a hidden overlay takes a click
const int kOverlayX = 420, kOverlayY = 170;              // the overlay shown
const int kURLX = 180, kURLY = 262;
const int kSelectorX = 300, kSelectorY = 262;
const int kSaveX = 390, kSaveY = 235, kLoadX = 444, kLoadY = 235;
}  // namespace GuiTestPoints

// The pictures of the page, made once per instance.
class GuiTestArt
{
public:
  GuiTestArt();
  PX_MemBitmap mRadio, mHandle, mRotater, mMaskBase, mMask, mMaskTop, mOverlay, mSelector;
};

// Attaches the page's controls to a surface of kGuiPageW x kGuiPageH.
void AttachFurtherControls(PluginBase* pPlug, IGraphics* pGraphics, GuiTestArt* pArt);
