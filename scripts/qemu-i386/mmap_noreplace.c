/* mmap with MAP_FIXED_NOREPLACE as the kernel means it, for 32-bit Wine run
 * by qemu-user on machines whose kernel cannot run 32-bit programs itself.
 *
 * qemu-user takes the flag as a mere hint and maps elsewhere when it cannot
 * honour it. Wine reserves its address space with that flag and halves each
 * range that did not land where asked, down to 64 KiB: some 65,000 calls and
 * about 50 seconds per process start under qemu. Answering "exists" at once
 * for a range that is in use, and mapping a free one exactly where asked,
 * brings the start back to a fraction of a second.
 *
 * Built freestanding (no C library headers for i386 needed) and preloaded
 * into Wine's 32-bit processes through LD_PRELOAD (cmake/wine.cmake). */

typedef __SIZE_TYPE__ size_t;

#define MAP_FIXED 0x10
#define MAP_FIXED_NOREPLACE 0x100000
#define FEHLER_EXISTIERT 17 /* EEXIST */

extern int *__errno_location(void);

static long systemaufruf(long nummer, long a, long b, long c) {
  long r;
  __asm__ volatile("int $0x80" : "=a"(r) : "a"(nummer), "b"(a), "c"(b), "d"(c) : "memory");
  return r;
}

static unsigned long hex_lesen(const char **p) {
  unsigned long wert = 0;
  for (;; ++*p) {
    const char c = **p;
    if (c >= '0' && c <= '9')
      wert = wert * 16 + (unsigned long)(c - '0');
    else if (c >= 'a' && c <= 'f')
      wert = wert * 16 + (unsigned long)(c - 'a' + 10);
    else
      return wert;
  }
}

/* Whether [von, bis) overlaps a mapping of this process, as qemu reports
 * the guest's mappings in /proc/self/maps. When in doubt: in use. */
static int belegt(unsigned long von, unsigned long bis) {
  static char karte[1 << 17];
  const long datei = systemaufruf(5 /* open */, (long)"/proc/self/maps", 0, 0);
  if (datei < 0)
    return 1;
  long n = 0;
  long gelesen;
  while (n < (long)sizeof karte - 1 &&
         (gelesen =
              systemaufruf(3 /* read */, datei, (long)(karte + n), (long)sizeof karte - 1 - n)) > 0)
    n += gelesen;
  systemaufruf(6 /* close */, datei, 0, 0);
  if (n >= (long)sizeof karte - 1)
    return 1;
  karte[n] = 0;
  for (const char *p = karte; *p;) {
    const unsigned long anfang = hex_lesen(&p);
    if (*p == '-')
      ++p;
    const unsigned long ende = hex_lesen(&p);
    if (anfang < bis && von < ende)
      return 1;
    while (*p && *p != '\n')
      ++p;
    if (*p)
      ++p;
  }
  return 0;
}

/* Wine maps from several threads. A range found free must still be free when
 * it is mapped with MAP_FIXED, which would replace whatever another thread
 * put there meanwhile, and the map buffer above is shared: so every mapping
 * made through here is one step under a lock. Signals are blocked while it is
 * held, so a handler that maps on the same thread cannot wait for it. */
static int sperre;

/* rt_sigprocmask takes a fourth argument, the size of the signal set. */
static long systemaufruf4(long nummer, long a, long b, long c, long d) {
  long r;
  __asm__ volatile("int $0x80" : "=a"(r) : "a"(nummer), "b"(a), "c"(b), "d"(c), "S"(d) : "memory");
  return r;
}

static void sperren(unsigned long (*alte_maske)[2]) {
  const unsigned long alle[2] = {~0ul, ~0ul};
  systemaufruf4(175 /* rt_sigprocmask */, 0 /* SIG_BLOCK */, (long)alle, (long)*alte_maske,
                sizeof alle);
  while (__atomic_exchange_n(&sperre, 1, __ATOMIC_ACQUIRE))
    systemaufruf(158 /* sched_yield */, 0, 0, 0);
}

static void freigeben(unsigned long (*alte_maske)[2]) {
  __atomic_store_n(&sperre, 0, __ATOMIC_RELEASE);
  systemaufruf4(175 /* rt_sigprocmask */, 2 /* SIG_SETMASK */, (long)*alte_maske, 0,
                sizeof *alte_maske);
}

void *mmap(void *adresse, size_t laenge, int schutz, int art, int datei, long versatz) {
  unsigned long alte_maske[2];
  sperren(&alte_maske);
  long r = -FEHLER_EXISTIERT;
  const unsigned long von = (unsigned long)adresse;
  const int ersetzen = (art & MAP_FIXED_NOREPLACE) && adresse;
  if (!ersetzen || (von + laenge >= von && !belegt(von, von + laenge))) {
    if (ersetzen)
      art = (art & ~MAP_FIXED_NOREPLACE) | MAP_FIXED;
    /* The old i386 mmap call takes its six arguments in memory. */
    long argumente[6] = {(long)adresse, (long)laenge, schutz, art, datei, versatz};
    r = systemaufruf(90 /* mmap */, (long)argumente, 0, 0);
  }
  freigeben(&alte_maske);
  if ((unsigned long)r >= (unsigned long)-4095) {
    *__errno_location() = (int)-r;
    return (void *)-1;
  }
  return (void *)r;
}

void *mmap64(void *adresse, size_t laenge, int schutz, int art, int datei, long long versatz) {
  if (versatz != (long)versatz) {
    *__errno_location() = 75; /* EOVERFLOW: offsets past 2 GiB are not needed here */
    return (void *)-1;
  }
  return mmap(adresse, laenge, schutz, art, datei, (long)versatz);
}
