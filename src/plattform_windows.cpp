// The Windows side of plattform.h.
#include "src/plattform.h"

size_t lesbare_bytes(const void *p) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(p, &info, sizeof info) == 0 || info.State != MEM_COMMIT)
    return 0;
  const DWORD lesbar = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                       PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  // A guard page faults on first touch, so it counts as unreadable.
  if ((info.Protect & lesbar) == 0 || (info.Protect & PAGE_GUARD) != 0)
    return 0;
  const char *ende = static_cast<const char *>(info.BaseAddress) + info.RegionSize;
  return static_cast<size_t>(ende - static_cast<const char *>(p));
}
