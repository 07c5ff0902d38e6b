// A lock whose rules the compiler checks. Clang's thread-safety analysis
// reads the annotations below: a field names the lock that guards it
// (GUARDED_BY), a function the lock it needs held (REQUIRES) or not held
// (EXCLUDES). Built with -Wthread-safety, a forgotten lock is a compile
// error; other compilers see plain code.
#pragma once

#include <mutex>

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

class CAPABILITY("sperre") sperre {
public:
  void sperren() ACQUIRE() { m_.lock(); }
  void freigeben() RELEASE() { m_.unlock(); }

private:
  std::mutex m_;
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
