#include "tools/vsthost/alloc_probe.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QV_ALLOC_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QV_ALLOC_HOOKS 1
#endif
#endif

#if QV_ALLOC_HOOKS
// The sanitizer runtimes' allocator interface (GCC ships the runtime without its header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

namespace vsthost {
namespace {

// Plain integers in static thread-local storage: the hook runs inside the allocator and must
// neither allocate nor lock.
thread_local int tArmed = 0;
thread_local int tPaused = 0;
thread_local uint64_t tCount = 0;

#if QV_ALLOC_HOOKS
void onMalloc(const volatile void*, size_t)
{
  if (tArmed > 0 && tPaused == 0)
    ++tCount;
}

void onFree(const volatile void*) {}

// The runtimes take both hooks or none.
const bool gHooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
#else
const bool gHooked = false;
#endif

}  // namespace

bool AllocProbe::available() { return gHooked; }

AllocProbe::AllocProbe()
  : mStart(tCount)
{
  ++tArmed;
}

AllocProbe::~AllocProbe() { --tArmed; }

uint64_t AllocProbe::count() const { return tCount - mStart; }

AllocProbePause::AllocProbePause() { ++tPaused; }
AllocProbePause::~AllocProbePause() { --tPaused; }
bool AllocProbePause::active() { return tPaused > 0; }

}  // namespace vsthost
