// The real DLL's pause with keyboard messages in the test thread's queue.
#include "e2e.h"

#include <float.h>

#include <cmath>
#include <limits>
#include <thread>

namespace {

void taste(UINT art, WPARAM code) {
  ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), art, code, 0));
}

double millisekunden_seit(const LARGE_INTEGER &start) {
  LARGE_INTEGER jetzt, frequenz;
  QueryPerformanceCounter(&jetzt);
  QueryPerformanceFrequency(&frequenz);
  return 1000.0 * static_cast<double>(jetzt.QuadPart - start.QuadPart) /
         static_cast<double>(frequenz.QuadPart);
}

LARGE_INTEGER jetzt() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// What is left in the queue, taken out.
std::vector<MSG> rest_der_warteschlange() {
  std::vector<MSG> rest;
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
    rest.push_back(m);
  return rest;
}

class pausen : public ::testing::Test {
protected:
  void SetUp() override {
    // A thread gets its queue with its first message call.
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
  }
};

TEST_F(pausen, halbe_sekunde_dauert_mehr_als_fuenfzig_ms) {
  const LARGE_INTEGER start = jetzt();
  dll().pause(0.5);
  EXPECT_GT(millisekunden_seit(start), 50.0);
  EXPECT_EQ(dll().gib_fehler(), 0);
}

TEST_F(pausen, wartendes_escape_bricht_sofort_ab_und_stoppt_die_motoren) {
  taste(WM_KEYDOWN, VK_ESCAPE);
  const LARGE_INTEGER start = jetzt();
  // Far longer than a slow first call into Wine's keyboard code (over a
  // second under qemu-user), so only a pause that waited fails.
  dll().pause(300);
  EXPECT_LT(millisekunden_seit(start), 10000.0);
  EXPECT_EQ(vendor_aufrufe(), (std::vector<vendor_aufruf>{{sim_rbSetMotors, {0, 0}}}));
  EXPECT_EQ(dll().gib_fehler(), 1);
  EXPECT_EQ(dll().gib_fehler(), 0);
}

TEST_F(pausen, escape_hinter_anderen_tasten_und_sein_loslassen_bleibt_liegen) {
  taste(WM_KEYDOWN, 'A');
  taste(WM_CHAR, 'a');
  taste(WM_KEYUP, 'A');
  taste(WM_KEYDOWN, VK_ESCAPE);
  taste(WM_KEYUP, VK_ESCAPE);
  dll().pause(100);
  EXPECT_EQ(dll().gib_fehler(), 1);
  const std::vector<MSG> rest = rest_der_warteschlange();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(rest[0].wParam, static_cast<WPARAM>(VK_ESCAPE));
}

TEST_F(pausen, andere_tasten_verschwinden_fremde_nachrichten_bleiben) {
  taste(WM_KEYUP, VK_ESCAPE);
  taste(WM_CHAR, 27);
  taste(WM_SYSKEYDOWN, VK_ESCAPE);
  taste(WM_USER + 1, 27);
  dll().pause(1);
  EXPECT_EQ(dll().gib_fehler(), 0);
  const std::vector<MSG> rest = rest_der_warteschlange();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].message, static_cast<UINT>(WM_USER + 1));
}

TEST_F(pausen, null_und_negativ_lassen_das_escape_liegen) {
  taste(WM_KEYDOWN, VK_ESCAPE);
  dll().pause(0);
  dll().pause(-1);
  dll().pause(std::nan(""));
  EXPECT_EQ(dll().gib_fehler(), 0);
  EXPECT_EQ(rest_der_warteschlange().size(), 1u);
}

TEST_F(pausen, endlose_pause_endet_durch_escape_aus_einem_anderen_thread) {
  const DWORD haupt = GetCurrentThreadId();
  std::thread bote([haupt] {
    Sleep(300);
    PostThreadMessageA(haupt, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  const LARGE_INTEGER start = jetzt();
  dll().pause(INFINITY);
  const double gedauert = millisekunden_seit(start);
  bote.join();
  EXPECT_GE(gedauert, 250.0);
  EXPECT_EQ(dll().gib_fehler(), 1);
}

// The host's floating-point state: x87 control and status words, and MXCSR
// (SSE control bits and sticky flags together).
struct gleitkomma {
  uint16_t x87_steuer;
  uint16_t x87_status;
  uint32_t mxcsr;
  bool operator==(const gleitkomma &) const = default;
};

gleitkomma gleitkomma_lesen() {
  gleitkomma g{};
  asm volatile("fnstcw %0" : "=m"(g.x87_steuer));
  asm volatile("fnstsw %0" : "=m"(g.x87_status));
  asm volatile("stmxcsr %0" : "=m"(g.mxcsr));
  return g;
}

void PrintTo(const gleitkomma &g, std::ostream *os) {
  *os << std::hex << "x87 " << g.x87_steuer << "/" << g.x87_status << ", mxcsr " << g.mxcsr;
}

// As a Delphi host runs: every floating-point exception unmasked in both units.
TEST_F(pausen, wirft_keine_gleitkomma_ausnahme_bei_offenen_masken) {
  // The durations as bit patterns, handed over as 8 plain bytes on the stack
  // (the layout of a double argument): loading a signalling NaN into the x87
  // unit would raise the exception on the test's own side.
  const uint64_t dauern[] = {
      0x7FF8000000000000u, 0x7FF0000000000001u, 0xFFF8000000000000u, // quiet, signalling NaN
      0x7FF0000000000000u, 0xFFF0000000000000u,                      // +-infinity
      0x0000000000000000u, 0x8000000000000000u,                      // +-0
      0x0000000000000001u, 0x0010000000000000u,                      // subnormal, smallest normal
      0x3FD28F5C28F5C28Fu, 0x7FAC7B1F3CAC7433u, 0x7FEFFFFFFFFFFFFFu, // 0.29, 1e307, largest
  };
  using pause_bits = void(LUMBRIK_CALL *)(uint64_t);
  const auto pause = reinterpret_cast<pause_bits>(reinterpret_cast<void *>(dll().pause));
  // _control87 rather than _controlfp, which leaves the denormal mask alone.
  const unsigned int vorher = _control87(0, 0);
  _control87(0, _MCW_EM);
  uint32_t mxcsr = 0;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  mxcsr &= ~0x1F80u; // unmask every SSE exception, whatever _control87 did
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
  asm volatile("fnclex");
  // Wine's first look at the keyboard layout leaves an inexact flag in the
  // x87 status word (its own doing, not lumbrik's), so it is had first.
  VkKeyScanA(27);
  asm volatile("fnclex");

  std::vector<gleitkomma> nachher;
  const gleitkomma offen = gleitkomma_lesen();
  for (uint64_t dauer : dauern) {
    // Escape ends the endless ones; the others may leave it behind.
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
    pause(dauer);
    nachher.push_back(gleitkomma_lesen());
    rest_der_warteschlange();
  }
  asm volatile("fnclex");
  _control87(vorher, _MCW_EM);
  uint32_t zurueck = mxcsr | 0x1F80u;
  asm volatile("ldmxcsr %0" : : "m"(zurueck));

  EXPECT_EQ(offen.x87_steuer & 0x3F, 0) << "x87 exceptions unmasked";
  EXPECT_EQ(offen.mxcsr & 0x1F80u, 0u) << "SSE exceptions unmasked";
  for (size_t i = 0; i < nachher.size(); ++i)
    EXPECT_EQ(nachher[i], offen) << "after pause of the bits " << std::hex << dauern[i];
  dll().gib_fehler();
}

} // namespace
