// The real DLL's pause with keyboard messages in the test thread's queue.
#include "e2e.h"

#include <cmath>
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
  dll().pause(20);
  EXPECT_LT(millisekunden_seit(start), 1000.0);
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

} // namespace
