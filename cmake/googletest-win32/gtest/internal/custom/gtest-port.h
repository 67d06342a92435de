// GoogleTest's injection point for the Windows cross builds, found before
// the empty one in Debian's sources (cmake/googletest-cross.cmake). GoogleTest
// 1.12 builds its Notification on std::mutex and std::condition_variable,
// which the toolchain's win32 thread model lacks; this one waits on a Win32
// event instead, so GoogleTest stays thread-safe (its Mutex and ThreadLocal
// are Win32 already). Notify() wakes every thread in WaitForNotification(),
// now and later; construct and destroy it on the controlling thread.
#ifndef TELO_GTEST_CUSTOM_GTEST_PORT_H_
#define TELO_GTEST_CUSTOM_GTEST_PORT_H_

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;  // a manual-reset event, HANDLE without <windows.h>
};

}  // namespace testing::internal

#endif  // TELO_GTEST_CUSTOM_GTEST_PORT_H_
