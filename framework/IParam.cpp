#include "framework/IParam.h"

#include "framework/base/StrCopy.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// The value as an int, truncated toward zero; clamped first because casting an out-of-range or
// NaN double is undefined.
int ClampToInt(double v)
{
  if (std::isnan(v))
    return 0;
  if (v >= (double)INT_MAX)
    return INT_MAX;
  if (v <= (double)INT_MIN)
    return INT_MIN;
  return (int)v;
}

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

IParam::IParam()
  : mType(kTypeNone)
  , mValue(0.0)
  , mMin(0.0)
  , mMax(1.0)
  , mStep(1.0)
  , mShape(1.0)
  , mDefault(0.0)
  , mDisplayPrecision(0)
  , mDisplayNegated(false)
  , mDisplayTexts(4096)
{
  mName[0] = mLabel[0] = mParamGroup[0] = '\0';
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, group);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, group);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeInt;
  InitDouble(name, (double)defaultVal, (double)minVal, (double)maxVal, 1.0, label, group);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeDouble;
  StrCopyBounded(mName, kTextLen, name);
  StrCopyBounded(mLabel, kTextLen, label);
  StrCopyBounded(mParamGroup, kTextLen, group);
  mValue = defaultVal;
  mMin = minVal;
  mMax = maxVal > minVal + step ? maxVal : minVal + step;
  mStep = step;
  mDefault = defaultVal;

  // As many decimals as the step has, at most 6.
  mDisplayPrecision = 0;
  for (double s = step; mDisplayPrecision <= 5 && std::floor(s) != s; s *= 10.0)
    ++mDisplayPrecision;
}

void IParam::SetShape(double shape)
{
  if (shape != 0.0)
    mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text)
{
  DisplayText dt;
  dt.mValue = value;
  StrCopyBounded(dt.mText, kTextLen, text);
  mDisplayTexts.Add(dt);
}

void IParam::Set(double value)
{
  if (std::isnan(value))
    return;
  mValue = Clamp(value, mMin, mMax);
}

double IParam::HeldValue(double normalizedValue) const
{
  if (!std::isfinite(normalizedValue))
    return NAN;
  double v = FromNormalizedParam(Clamp(normalizedValue, 0.0, 1.0), mMin, mMax, mShape);
  if (mType != kTypeDouble && mStep > 0.0)
    v = std::floor(0.5 + v / mStep) * mStep;
  return std::isnan(v) ? v : Clamp(v, mMin, mMax);
}

void IParam::SetNormalized(double normalizedValue)
{
  const double v = HeldValue(normalizedValue);
  if (!std::isnan(v))
    mValue = v;
}

// GetNormalized takes NaN for the current value.
double IParam::HeldNormalized(double normalizedValue) const
{
  return GetNormalized(HeldValue(normalizedValue));
}

bool IParam::KeepsHostValue(double normalizedValue) const
{
  return (float)HeldNormalized(normalizedValue) == (float)GetNormalized();
}

double IParam::GetNormalized() const { return GetNormalized(mValue); }

double IParam::GetNormalized(double nonNormalizedValue) const
{
  const double v = std::isnan(nonNormalizedValue) ? mValue : nonNormalizedValue;
  const double n = ToNormalizedParam(Clamp(v, mMin, mMax), mMin, mMax, mShape);
  return std::isnan(n) ? 0.0 : n;
}

int IParam::Int() const { return ClampToInt(mValue); }

double IParam::DBToAmp() const { return ::DBToAmp(mValue); }

void IParam::GetBounds(double* pMin, double* pMax) const
{
  if (pMin)
    *pMin = mMin;
  if (pMax)
    *pMax = mMax;
}

const char* IParam::GetLabelForHost() const
{
  const char* displayText = GetDisplayText(Int());
  return displayText[0] ? "" : mLabel;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* buffer, bool withDisplayText,
                               int bufferSize) const
{
  if (!buffer || bufferSize < 1)
    return;
  if (normalized)
  {
    if (std::isnan(value))
      value = 0.0;
    value = FromNormalizedParam(Clamp(value, 0.0, 1.0), mMin, mMax, mShape);
  }
  if (withDisplayText)
  {
    const char* t = GetDisplayText(ClampToInt(value));
    if (t[0])
    {
      StrCopyBounded(buffer, bufferSize, t);
      return;
    }
  }
  const double v = mDisplayNegated ? -value : value;
  int n;
  if (mDisplayPrecision)
    n = snprintf(buffer, (size_t)bufferSize, "%.*f", mDisplayPrecision, v);
  else
    n = snprintf(buffer, (size_t)bufferSize, "%d", ClampToInt(v));
  if (n < 0)
    buffer[0] = '\0';
}

const char* IParam::GetDisplayText(int value) const
{
  const DisplayText* texts = mDisplayTexts.Get();
  for (int i = 0, n = mDisplayTexts.GetSize(); i < n; ++i)
    if (texts[i].mValue == value)
      return texts[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* pValue) const
{
  if (idx < 0 || idx >= mDisplayTexts.GetSize())
    return "";
  const DisplayText& dt = mDisplayTexts.Get()[idx];
  if (pValue)
    *pValue = dt.mValue;
  return dt.mText;
}

bool IParam::MapDisplayText(const char* text, int* pValue) const
{
  if (!text)
    return false;
  const DisplayText* texts = mDisplayTexts.Get();
  for (int i = 0, n = mDisplayTexts.GetSize(); i < n; ++i)
  {
    if (!strcmp(texts[i].mText, text))
    {
      if (pValue)
        *pValue = texts[i].mValue;
      return true;
    }
  }
  return false;
}

double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape)
{
  if (max == min)
    return 0.0;
  return std::pow((nonNormalizedValue - min) / (max - min), 1.0 / shape);
}

double FromNormalizedParam(double normalizedValue, double min, double max, double shape)
{
  return std::pow(normalizedValue, shape) * (max - min) + min;
}

double DBToAmp(double dB) { return std::exp(dB * 0.1151292546497); }
