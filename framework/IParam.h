#pragma once
// IParam: one automatable plug-in parameter.
//
// The host and the editor see a parameter as a normalised value in 0..1; the plug-in works with the
// plain value. normalised = ((value - min) / (max - min)) ^ (1 / shape), and back.
//
// Inputs from outside (host, editor, stored state) are not trusted: a normalised value is clamped
// to 0..1 and a NaN or infinite one changes nothing; a plain value is clamped to the range and a NaN
// one changes nothing; an empty range normalises to 0. Texts are copied and formatted with bounds,
// always terminated.

#include "framework/base/HeapBuf.h"

class IParam
{
public:
  enum EParamType
  {
    kTypeNone = 0,
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4
  };

  // Size of names, labels, groups and display texts, terminator included.
  static constexpr int kTextLen = 32;

  struct DisplayText
  {
    int mValue;
    char mText[kTextLen];
  };

  IParam();
  ~IParam() {}

  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Initialisers. The outermost one decides the type; none clamps the default into the range.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "");

  void SetShape(double shape);  // 0 is ignored
  void SetDisplayText(int value, const char* text);

  void Set(double value);
  void SetNormalized(double normalizedValue);
  // The normalised value the parameter holds after SetNormalized(normalizedValue): clamped and,
  // for every type but double, at the nearest step; the current one for a value that is not
  // finite.
  double HeldNormalized(double normalizedValue) const;
  // Whether SetNormalized(normalizedValue) leaves the value as the host reads it: in single
  // precision, as it reads and automates parameters. A stored value need not come back bit for
  // bit through normalised -> plain -> normalised; a difference below that resolution is no change
  // (the host would record a point where nothing moved).
  bool KeepsHostValue(double normalizedValue) const;
  double GetNormalized() const;
  double GetNormalized(double nonNormalizedValue) const;

  double Value() const { return mValue; }
  int Int() const;
  bool Bool() const { return mValue >= 0.5; }
  double DBToAmp() const;
  void GetBounds(double* pMin, double* pMax) const;
  EParamType Type() const { return mType; }
  bool DisplayIsNegated() const { return mDisplayNegated; }
  double GetDefault() const { return mDefault; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }

  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  // Display text of the current value into buffer (bufferSize bytes, terminator included).
  void GetDisplayForHost(char* buffer, int bufferSize = kTextLen) const
  {
    GetDisplayForHost(mValue, false, buffer, true, bufferSize);
  }
  void GetDisplayForHostNoDisplayText(char* buffer, int bufferSize = kTextLen) const
  {
    GetDisplayForHost(mValue, false, buffer, false, bufferSize);
  }
  void GetDisplayForHost(double value, bool normalized, char* buffer, bool withDisplayText = true,
                         int bufferSize = kTextLen) const;

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  const char* GetDisplayText(int value) const;
  // The text of entry idx (empty, value untouched, for an index outside the list).
  const char* GetDisplayTextAtIdx(int idx, int* pValue = nullptr) const;
  bool MapDisplayText(const char* text, int* pValue) const;

private:
  // The plain value SetNormalized holds for normalizedValue; NaN when it keeps the current one.
  double HeldValue(double normalizedValue) const;

  EParamType mType;
  double mValue;
  double mMin;
  double mMax;
  double mStep;
  double mShape;
  double mDefault;
  int mDisplayPrecision;
  char mName[kTextLen];
  char mLabel[kTextLen];
  char mParamGroup[kTextLen];
  bool mDisplayNegated;
  QvTypedBuf<DisplayText> mDisplayTexts;
};

// ((v - min) / (max - min)) ^ (1 / shape); 0 for an empty range.
double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape);
// n ^ shape * (max - min) + min.
double FromNormalizedParam(double normalizedValue, double min, double max, double shape);
// exp(dB * ln(10) / 20).
double DBToAmp(double dB);
