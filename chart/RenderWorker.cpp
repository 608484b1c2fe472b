// The chart renderer's second thread: handing over, running and waiting for
// one job at a time.
#include "RenderWorker.h"

#include <utility>

RenderWorker::~RenderWorker() {
  if (!FThread.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

bool RenderWorker::Start(void* context, Run run) {
  if (!FThread.joinable()) {
    try {
      FThread = std::thread(&RenderWorker::Serve, this);
    } catch (...) {  // std::system_error, or std::bad_alloc for the thread's state
      return false;
    }
  }
  {
    const std::lock_guard<std::mutex> lock(FLock);
    FContext = context;
    FRun = run;
    FBusy = true;
  }
  FChanged.notify_all();
  return true;
}

bool RenderWorker::Wait() {
  std::unique_lock<std::mutex> lock(FLock);
  FChanged.wait(lock, [this] { return !FBusy; });
  return !FFailed;
}

void RenderWorker::Serve() {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FChanged.wait(lock, [this] { return FContext != nullptr || FStopping; });
    if (FContext == nullptr) return;  // stopping, with no job left
    void* const context = std::exchange(FContext, nullptr);
    const Run run = FRun;
    lock.unlock();
    bool failed = false;
    try {
      run(context);
    } catch (...) {
      failed = true;  // a job's exception must not end the thread, and with it the program
    }
    lock.lock();
    FFailed = failed;
    FBusy = false;
    FChanged.notify_all();
  }
}
