// The device thread asks for real-time scheduling where the system grants
// it, and the thread that opened the device keeps its own scheduling.
#include <dirent.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BassTestSupport.h"

namespace {

using namespace bass_test;

// The scheduling policy of every thread of this process, from /proc.
std::vector<int> ThreadPolicies() {
  std::vector<int> policies;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return policies;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream stat(std::string("/proc/self/task/") + entry->d_name + "/stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the parenthesised name; the policy is field 41.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 41 && fields >> field; ++i) {
      if (i == 41) policies.push_back(std::stoi(field));
    }
  }
  closedir(tasks);
  return policies;
}

bool SystemGrantsRealTime() {
  sched_param param{};
  param.sched_priority = 1;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) return false;
  param.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
  return true;
}

class Scheduling : public LibraryTest {};

TEST_F(Scheduling, DeviceThreadRunsRealTimeAndTheOpenerStaysAsItWas) {
  if (!SystemGrantsRealTime()) GTEST_SKIP() << "no real-time scheduling for this user: the library falls back quietly";
  std::atomic<uint64_t>& calls = NewCounter();
  ASSERT_TRUE(BASS_Init(-1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
  ASSERT_TRUE(BASS_ChannelPlay(BASS_StreamCreate(kRate, 2, 0, CountingProc, &calls), FALSE));
  ASSERT_TRUE(WaitForCount(calls, 1));
  int policy = -1;
  sched_param param{};
  ASSERT_EQ(pthread_getschedparam(pthread_self(), &policy, &param), 0);
  EXPECT_EQ(policy, SCHED_OTHER);
  const std::vector<int> policies = ThreadPolicies();
  EXPECT_EQ(std::count(policies.begin(), policies.end(), SCHED_FIFO), 1) << "one real-time thread: the device's";
}

}  // namespace
