#include "tests/hosts/render_marks.h"

#include <algorithm>
#include <cmath>

namespace hostcheck {
namespace {

constexpr int kFade = 19;  // samples of the fade before the one at which the gain reaches zero

// How far the 19 samples from `start` are from a fade of the level just before it; < 0 when the
// level is too low to tell.
double fadeError(const std::vector<double>& y, size_t start)
{
  const double level = y[start - 1];
  if (std::fabs(level) < 0.01)
    return -1.0;
  double worst = 0.0;
  for (int k = 0; k < kFade; ++k)
    worst = std::max(worst, std::fabs(y[start + k] / level - (0.95 - 0.05 * k)));
  return worst;
}

}  // namespace

std::vector<int64_t> findStepStarts(const std::vector<double>& y)
{
  std::vector<int64_t> starts;
  for (size_t i = 1; i + kFade < y.size(); ++i)
  {
    const double e = fadeError(y, i);
    if (e < 0.0 || e > 0.03)
      continue;
    // Of neighbouring candidates, the one that fits best.
    size_t best = i;
    for (size_t j = i + 1; j < i + 4 && j + kFade < y.size(); ++j)
    {
      const double ej = fadeError(y, j);
      if (ej >= 0.0 && ej < fadeError(y, best))
        best = j;
    }
    starts.push_back(static_cast<int64_t>(best));
    i = best + kFade;
  }
  return starts;
}

bool stepStartNear(const std::vector<double>& y, int64_t at, int64_t tolerance)
{
  for (int64_t p = std::max<int64_t>(at - tolerance, 1); p <= at + tolerance; ++p)
  {
    if (static_cast<size_t>(p) + kFade >= y.size())
      break;
    const double e = fadeError(y, static_cast<size_t>(p));
    if (e >= 0.0 && e <= 0.1)
      return true;
  }
  return false;
}

bool restartNear(const std::vector<double>& y, int64_t at, int64_t tolerance)
{
  for (int64_t p = std::max<int64_t>(at - tolerance, 1); p <= at + tolerance; ++p)
    if (static_cast<size_t>(p) < y.size() && std::fabs(y[p]) < 0.05 * std::fabs(y[p - 1]))
      return true;
  return false;
}

std::vector<int64_t> findRestarts(const std::vector<double>& y, double floor)
{
  std::vector<int64_t> marks;
  for (size_t i = 1; i < y.size(); ++i)
    if (std::fabs(y[i - 1]) >= floor && std::fabs(y[i]) < 0.01 * std::fabs(y[i - 1]))
      marks.push_back(static_cast<int64_t>(i));
  return marks;
}

}  // namespace hostcheck
