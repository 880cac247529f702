/* Preloaded into trueext by the tests to swap a file for something else
 * just before the tool renames it, the moment another process could pick:
 * after the tool checked the entry, before the rename itself.
 *   TRUEEXT_TEST_SWAP=NAME          the entry to swap, by its name in the folder
 *   TRUEEXT_TEST_SWAP_WITH=link:T   a symbolic link to T takes its place
 *   TRUEEXT_TEST_SWAP_WITH=file:C   a new regular file holding C does
 *   TRUEEXT_TEST_NO_NOREPLACE=1     renameat2 fails with EINVAL, as on a file
 *                                   system without RENAME_NOREPLACE, so the
 *                                   tool links and unlinks instead
 * An empty TRUEEXT_TEST_SWAP_WITH swaps nothing. The first rename or link of
 * NAME swaps it; every call then goes to the real one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef int (*RenameAt2Fn)(int, const char*, int, const char*, unsigned int);

static void swapEntry(int dir_fd, const char* name, const char* with) {
  if (unlinkat(dir_fd, name, 0) != 0) {
    abort();
  }
  if (strncmp(with, "link:", 5) == 0) {
    if (symlinkat(with + 5, dir_fd, name) != 0) {
      abort();
    }
    return;
  }
  if (strncmp(with, "file:", 5) != 0) {
    abort();
  }
  const int fd = openat(dir_fd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  const size_t length = strlen(with + 5);
  if (fd < 0 || write(fd, with + 5, length) != (ssize_t)length || close(fd) != 0) {
    abort();
  }
}

typedef int (*LinkAtFn)(int, const char*, int, const char*, int);

/* Swaps entry |old_name| of |dir_fd| the first time it is asked for. */
static void swapOnce(int dir_fd, const char* old_name) {
  static int swapped = 0;
  const char* name = getenv("TRUEEXT_TEST_SWAP");
  const char* with = getenv("TRUEEXT_TEST_SWAP_WITH");
  if (!swapped && name != NULL && with != NULL && *with != '\0' &&
      strcmp(old_name, name) == 0) {
    swapped = 1;
    swapEntry(dir_fd, name, with);
  }
}

int renameat2(int old_dir, const char* old_name, int new_dir, const char* new_name,
              unsigned int flags) {
  const char* no_noreplace = getenv("TRUEEXT_TEST_NO_NOREPLACE");
  if (no_noreplace != NULL && strcmp(no_noreplace, "1") == 0) {
    errno = EINVAL;
    return -1;
  }
  swapOnce(old_dir, old_name);
  RenameAt2Fn real = (RenameAt2Fn)dlsym(RTLD_NEXT, "renameat2");
  return real(old_dir, old_name, new_dir, new_name, flags);
}

int linkat(int old_dir, const char* old_name, int new_dir, const char* new_name, int flags) {
  swapOnce(old_dir, old_name);
  LinkAtFn real = (LinkAtFn)dlsym(RTLD_NEXT, "linkat");
  return real(old_dir, old_name, new_dir, new_name, flags);
}
