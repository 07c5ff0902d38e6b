// A lock whose rules the compiler checks. Clang's thread-safety analysis
// reads the annotations below: a field names the lock that guards it
// (GUARDED_BY), a function the lock it needs held (REQUIRES) or not held
// (EXCLUDES). Built with -Wthread-safety, a forgotten lock is a compile
// error; other compilers see plain code.
//
// On Windows it is a slim reader/writer lock held exclusively: no thread
// library comes with it, and it may be tried from DllMain at a host's end.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <mutex>
#endif

#if defined(__clang__)
#define LUMBRIK_ANALYSE(x) __attribute__((x))
#else
#define LUMBRIK_ANALYSE(x)
#endif

#define CAPABILITY(x) LUMBRIK_ANALYSE(capability(x))
#define SCOPED_CAPABILITY LUMBRIK_ANALYSE(scoped_lockable)
#define GUARDED_BY(x) LUMBRIK_ANALYSE(guarded_by(x))
#define PT_GUARDED_BY(x) LUMBRIK_ANALYSE(pt_guarded_by(x))
#define REQUIRES(...) LUMBRIK_ANALYSE(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) LUMBRIK_ANALYSE(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) LUMBRIK_ANALYSE(acquire_capability(__VA_ARGS__))
#define RELEASE(...) LUMBRIK_ANALYSE(release_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) LUMBRIK_ANALYSE(try_acquire_capability(__VA_ARGS__))
// For the few places that knowingly touch guarded state without its lock;
// each says why.
#define OHNE_SPERRPRUEFUNG LUMBRIK_ANALYSE(no_thread_safety_analysis)

class CAPABILITY("sperre") sperre {
public:
#if defined(_WIN32)
  void sperren() ACQUIRE() {
    AcquireSRWLockExclusive(&s_);
  }
  void freigeben() RELEASE() {
    ReleaseSRWLockExclusive(&s_);
  }
  // True if the lock was free and is now held.
  bool versuchen() TRY_ACQUIRE(true) {
    return TryAcquireSRWLockExclusive(&s_) != 0;
  }

private:
  SRWLOCK s_ = SRWLOCK_INIT;
#else
  void sperren() ACQUIRE() {
    m_.lock();
  }
  void freigeben() RELEASE() {
    m_.unlock();
  }
  bool versuchen() TRY_ACQUIRE(true) {
    return m_.try_lock();
  }

private:
  std::mutex m_;
#endif
};

// Holds a lock for the rest of a scope.
class SCOPED_CAPABILITY gesperrt {
public:
  explicit gesperrt(sperre &s) ACQUIRE(s) : s_(s) { s_.sperren(); }
  ~gesperrt() RELEASE() { s_.freigeben(); }
  gesperrt(const gesperrt &) = delete;
  gesperrt &operator=(const gesperrt &) = delete;

private:
  sperre &s_;
};
