// The plug-in's editor: its layout and the step lamps it drives.
//
// A fixed 664 x 472 surface: the background (control 0), the 16 step lamps (controls 1..16), then
// one control per parameter in parameter order (parameter p is control 17 + p), each at the
// position the parameter table gives. The lamps carry the indexes 42..57, outside the parameter
// list: they are driven by control index from OnIdle, and send nothing to the host.
#include "effect/Quorvalent.h"
#include "gui/IBitmapControl.h"
#include "gui/IGraphics.h"
#include "resources/resource.h"

namespace {

constexpr int kEditorWidth = 664;
constexpr int kEditorHeight = 472;
constexpr int kLampX = 23;  // lamp i at (kLampX + kLampSpacing * i, kLampY)
constexpr int kLampSpacing = 32;
constexpr int kLampY = 402;

}  // namespace

void Quorvalent::CreateGraphics()
{
  IGraphics* pGraphics = MakeGraphics(this, kEditorWidth, kEditorHeight, 0);
  pGraphics->AttachBackground(BG_ID, BG_FN);

  IBitmap knob = pGraphics->LoadIBitmap(KNOB_ID, KNOB_FN, 30);
  IBitmap bigButton = pGraphics->LoadIBitmap(BIGBUTTON_ID, BIGBUTTON_FN, 2);
  IBitmap typeSelector = pGraphics->LoadIBitmap(TYPESELECTOR_ID, TYPESELECTOR_FN, 3);
  IBitmap smallButton = pGraphics->LoadIBitmap(SBUTTON_ID, SBUTTON_FN, 2);
  IBitmap stepButton = pGraphics->LoadIBitmap(STEPBUTTON_ID, STEPBUTTON_FN, 2);
  IBitmap lamp = pGraphics->LoadIBitmap(LED_ID, LED_FN, 2);
  IBitmap rateKnob = pGraphics->LoadIBitmap(KNOB8_ID, KNOB8_FN, 8);
  IBitmap speedKnob = pGraphics->LoadIBitmap(MIXER9_ID, MIXER9_FN, 9);
  IBitmap stepsKnob = pGraphics->LoadIBitmap(MIXER15_ID, MIXER15_FN, 15);
  IBitmap lengthKnob = pGraphics->LoadIBitmap(MIXERCONT_ID, MIXERCONT_FN, 64);

  for (int i = 0; i < kNumSteps; ++i)
  {
    mLeds[i] = new IBitmapControl(this, kLampX + kLampSpacing * i, kLampY, kNumParams + i, &lamp,
                                  IChannelBlend::kBlendNone);
    mLedIdx[i] = pGraphics->AttachControl(mLeds[i]);
  }

  for (int p = 0; p < kNumParams; ++p)
  {
    const int x = parameterProperties[p].x, y = parameterProperties[p].y;
    IControl* pControl;
    if (p >= kStep1 && p <= kStep16)
      pControl = new ISwitchControl(this, x, y, p, &stepButton);
    else
    {
      switch (p)
      {
        case kAmpLFORate:
        case kFilterLFORate:
          pControl = new IKnobMultiControl(this, x, y, p, &rateKnob, kVertical, DEFAULT_GEARING);
          break;
        case kAmpLFOTriplet:
        case kFilterLFOTriplet:
        case kStepMode:
          pControl = new ISwitchControl(this, x, y, p, &smallButton);
          break;
        case kPush:
          pControl = new IContactControl(this, x, y, p, &bigButton);
          break;
        case kFilterType:
        case kAmpLFOType:
        case kFilterLFOType:
          pControl = new IKnobMultiControl(this, x, y, p, &typeSelector, kVertical, 1.0);
          break;
        case kNoteLength:
          pControl = new IKnobMultiControl(this, x, y, p, &lengthKnob, kVertical, DEFAULT_GEARING);
          break;
        case kNumStepsParam:
          pControl = new IKnobMultiControl(this, x, y, p, &stepsKnob, kVertical, DEFAULT_GEARING);
          break;
        case kArpSpeed:
          pControl = new IKnobMultiControl(this, x, y, p, &speedKnob, kVertical, DEFAULT_GEARING);
          break;
        default:
          pControl = new IKnobMultiControl(this, x, y, p, &knob, kVertical, DEFAULT_GEARING);
          break;
      }
    }
    pGraphics->AttachControl(pControl);
  }

  AttachGraphics(pGraphics);
  // Where the surface opens no window, hosts are told there is no editor to open.
  if (!MakeGraphicsOpensWindows())
    GetAEffect()->flags &= ~effFlagsHasEditor;
}

void Quorvalent::OnIdle()
{
  IGraphics* pGraphics = GetGUI();
  if (!pGraphics)
    return;
  const int shown = shownStep();
  for (int i = 0; i < kNumSteps; ++i)
    pGraphics->SetControlFromPlug(mLedIdx[i], i == shown ? 1.0 : 0.0);
}
