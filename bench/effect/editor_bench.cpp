// The editor's drawing costs on the platform's surface (no window open): a full repaint of the 664 x 472 editor
// against a plain copy of a frame that size, a timer tick with nothing to redraw, and building an
// instance with its editor from a cold bitmap cache (every PNG decoded) and from a warm one.
//
//   editor_bench [--benchmark_filter=...]
#include "effect/Quorvalent.h"
#include "gui/IGraphicsHeadless.h"
#include "raster/px.h"
#include "resources/resource.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<Quorvalent> NewInstance()
{
  return std::unique_ptr<Quorvalent>(new Quorvalent(PluginInstanceInfo{nullptr}));
}

IGraphics* EditorOf(Quorvalent& plug) { return plug.GetGUI(); }

// A redraw timer tick and the paint it asks for; true when anything was redrawn.
bool Tick(IGraphics* g)
{
  IRECT r;
  if (!g->IsDirty(&r))
    return false;
  g->Draw(&r);
  return true;
}

void BM_FullRepaint(benchmark::State& state)
{
  auto plug = NewInstance();
  IGraphics* g = EditorOf(*plug);
  IRECT all(0, 0, g->Width(), g->Height());
  for (auto _ : state)
  {
    g->Draw(&all);
    benchmark::DoNotOptimize(g->GetBits());
  }
}
BENCHMARK(BM_FullRepaint);

void BM_FullFrameCopy(benchmark::State& state)
{
  PX_MemBitmap frame(664, 472);
  PX_Clear(&frame, 0xFF202020u);
  PX_SysBitmap screen(664, 472);
  for (auto _ : state)
  {
    PX_Blit(&screen, &frame, 0, 0, nullptr, 1.0f, PX_MODE_COPY);
    benchmark::DoNotOptimize(screen.getBits());
  }
}
BENCHMARK(BM_FullFrameCopy);

void BM_IdleTickNothingDirty(benchmark::State& state)
{
  auto plug = NewInstance();
  IGraphics* g = EditorOf(*plug);
  while (Tick(g))
  {}
  for (auto _ : state)
    benchmark::DoNotOptimize(Tick(g));
}
BENCHMARK(BM_IdleTickNothingDirty);

// Every bitmap of the editor out of the cache, so that the next editor decodes them again.
void EmptyTheCache()
{
  IGraphicsHeadless spare(nullptr, 1, 1);
  const struct
  {
    int id;
    const char* name;
  } bitmaps[] = {{KNOB_ID, KNOB_FN},
                 {BIGBUTTON_ID, BIGBUTTON_FN},
                 {BG_ID, BG_FN},
                 {TYPESELECTOR_ID, TYPESELECTOR_FN},
                 {SBUTTON_ID, SBUTTON_FN},
                 {STEPBUTTON_ID, STEPBUTTON_FN},
                 {LED_ID, LED_FN},
                 {KNOB8_ID, KNOB8_FN},
                 {MIXER9_ID, MIXER9_FN},
                 {MIXER15_ID, MIXER15_FN},
                 {MIXERCONT_ID, MIXERCONT_FN}};
  for (const auto& b : bitmaps)
  {
    IBitmap cached = spare.LoadIBitmap(b.id, b.name);
    spare.ReleaseBitmap(&cached);
  }
}

void BM_BuildEditorCold(benchmark::State& state)
{
  for (auto _ : state)
  {
    state.PauseTiming();
    EmptyTheCache();
    state.ResumeTiming();
    auto plug = NewInstance();
    benchmark::DoNotOptimize(plug->GetGUI());
    state.PauseTiming();
    plug.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildEditorCold)->Unit(benchmark::kMillisecond);

void BM_BuildEditorWarm(benchmark::State& state)
{
  auto first = NewInstance();  // fills the cache
  for (auto _ : state)
  {
    auto plug = NewInstance();
    benchmark::DoNotOptimize(plug->GetGUI());
    state.PauseTiming();
    plug.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildEditorWarm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
