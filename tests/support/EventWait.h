// Waiting in a GoogleTest test for something the message loop brings: poll
// with a generous timeout and let a GoogleTest assertion judge the answer.
// (Qt Test's own waiting and comparing macros report to Qt Test's log, which
// GoogleTest never reads, so a test using them passes whatever happens.)
#pragma once

#include <QTest>

inline constexpr int kEventTimeoutMs = 5000;

// Runs the message loop until `done()` holds or the timeout passes; true if
// it came.
template <class Predicate>
bool WaitFor(Predicate done) {
  return QTest::qWaitFor(done, kEventTimeoutMs);
}
