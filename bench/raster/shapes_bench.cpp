// Lines, polygons, circles and curves on a 1024 x 1024 bitmap, each against Cairo drawing the same
// work into the same pixels in the same run (Cairo aliased where ours is, one-pixel strokes for
// outlines, pixel centres at +0.5). Work per iteration: 100k lines of 50 to 200 pixels, 20k float
// lines, circle sets per radius, 1000 convex polygons of about 10k pixels, 2000 cubic curves.
#include "raster/px_arc.h"
#include "raster/px_line.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#if QV_HAVE_CAIRO
#include <cairo.h>
#endif

namespace {

constexpr int kSize = 1024;
const PX_pixel kColor = 0xFF3080C0u;

uint32_t Next(uint32_t& s)
{
  s ^= s << 13, s ^= s >> 17, s ^= s << 5;
  return s;
}
float Uniform(uint32_t& s, float lo, float hi)
{
  return lo + (hi - lo) * (float)(Next(s) % 1000000) / 1000000.0f;
}

struct Seg
{
  float x1, y1, x2, y2;
};

// Random segments of 50 to 200 pixels inside the bitmap.
std::vector<Seg> Segments(int n, bool whole)
{
  std::vector<Seg> v;
  uint32_t s = 0x1234567u;
  while ((int)v.size() < n)
  {
    const float x = Uniform(s, 0, kSize - 1), y = Uniform(s, 0, kSize - 1);
    const float len = Uniform(s, 50, 200), a = Uniform(s, 0, 6.2831853f);
    Seg g = {x, y, x + len * std::cos(a), y + len * std::sin(a)};
    if (g.x2 < 0 || g.y2 < 0 || g.x2 > kSize - 1 || g.y2 > kSize - 1)
      continue;
    if (whole)
      g = {std::floor(g.x1), std::floor(g.y1), std::floor(g.x2), std::floor(g.y2)};
    v.push_back(g);
  }
  return v;
}

struct Poly
{
  std::vector<int> x, y;
};

// Convex polygons of n points on circles of about 10k pixels.
std::vector<Poly> Polygons(int n, int count)
{
  std::vector<Poly> v;
  uint32_t s = 0xBADC0DEu;
  // A regular n-gon of circumradius R has area n R^2 sin(2 pi / n) / 2.
  const double R = std::sqrt(2 * 10000.0 / (n * std::sin(6.283185307 / n)));
  for (int k = 0; k < count; ++k)
  {
    const float cx = Uniform(s, (float)R, kSize - 1 - (float)R),
                cy = Uniform(s, (float)R, kSize - 1 - (float)R), a0 = Uniform(s, 0, 6.28f);
    Poly p;
    for (int i = 0; i < n; ++i)
    {
      const double a = a0 + i * 6.283185307 / n;
      p.x.push_back((int)std::lround(cx + R * std::cos(a)));
      p.y.push_back((int)std::lround(cy + R * std::sin(a)));
    }
    v.push_back(p);
  }
  return v;
}

struct Target
{
  PX_MemBitmap bm{kSize, kSize, 0};
#if QV_HAVE_CAIRO
  cairo_surface_t* surface;
  cairo_t* cr;
  Target(bool aa)
  {
    surface = cairo_image_surface_create_for_data((unsigned char*)bm.getBits(), CAIRO_FORMAT_ARGB32,
                                                  kSize, kSize, bm.getRowSpan() * 4);
    cr = cairo_create(surface);
    cairo_set_antialias(cr, aa ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, 1.0);
  }
  ~Target()
  {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  void color(float alpha)
  {
    cairo_set_source_rgba(cr, PX_GETR(kColor) / 255.0, PX_GETG(kColor) / 255.0,
                          PX_GETB(kColor) / 255.0, alpha);
  }
#else
  explicit Target(bool) {}
#endif
};

// Per-iteration counters: items are the shapes drawn.
void Items(benchmark::State& state, size_t n)
{
  state.SetItemsProcessed(state.iterations() * (int64_t)n);
}

// ---------------------------------------------------------------------------------------------
// Lines. Args: anti-aliased (0/1), alpha x 100.

void BM_Lines(benchmark::State& state)
{
  const bool aa = state.range(0);
  const float alpha = state.range(1) / 100.0f;
  const std::vector<Seg> segs = Segments(100000, true);
  Target t(aa);
  for (auto _ : state)
    for (const Seg& g : segs)
      PX_Line(&t.bm, (int)g.x1, (int)g.y1, (int)g.x2, (int)g.y2, kColor, alpha, PX_MODE_COPY, aa);
  Items(state, segs.size());
}

void BM_FLines(benchmark::State& state)
{
  const std::vector<Seg> segs = Segments(20000, false);
  Target t(true);
  for (auto _ : state)
    for (const Seg& g : segs)
      PX_FLine(&t.bm, g.x1, g.y1, g.x2, g.y2, kColor, 1.0f, PX_MODE_COPY, true);
  Items(state, segs.size());
}

// ---------------------------------------------------------------------------------------------
// Circles. Args: radius, filled (0/1), anti-aliased (0/1).

int CircleCount(int r) { return r <= 10 ? 20000 : r <= 50 ? 2000 : 200; }

std::vector<Seg> Centres(int r)
{
  std::vector<Seg> v;
  uint32_t s = 0xC1C1Eu;
  for (int i = 0; i < CircleCount(r); ++i)
    v.push_back({(float)(int)Uniform(s, (float)r + 1, (float)(kSize - r - 2)),
                 (float)(int)Uniform(s, (float)r + 1, (float)(kSize - r - 2)), 0, 0});
  return v;
}

void BM_Circles(benchmark::State& state)
{
  const float r = (float)state.range(0);
  const bool fill = state.range(1), aa = state.range(2);
  const std::vector<Seg> c = Centres((int)r);
  Target t(aa);
  for (auto _ : state)
    for (const Seg& p : c)
      (fill ? PX_FillCircle : PX_Circle)(&t.bm, p.x1, p.y1, r, kColor, 1.0f, PX_MODE_COPY, aa);
  Items(state, c.size());
}

void CircleArgs(benchmark::internal::Benchmark* b)
{
  for (int r : {2, 10, 50, 200})
    for (int fill : {0, 1})
      for (int aa : {0, 1})
        b->Args({r, fill, aa});
}

// ---------------------------------------------------------------------------------------------
// Convex polygons of 3, 8 and 64 points, about 10k pixels each. Arg: points.

void BM_Polygons(benchmark::State& state)
{
  const std::vector<Poly> polys = Polygons((int)state.range(0), 1000);
  Target t(false);
  for (auto _ : state)
    for (const Poly& p : polys)
      PX_FillConvexPolygon(&t.bm, p.x.data(), p.y.data(), (int)p.x.size(), kColor, 1.0f,
                           PX_MODE_COPY);
  Items(state, polys.size());
}

// ---------------------------------------------------------------------------------------------
// Cubic curves from the line segments with control points off to the side. Arg: anti-aliased.

std::vector<float> Curves()
{
  std::vector<float> v;
  uint32_t s = 0xCBE2u;
  for (const Seg& g : Segments(2000, false))
  {
    const float d = Uniform(s, -60, 60);
    v.insert(v.end(),
             {g.x1, g.y1, g.x1 + (g.x2 - g.x1) / 3 - d, g.y1 + (g.y2 - g.y1) / 3 + d,
              g.x1 + 2 * (g.x2 - g.x1) / 3 + d, g.y1 + 2 * (g.y2 - g.y1) / 3 - d, g.x2, g.y2});
  }
  return v;
}

void BM_CBeziers(benchmark::State& state)
{
  const bool aa = state.range(0);
  const std::vector<float> c = Curves();
  Target t(aa);
  for (auto _ : state)
    for (size_t i = 0; i < c.size(); i += 8)
      PX_DrawCBezier(&t.bm, c[i], c[i + 1], c[i + 2], c[i + 3], c[i + 4], c[i + 5], c[i + 6],
                     c[i + 7], kColor, 1.0f, PX_MODE_COPY, aa, 4.0f);
  Items(state, c.size() / 8);
}

BENCHMARK(BM_Lines)->Args({0, 100})->Args({0, 50})->Args({1, 100})->Args({1, 50})->Unit(
  benchmark::kMillisecond);
BENCHMARK(BM_FLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Circles)->Apply(CircleArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Polygons)->Arg(3)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CBeziers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

#if QV_HAVE_CAIRO
// The same work through Cairo.

// Each segment stroked on its own, through pixel centres, as the library draws them one call each.
void StrokeSegments(benchmark::State& state, Target& t, const std::vector<Seg>& segs)
{
  for (auto _ : state)
    for (const Seg& g : segs)
    {
      cairo_move_to(t.cr, g.x1 + 0.5, g.y1 + 0.5);
      cairo_line_to(t.cr, g.x2 + 0.5, g.y2 + 0.5);
      cairo_stroke(t.cr);
    }
  Items(state, segs.size());
}

void BM_CairoLines(benchmark::State& state)
{
  const bool aa = state.range(0);
  const float alpha = state.range(1) / 100.0f;
  Target t(aa);
  t.color(alpha);
  StrokeSegments(state, t, Segments(100000, true));
}

void BM_CairoFLines(benchmark::State& state)
{
  Target t(true);
  t.color(1.0f);
  StrokeSegments(state, t, Segments(20000, false));
}

void BM_CairoCircles(benchmark::State& state)
{
  const double r = (double)state.range(0);
  const bool fill = state.range(1), aa = state.range(2);
  const std::vector<Seg> c = Centres((int)r);
  Target t(aa);
  t.color(1.0f);
  for (auto _ : state)
    for (const Seg& p : c)
    {
      cairo_new_sub_path(t.cr);
      cairo_arc(t.cr, p.x1 + 0.5, p.y1 + 0.5, r, 0, 2 * M_PI);
      if (fill)
        cairo_fill(t.cr);
      else
        cairo_stroke(t.cr);
    }
  Items(state, c.size());
}

void BM_CairoPolygons(benchmark::State& state)
{
  const std::vector<Poly> polys = Polygons((int)state.range(0), 1000);
  Target t(false);
  t.color(1.0f);
  for (auto _ : state)
    for (const Poly& p : polys)
    {
      for (size_t i = 0; i < p.x.size(); ++i)
        cairo_line_to(t.cr, p.x[i] + 0.5, p.y[i] + 0.5);
      cairo_close_path(t.cr);
      cairo_fill(t.cr);
    }
  Items(state, polys.size());
}

void BM_CairoCBeziers(benchmark::State& state)
{
  const bool aa = state.range(0);
  const std::vector<float> c = Curves();
  Target t(aa);
  t.color(1.0f);
  for (auto _ : state)
    for (size_t i = 0; i < c.size(); i += 8)
    {
      cairo_move_to(t.cr, c[i] + 0.5, c[i + 1] + 0.5);
      cairo_curve_to(t.cr, c[i + 2] + 0.5, c[i + 3] + 0.5, c[i + 4] + 0.5, c[i + 5] + 0.5,
                     c[i + 6] + 0.5, c[i + 7] + 0.5);
      cairo_stroke(t.cr);
    }
  Items(state, c.size() / 8);
}

BENCHMARK(BM_CairoLines)
  ->Args({0, 100})
  ->Args({0, 50})
  ->Args({1, 100})
  ->Args({1, 50})
  ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoFLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoCircles)->Apply(CircleArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoPolygons)->Arg(3)->Arg(8)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoCBeziers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
