#pragma once

// One plug-in instance as a host sees it: the library it came from, its `AEffect`, and typed calls
// for the dispatcher opcodes, parameter callbacks and processing callbacks.
//
// Text answers are read from buffers far larger than the interface's limits and cut at the
// buffer's end, so a plug-in that writes too much neither overruns the host nor leaves text
// unterminated. `close` (effClose) ends the instance; the destructor closes it when still open,
// suspending it first when resumed, and releases the library last.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/vst/abi/aeffect.h"
#include "tools/vsthost/event_list.h"
#include "tools/vsthost/plugin_library.h"

namespace vsthost {

class VstHost;

enum class ProcessCall
{
  Replacing,
  Accumulating,
  Double
};

// "replacing", "accumulating", "double".
bool parseProcessCall(const std::string& text, ProcessCall* out);
const char* processCallName(ProcessCall call);

class PluginInstance
{
public:
  // Loads the library and calls its entry point. Null on failure (no library, no entry point, a
  // null record, a wrong magic), with the reason in *error.
  static std::unique_ptr<PluginInstance> load(VstHost& host, const std::string& path,
                                              std::string* error);
  // Calls the library's entry point; null on failure as for `load`.
  static std::unique_ptr<PluginInstance>
  create(VstHost& host, std::unique_ptr<PluginLibrary> library, std::string* error);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  VstHost& host() { return mHost; }
  AEffect* effect() const { return mEffect; }  // null after close
  const PluginLibrary& library() const { return *mLibrary; }

  // Any opcode; 0 once closed.
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  // Lifecycle.
  void open();
  void close();
  void setSampleRate(double rate);
  void setBlockSize(int frames);
  void resume();   // effMainsChanged 1, then effStartProcess
  void suspend();  // effStopProcess, then effMainsChanged 0
  bool resumed() const { return mResumed; }
  double sampleRate() const { return mSampleRate; }
  int blockSize() const { return mBlockSize; }

  // Parameters.
  int numParams() const { return mEffect ? mEffect->numParams : 0; }
  float getParameter(int index);
  void setParameter(int index, float value);
  std::string paramName(int index);
  std::string paramLabel(int index);
  std::string paramDisplay(int index);
  VstIntPtr stringToParameter(int index, const std::string& text);

  // Programs.
  int numPrograms() const { return mEffect ? mEffect->numPrograms : 0; }
  int program();
  void setProgram(int index);
  std::string programName();
  void setProgramName(const std::string& name);
  // The answer of effGetProgramNameIndexed; the name in *name.
  VstIntPtr programNameIndexed(int index, std::string* name);

  // Identity.
  std::string effectName();
  std::string vendorString();
  std::string productString();
  VstIntPtr vendorVersion();
  VstIntPtr vstVersion();
  VstIntPtr category();
  VstIntPtr canDo(const std::string& capability);

  // State: program (true) or bank (false). The answer of effGetChunk in *answer when given.
  std::vector<uint8_t> getChunk(bool program, VstIntPtr* answer = nullptr);
  VstIntPtr setChunk(bool program, const std::vector<uint8_t>& bytes);

  // effProcessEvents with the list's events; the list must live until the next block is done.
  VstIntPtr sendEvents(EventList& events);

  // Processing. `supports` checks both the flag and the callback pointer.
  bool supports(ProcessCall call) const;
  void processFloat(ProcessCall call, float** inputs, float** outputs, int frames);
  void processDouble(double** inputs, double** outputs, int frames);
  bool inProcess() const { return mInProcess; }

private:
  PluginInstance(VstHost& host, std::unique_ptr<PluginLibrary> library);
  std::string textOpcode(VstInt32 opcode, VstInt32 index = 0);

  VstHost& mHost;
  std::unique_ptr<PluginLibrary> mLibrary;  // released after the instance is closed
  AEffect* mEffect = nullptr;
  double mSampleRate = 44100.0;
  int mBlockSize = 1024;
  bool mResumed = false;
  bool mInProcess = false;
};

}  // namespace vsthost
