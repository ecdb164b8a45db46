#include "tools/vsthost/plugin_instance.h"

#include <cstring>

#include "framework/vst/abi/opcodes.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/text_util.h"
#include "tools/vsthost/vst_host.h"

namespace vsthost {
namespace {

// Generous room for texts the interface limits to 8 to 64 bytes.
constexpr size_t kTextBuffer = 1024;

// Marks the instance as inside a processing callback for the host's process-level answer.
class ProcessScope
{
public:
  explicit ProcessScope(bool& flag)
    : mFlag(flag)
  {
    mFlag = true;
  }
  ~ProcessScope() { mFlag = false; }

private:
  bool& mFlag;
};

}  // namespace

bool parseProcessCall(const std::string& text, ProcessCall* out)
{
  if (text == "replacing")
    *out = ProcessCall::Replacing;
  else if (text == "accumulating")
    *out = ProcessCall::Accumulating;
  else if (text == "double")
    *out = ProcessCall::Double;
  else
    return false;
  return true;
}

const char* processCallName(ProcessCall call)
{
  switch (call)
  {
    case ProcessCall::Replacing:
      return "replacing";
    case ProcessCall::Accumulating:
      return "accumulating";
    case ProcessCall::Double:
      return "double";
  }
  return "";
}

PluginInstance::PluginInstance(VstHost& host, std::unique_ptr<PluginLibrary> library)
  : mHost(host)
  , mLibrary(std::move(library))
{}

std::unique_ptr<PluginInstance> PluginInstance::load(VstHost& host, const std::string& path,
                                                     std::string* error)
{
  std::unique_ptr<PluginLibrary> library = PluginLibrary::open(path, error);
  if (!library)
    return nullptr;
  return create(host, std::move(library), error);
}

std::unique_ptr<PluginInstance>
PluginInstance::create(VstHost& host, std::unique_ptr<PluginLibrary> library, std::string* error)
{
  std::unique_ptr<PluginInstance> instance(new PluginInstance(host, std::move(library)));
  AEffect* effect = nullptr;
  {
    CreationScope scope(instance.get());
    effect = instance->mLibrary->entry()(&hostCallback);
  }
  if (!effect)
  {
    if (error)
      *error = "the entry point returned no instance";
    return nullptr;
  }
  if (effect->magic != kEffectMagic)
  {
    // Not a record we can trust to hold a dispatcher: leave it alone.
    if (error)
      *error = "the instance record has a wrong magic number";
    return nullptr;
  }
  instance->mEffect = effect;
  registerInstance(effect, instance.get());
  return instance;
}

PluginInstance::~PluginInstance()
{
  if (mEffect && mResumed)
    suspend();
  close();
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt)
{
  if (!mEffect || !mEffect->dispatcher)
    return 0;
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void PluginInstance::open() { dispatch(effOpen); }

void PluginInstance::close()
{
  if (!mEffect)
    return;
  AEffect* effect = mEffect;
  dispatch(effClose);
  mEffect = nullptr;
  mResumed = false;
  unregisterInstance(effect);
}

void PluginInstance::setSampleRate(double rate)
{
  mSampleRate = rate;
  dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

void PluginInstance::setBlockSize(int frames)
{
  mBlockSize = frames;
  dispatch(effSetBlockSize, 0, frames);
}

void PluginInstance::resume()
{
  dispatch(effMainsChanged, 0, 1);
  dispatch(effStartProcess);
  mResumed = true;
}

void PluginInstance::suspend()
{
  dispatch(effStopProcess);
  dispatch(effMainsChanged, 0, 0);
  mResumed = false;
}

float PluginInstance::getParameter(int index)
{
  if (!mEffect || !mEffect->getParameter)
    return 0.0f;
  return mEffect->getParameter(mEffect, index);
}

void PluginInstance::setParameter(int index, float value)
{
  if (mEffect && mEffect->setParameter)
    mEffect->setParameter(mEffect, index, value);
}

std::string PluginInstance::textOpcode(VstInt32 opcode, VstInt32 index)
{
  char buffer[kTextBuffer] = {};
  dispatch(opcode, index, 0, buffer);
  return fromBuffer(buffer, sizeof buffer);
}

std::string PluginInstance::paramName(int index) { return textOpcode(effGetParamName, index); }
std::string PluginInstance::paramLabel(int index) { return textOpcode(effGetParamLabel, index); }
std::string PluginInstance::paramDisplay(int index)
{
  return textOpcode(effGetParamDisplay, index);
}

VstIntPtr PluginInstance::stringToParameter(int index, const std::string& text)
{
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  return dispatch(effString2Parameter, index, 0, buffer.data());
}

int PluginInstance::program() { return static_cast<int>(dispatch(effGetProgram)); }
void PluginInstance::setProgram(int index) { dispatch(effSetProgram, 0, index); }
std::string PluginInstance::programName() { return textOpcode(effGetProgramName); }

void PluginInstance::setProgramName(const std::string& name)
{
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  dispatch(effSetProgramName, 0, 0, buffer.data());
}

VstIntPtr PluginInstance::programNameIndexed(int index, std::string* name)
{
  char buffer[kTextBuffer] = {};
  const VstIntPtr answer = dispatch(effGetProgramNameIndexed, index, -1, buffer);
  *name = fromBuffer(buffer, sizeof buffer);
  return answer;
}

std::string PluginInstance::effectName() { return textOpcode(effGetEffectName); }
std::string PluginInstance::vendorString() { return textOpcode(effGetVendorString); }
std::string PluginInstance::productString() { return textOpcode(effGetProductString); }
VstIntPtr PluginInstance::vendorVersion() { return dispatch(effGetVendorVersion); }
VstIntPtr PluginInstance::vstVersion() { return dispatch(effGetVstVersion); }
VstIntPtr PluginInstance::category() { return dispatch(effGetPlugCategory); }

VstIntPtr PluginInstance::canDo(const std::string& capability)
{
  std::vector<char> buffer(capability.begin(), capability.end());
  buffer.push_back('\0');
  return dispatch(effCanDo, 0, 0, buffer.data());
}

std::vector<uint8_t> PluginInstance::getChunk(bool program, VstIntPtr* answer)
{
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (answer)
    *answer = size;
  if (size <= 0 || !data)
    return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

VstIntPtr PluginInstance::setChunk(bool program, const std::vector<uint8_t>& bytes)
{
  // The plug-in reads the bytes during the call only; a copy keeps the caller's data untouched.
  std::vector<uint8_t> copy(bytes);
  if (copy.empty())
    copy.push_back(0);
  return dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), copy.data());
}

VstIntPtr PluginInstance::sendEvents(EventList& events)
{
  return dispatch(effProcessEvents, 0, 0, events.vstEvents());
}

bool PluginInstance::supports(ProcessCall call) const
{
  if (!mEffect)
    return false;
  switch (call)
  {
    case ProcessCall::Replacing:
      return mEffect->processReplacing && (mEffect->flags & effFlagsCanReplacing);
    case ProcessCall::Accumulating:
      return mEffect->process != nullptr;
    case ProcessCall::Double:
      return mEffect->processDoubleReplacing && (mEffect->flags & effFlagsCanDoubleReplacing);
  }
  return false;
}

void PluginInstance::processFloat(ProcessCall call, float** inputs, float** outputs, int frames)
{
  if (!supports(call) || call == ProcessCall::Double)
    return;
  ProcessScope scope(mInProcess);
  if (call == ProcessCall::Replacing)
    mEffect->processReplacing(mEffect, inputs, outputs, frames);
  else
    mEffect->process(mEffect, inputs, outputs, frames);
}

void PluginInstance::processDouble(double** inputs, double** outputs, int frames)
{
  if (!supports(ProcessCall::Double))
    return;
  ProcessScope scope(mInProcess);
  mEffect->processDoubleReplacing(mEffect, inputs, outputs, frames);
}

}  // namespace vsthost
