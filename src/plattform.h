// The few Windows operations the library uses, behind one header.
//
// On Windows this is <windows.h> itself. Elsewhere (the native test build) it
// declares the same names and types, and the tests link their own doubles, so
// the library's code runs unchanged on both.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// How many bytes from p on can be read without a fault: the rest of the
// committed, readable region p lies in, or 0 when p itself is not readable.
inline size_t lesbare_bytes(const void *p) {
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

#else

#define WINAPI

typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef short SHORT;
typedef void *HWND;
typedef void *HGLOBAL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;

struct POINT {
  long x, y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

extern "C" {
int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type);
BOOL PeekMessageA(MSG *msg, HWND window, UINT first, UINT last, UINT flags);
SHORT VkKeyScanA(char zeichen);
DWORD GetTickCount();
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void *GlobalLock(HGLOBAL block);
HGLOBAL GlobalHandle(const void *zeiger);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);
}

// Natively the tests decide how much memory counts as readable.
size_t lesbare_bytes(const void *p);

#endif
