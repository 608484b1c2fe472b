// The second thread of the chart's renderer: started with the first job it
// is given, kept for the renderer's life, stopped and joined when destroyed.
// It runs one job at a time; the owner hands a job over, does its own share,
// and waits for the job.
//
// Owner's thread only (the window thread); the job runs on the worker. A job
// that throws is caught on the worker, which goes on serving; Wait reports it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class RenderWorker {
 public:
  RenderWorker() = default;
  RenderWorker(const RenderWorker&) = delete;
  RenderWorker& operator=(const RenderWorker&) = delete;
  // Ends the thread once the job under way, if any, has returned.
  ~RenderWorker();

  // Hands `job` (called as `job()`) to the worker and returns at once; false
  // when no thread could be started, and the job is not run then (the next
  // call tries again). `job` must live until Wait returns, and every Start
  // that succeeded must be followed by a Wait before the next Start.
  template <class Job>
  bool Start(Job& job) {
    return Start(&job, [](void* context) { (*static_cast<Job*>(context))(); });
  }
  // Blocks until the job handed over last has returned; false when it ended
  // by throwing.
  bool Wait();

 private:
  using Run = void (*)(void*);
  bool Start(void* context, Run run);
  void Serve();

  std::mutex FLock;
  std::condition_variable FChanged;
  // Guarded by FLock: the job waiting to run (null when none), whether one is
  // waiting or running, whether the last one threw, and the end of service.
  void* FContext = nullptr;
  Run FRun = nullptr;
  bool FBusy = false;
  bool FFailed = false;
  bool FStopping = false;
  std::thread FThread;
};
