// The real DLL's pause with keyboard messages in the test thread's queue.
#include "tests/wine/e2e.h"

#include <cmath>
#include <cstring>
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
    // A thread gets its queue with its first message call. Nothing else
    // runs first: pause's own first call into the keyboard code is part of
    // what a host meets.
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

// A pause of the duration's bit pattern, passed without touching the x87
// unit: loading a signalling NaN there would raise the exception on the
// test's own side. 32-bit code gets the 8 plain bytes on the stack (the
// layout of a double argument); 64-bit code hands a double over in an SSE
// register, and moving bits there raises nothing.
void pause_aus_bits(uint64_t dauer) {
#ifdef __x86_64__
  double zehntel;
  std::memcpy(&zehntel, &dauer, sizeof zehntel);
  dll().pause(zehntel);
#else
  using pause_bits = void(LUMBRIK_CALL *)(uint64_t);
  reinterpret_cast<pause_bits>(reinterpret_cast<void *>(dll().pause))(dauer);
#endif
}

// As a Delphi host runs: every floating-point exception unmasked in both
// units, and a sticky flag of its own. Each duration runs in a fresh process
// (one test each), so pause's first call into the system, where Wine looks
// at the keyboard layout in floating point, happens under these masks.
class offene_masken : public pausen, public ::testing::WithParamInterface<uint64_t> {};

TEST_P(offene_masken, keine_ausnahme_und_der_zustand_bleibt_wie_er_war) {
  // Both units are set directly: a 64-bit C runtime's _control87 leaves the
  // x87 unit alone.
  const gleitkomma vorher = gleitkomma_lesen();
  const auto x87_offen = static_cast<uint16_t>(vorher.x87_steuer & ~0x3Fu);
  const uint32_t mxcsr_offen = (vorher.mxcsr & ~0x1FBFu) | 0x20u; // precision flag set
  asm volatile("fnclex");
  asm volatile("fldcw %0" : : "m"(x87_offen));
  asm volatile("ldmxcsr %0" : : "m"(mxcsr_offen));
  const gleitkomma offen = gleitkomma_lesen();

  // Escape ends the endless ones; the others may leave it behind.
  PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);
  pause_aus_bits(GetParam());
  const gleitkomma nachher = gleitkomma_lesen();

  asm volatile("fnclex");
  asm volatile("fldcw %0" : : "m"(vorher.x87_steuer));
  asm volatile("ldmxcsr %0" : : "m"(vorher.mxcsr));
  EXPECT_EQ(offen.x87_steuer & 0x3F, 0) << "x87 exceptions unmasked";
  EXPECT_EQ(offen.mxcsr & 0x1F80u, 0u) << "SSE exceptions unmasked";
  EXPECT_EQ(nachher, offen);
}

constexpr uint64_t dauern[] = {
    0x7FF8000000000000u, 0x7FF0000000000001u, 0xFFF8000000000000u, // quiet, signalling NaN
    0x7FF0000000000000u, 0xFFF0000000000000u,                      // +-infinity
    0x0000000000000000u, 0x8000000000000000u,                      // +-0
    0x0000000000000001u, 0x0010000000000000u,                      // subnormal, smallest normal
    0x3FD28F5C28F5C28Fu, 0x7FAC7B1F3CAC7433u, 0x7FEFFFFFFFFFFFFFu, // 0.29, 1e307, largest
};
INSTANTIATE_TEST_SUITE_P(dauern, offene_masken, ::testing::ValuesIn(dauern));

} // namespace
