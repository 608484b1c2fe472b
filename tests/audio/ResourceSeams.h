// Seams in the C library under the whole test executable that links
// ResourceSeams.cpp: its allocator (malloc and the rest, which operator new
// calls too) and pthread_create are interposed, so a test can count
// allocations or make memory and threads run out, without a hook in the
// code under test. Not for sanitizer builds, whose runtimes interpose the
// same functions.
#pragma once

namespace seams {

// Counts every allocator call in the process, on any thread, from Start to
// Stop, which returns the count.
void StartCountingAllocations();
long StopCountingAllocations();

// While one lives, the calling thread's allocations fail (null, so operator
// new throws std::bad_alloc) once `allowed` more have succeeded. Other
// threads allocate as usual.
class AllocationsRefused {
 public:
  explicit AllocationsRefused(long allowed = 0);
  ~AllocationsRefused();
  AllocationsRefused(const AllocationsRefused&) = delete;
  AllocationsRefused& operator=(const AllocationsRefused&) = delete;
  // Whether an allocation has been refused so far.
  bool AnyRefused() const;
};

// While one lives, pthread_create called on this thread fails with EAGAIN,
// as when the system's thread limit is reached (std::thread then throws
// std::system_error).
class ThreadsRefused {
 public:
  ThreadsRefused();
  ~ThreadsRefused();
  ThreadsRefused(const ThreadsRefused&) = delete;
  ThreadsRefused& operator=(const ThreadsRefused&) = delete;
};

}  // namespace seams
