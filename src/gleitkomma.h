// The host's floating-point state while lumbrik waits in a pause.
//
// A pause calls into the system (the keyboard queue, the keyboard layout),
// and system code may compute in floating point. Hosts that run with the
// exceptions unmasked (Pascal runtimes do) would trap there and die. So for
// the time of a pause every exception is masked in both units, and at the
// end both are put back exactly as the host had them: control bits and
// sticky flags, none added by what ran in between.
#pragma once

#include <cstdint>

class gleitkomma_schutz {
public:
  gleitkomma_schutz() {
    // fnstenv stores the x87 environment and then masks every x87 exception.
    asm volatile("fnstenv %0\n\tfnclex" : "=m"(x87_) : : "memory");
    asm volatile("stmxcsr %0" : "=m"(mxcsr_) : : "memory");
    const uint32_t ruhig = (mxcsr_ | sse_masken) & ~sse_flaggen;
    asm volatile("ldmxcsr %0" : : "m"(ruhig) : "memory");
  }
  ~gleitkomma_schutz() {
    asm volatile("ldmxcsr %0" : : "m"(mxcsr_) : "memory");
    asm volatile("fldenv %0" : : "m"(x87_) : "memory");
  }
  gleitkomma_schutz(const gleitkomma_schutz &) = delete;
  gleitkomma_schutz &operator=(const gleitkomma_schutz &) = delete;

private:
  static constexpr uint32_t sse_masken = 0x1F80;
  static constexpr uint32_t sse_flaggen = 0x003F;
  // The x87 environment: control, status and tag words and the last
  // instruction's pointers, 28 bytes in 32- and 64-bit mode alike.
  struct {
    unsigned char bytes[28];
  } x87_{};
  uint32_t mxcsr_ = 0;
};
