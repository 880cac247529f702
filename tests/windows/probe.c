/* Run under wine by scripts/test-windows to learn whether this machine can
 * run 32-bit Windows programs at all: some kernels cannot execute 32-bit
 * code, and then nothing of the i686 build can be tested here. */
#include <stdio.h>

int main(void) {
  printf("probe ran as a %d-bit program\n", (int)(sizeof(void*) * 8));
  return 0;
}
