// The device thread runs with real-time scheduling at the library's own
// priority where the system grants it, and the thread that opened the device
// keeps its own scheduling. Where the system refuses, the test is skipped,
// and its ctest entry shows it as such.
#include <dirent.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

struct ThreadScheduling {
  int policy = -1;
  int realTimePriority = -1;
  bool operator==(const ThreadScheduling&) const = default;
};

void PrintTo(const ThreadScheduling& s, std::ostream* out) {
  *out << "policy " << s.policy << ", real-time priority " << s.realTimePriority;
}

// Fields 40 (rt_priority) and 41 (policy) of a thread's stat line.
ThreadScheduling ReadScheduling(const std::string& statPath) {
  std::ifstream stat(statPath);
  std::string line;
  std::getline(stat, line);
  // The fields after the parenthesised name, which may hold spaces, start at 3.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  ThreadScheduling scheduling;
  std::string field;
  for (int i = 3; i <= 41 && fields >> field; ++i) {
    if (i == 40) scheduling.realTimePriority = std::stoi(field);
    if (i == 41) scheduling.policy = std::stoi(field);
  }
  return scheduling;
}

// The scheduling of every thread of this process, from /proc.
std::vector<ThreadScheduling> AllThreads() {
  std::vector<ThreadScheduling> threads;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return threads;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] != '.')
      threads.push_back(ReadScheduling(std::string("/proc/self/task/") + entry->d_name + "/stat"));
  }
  closedir(tasks);
  return threads;
}

bool SystemGrantsRealTime() {
  sched_param param{};
  param.sched_priority = BASS_THREAD_PRIORITY;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) return false;
  param.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
  return true;
}

// PulseAudio runs its own threads at 5; a client must stay below.
static_assert(BASS_THREAD_PRIORITY > 0 && BASS_THREAD_PRIORITY < 5);

class Scheduling : public LibraryTest {};

TEST_F(Scheduling, DeviceThreadRunsRealTimeBelowTheSoundServerAndTheOpenerStaysAsItWas) {
  if (!SystemGrantsRealTime()) GTEST_SKIP() << "no real-time scheduling for this user: the library falls back quietly";
  // A sanitizer's runtime starts a helper thread with the process's first
  // thread; started before the opening, it does not take the lent policy.
  std::thread([] {}).join();
  std::atomic<uint64_t>& calls = NewCounter();
  ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
  // SDL's own priority request is made as the device thread starts, so by
  // the first call it has been made.
  ASSERT_TRUE(WaitForCount(calls, 1));
  int policy = -1;
  sched_param param{};
  ASSERT_EQ(pthread_getschedparam(pthread_self(), &policy, &param), 0);
  EXPECT_EQ(policy, SCHED_OTHER);
  std::vector<ThreadScheduling> realTime = AllThreads();
  std::erase_if(realTime, [](const ThreadScheduling& t) { return t.policy != SCHED_FIFO && t.policy != SCHED_RR; });
  EXPECT_EQ(realTime, (std::vector<ThreadScheduling>{{SCHED_FIFO, BASS_THREAD_PRIORITY}}))
      << "one real-time thread, the device's, at the library's priority";
}

}  // namespace
