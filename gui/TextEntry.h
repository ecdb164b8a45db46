#pragma once
// The value entry box's portable half: which characters a parameter's box takes, how the typed
// text becomes a value, the box's text alignment, and the state machine that decides when an open
// box commits, cancels or lets the editor redraw around it.
//
// The box never finishes inside a keyboard or mouse message: those only move the state, and the
// next redraw tick does the work (reads the text, sets the value, destroys the box). What may
// finish a box at once is decided here too: a press in the editor while the user is not typing,
// and the window host's own closing.

class IParam;

// Whether a parameter's box takes character ch (a byte of the typed text, taken as signed): without
// a parameter, or for a parameter of no type, everything but the carriage return of the Enter key
// that commits; for numbers the digits, '+' and '-' ('.' for doubles only) and backspace; every
// other character, control characters included, is refused.
bool TextEntryAcceptsChar(const IParam* pParam, int ch);

// The normalised value that a committed text gives pParam: for enumerations and booleans the index
// of the display text it names (0 when it names none); otherwise the number it begins with,
// negated when the parameter displays negated. False for an empty text, a number text that reads
// as no number ("-", "x") or as one that is not finite ("nan", "inf", "1e999"): such a commit is a
// cancel.
bool TextEntryValue(const IParam* pParam, const char* text, double* pNormalized);

// The edit control's alignment style for a text alignment: left for near, right for far, centred
// otherwise.
int TextEntryAlignStyle(int align);

class ITextEntryState
{
public:
  enum EParamEditMsg
  {
    kNone = 0,     // idle (or no box)
    kEditing = 1,  // the box took the focus back: the user is typing
    kUpdate = 2,   // a tick redrew the editor around the box; the next one returns to kNone
    kCancel = 3,   // close without committing at the next tick
    kCommit = 4    // convert and close at the next tick
  };

  // What a button press in the editor does while a box is open.
  enum EPress
  {
    kPressIgnored,     // typing, middle button: the default procedure has it
    kPressSwallowed,   // typing, left or right button: the box cancels at the next tick
    kPressCancelsBox,  // the box closes at once without committing, then the press acts
    kPressCommitsBox   // a commit is pending: it is done first, then the press acts
  };

  // What a redraw tick does while a box is open.
  enum ETick
  {
    kTickRedraws,  // redraw what is dirty around the box (then OnRedrawnAroundBox)
    kTickRests,    // nothing this tick
    kTickCommits,  // commit and close the box
    kTickCancels   // close the box
  };

  int Get() const { return mState; }
  // While typing, the editor window leaves its messages to the default procedure.
  bool Typing() const { return mState == kEditing; }
  // A commit was asked for and not yet done.
  bool CommitPending() const { return mState == kCommit; }

  void OnBoxFocus() { mState = kEditing; }
  void OnBoxFocusLost() { mState = kCancel; }
  // Enter in the box, or a command notification with code 1.
  void OnEnter() { mState = kCommit; }
  // The wheel over the editor, or the surface told to abandon the edit.
  void OnCancel() { mState = kCancel; }
  EPress OnPress(bool middleButton);
  ETick OnTick();
  void OnRedrawnAroundBox() { mState = kUpdate; }
  // The box is gone (finished, or destroyed with its window).
  void Reset() { mState = kNone; }

private:
  int mState = kNone;
};
