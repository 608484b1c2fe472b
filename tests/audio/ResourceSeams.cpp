// The interposed allocator and pthread_create behind ResourceSeams.h. The
// allocator forwards to glibc's own entry points, pthread_create to the next
// definition after this executable's.
#include "ResourceSeams.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocatorCalls{0};

// Per thread, so that the threads a test does not drive run undisturbed.
// Plain thread-locals of the executable, which never allocate to be reached.
thread_local bool refusingAllocations = false;
thread_local long allocationsAllowed = 0;
thread_local bool allocationRefused = false;
thread_local bool refusingThreads = false;

// Counts the call; false when the call is to fail.
bool AllocationGoesAhead() {
  if (counting.load(std::memory_order_relaxed)) allocatorCalls.fetch_add(1, std::memory_order_relaxed);
  if (!refusingAllocations) return true;
  if (allocationsAllowed > 0) {
    --allocationsAllowed;
    return true;
  }
  allocationRefused = true;
  // As the real allocator does: glibc's own callers (pthread_create's stack
  // set-up) assert it.
  errno = ENOMEM;
  return false;
}

using PthreadCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

PthreadCreate NextPthreadCreate() {
  static const auto next = reinterpret_cast<PthreadCreate>(dlsym(RTLD_NEXT, "pthread_create"));
  return next;
}

// Looked up before any test runs: dlsym may allocate, and must not meet a
// refusal.
[[maybe_unused]] const PthreadCreate lookedUpAtStart = NextPthreadCreate();

}  // namespace

extern "C" {
void* malloc(std::size_t size) { return AllocationGoesAhead() ? __libc_malloc(size) : nullptr; }
void* calloc(std::size_t count, std::size_t size) {
  return AllocationGoesAhead() ? __libc_calloc(count, size) : nullptr;
}
void* realloc(void* pointer, std::size_t size) {
  return AllocationGoesAhead() ? __libc_realloc(pointer, size) : nullptr;
}
void* memalign(std::size_t alignment, std::size_t size) {
  return AllocationGoesAhead() ? __libc_memalign(alignment, size) : nullptr;
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return AllocationGoesAhead() ? __libc_memalign(alignment, size) : nullptr;
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  if (!AllocationGoesAhead()) return ENOMEM;
  *out = __libc_memalign(alignment, size);
  return *out != nullptr ? 0 : ENOMEM;
}
void free(void* pointer) {
  if (counting.load(std::memory_order_relaxed)) allocatorCalls.fetch_add(1, std::memory_order_relaxed);
  __libc_free(pointer);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument) {
  if (refusingThreads) return EAGAIN;
  return NextPthreadCreate()(thread, attributes, start, argument);
}
}

namespace seams {

void StartCountingAllocations() {
  allocatorCalls = 0;
  counting = true;
}

long StopCountingAllocations() {
  counting = false;
  return allocatorCalls.load();
}

AllocationsRefused::AllocationsRefused(long allowed) {
  allocationsAllowed = allowed;
  allocationRefused = false;
  refusingAllocations = true;
}

AllocationsRefused::~AllocationsRefused() { refusingAllocations = false; }

bool AllocationsRefused::AnyRefused() const { return allocationRefused; }

ThreadsRefused::ThreadsRefused() { refusingThreads = true; }

ThreadsRefused::~ThreadsRefused() { refusingThreads = false; }

}  // namespace seams
