/* Preloaded into trueext by the tests to play a file that crashes or hangs
 * libmagic: a buffer beginning "TRUEEXT-TEST-CRASH" kills the analysing
 * process with SIGSEGV, one beginning "TRUEEXT-TEST-STALL" never returns.
 * Every other buffer goes to the real magic_buffer. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef const char* (*MagicBufferFn)(void*, const void*, size_t);

static int startsWith(const void* buffer, size_t length, const char* prefix) {
  const size_t n = strlen(prefix);
  return length >= n && memcmp(buffer, prefix, n) == 0;
}

const char* magic_buffer(void* cookie, const void* buffer, size_t length) {
  if (startsWith(buffer, length, "TRUEEXT-TEST-CRASH")) {
    raise(SIGSEGV);
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-STALL")) {
    for (;;) {
      pause();
    }
  }
  /* libmagic came in with the identification library, loaded with
   * RTLD_LOCAL: it is not in the global scope that RTLD_NEXT searches. */
  void* libmagic = dlopen("libmagic.so.1", RTLD_LAZY | RTLD_NOLOAD);
  MagicBufferFn real = libmagic ? (MagicBufferFn)dlsym(libmagic, "magic_buffer") : NULL;
  if (real == NULL) {
    abort();
  }
  return real(cookie, buffer, length);
}
