// The audio thread allocates nothing: processing blocks (each callback) and taking MIDI events
// make no allocation through operator new, which this program replaces to count (leaving out the
// host's own work inside its callbacks).
#include "tests/support/QuorvalentHost.h"
#include "tools/vsthost/alloc_probe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> gAllocations{0};
std::atomic<bool> gCounting{false};

void* allocate(std::size_t n)
{
  if (gCounting.load(std::memory_order_relaxed) && !vsthost::AllocProbePause::active())
    gAllocations.fetch_add(1);
  if (void* p = std::malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
  try
  {
    return allocate(n);
  }
  catch (...)
  {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept
{
  return operator new(n, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(QuorvalentAllocation, ProcessingAndMidiIntakeAllocateNothing)
{
  for (const int program : {0, 24, 21})
  {
    SCOPED_TRACE(testing::Message() << "program " << program);
    QuorvalentHost host(48000.0, 512);
    host.selectProgram(program);
    host.setParam(kStepMode, program == 21);  // MIDI mode for one of them

    // A block's worth of note-ons and note-offs, built beforehand.
    std::vector<VstMidiEvent> notes(64);
    std::vector<unsigned char> list(sizeof(VstEvents) + notes.size() * sizeof(VstEvent*));
    VstEvents* pList = reinterpret_cast<VstEvents*>(list.data());
    pList->numEvents = (VstInt32)notes.size();
    for (size_t i = 0; i < notes.size(); ++i)
    {
      notes[i] = VstMidiEvent{};
      notes[i].type = kVstMidiType;
      notes[i].byteSize = sizeof(VstMidiEvent);
      notes[i].deltaFrames = (VstInt32)(i * 8);
      notes[i].midiData[0] = (char)(i % 2 ? 0x80 : 0x90);
      notes[i].midiData[1] = (char)(60 + i % 5);
      notes[i].midiData[2] = 100;
      pList->events[i] = reinterpret_cast<VstEvent*>(&notes[i]);
    }
    std::vector<double> d(512, 0.25);
    std::vector<float> f(512, 0.25f);
    double* dio[2] = {d.data(), d.data()};
    float* fio[2] = {f.data(), f.data()};
    AEffect* e = host.effect();

    gAllocations = 0;
    gCounting = true;
    for (int block = 0; block < 400; ++block)
    {
      if (block % 4 == 0)
        e->dispatcher(e, effProcessEvents, 0, 0, pList, 0.0f);
      if (block % 3 == 0)
        e->processDoubleReplacing(e, dio, dio, 512);
      else
        (block % 3 == 1 ? e->processReplacing : e->process)(e, fio, fio, 512);
      host.transport.pos += 512;
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
  }
}
