// The few Windows operations the library uses, behind one header.
//
// On Windows this is <windows.h> itself, and the one operation of our own is
// in plattform_windows.cpp. Elsewhere (the native test build) it declares the
// same names and types, and the tests link their own doubles, so the
// library's code runs unchanged on both.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

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

// The constants of the Windows SDK that the library passes, by their names.
constexpr UINT MB_OK = 0x0000;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;

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

#endif

// How many bytes from p on can be read without a fault: the rest of the
// committed, readable region p lies in, or 0 when p itself is not readable.
// On Windows the memory manager is asked (plattform_windows.cpp); natively
// the tests decide.
size_t lesbare_bytes(const void *p);
