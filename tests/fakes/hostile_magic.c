/* Preloaded into trueext by the tests to play a file that crashes, hangs or
 * subverts libmagic. A buffer beginning
 *   TRUEEXT-TEST-CRASH       kills the analysing process with SIGSEGV;
 *   TRUEEXT-TEST-STALL       never returns;
 *   TRUEEXT-TEST-<ACT> ARG   tries one act that a parser exploit would try,
 *                            on the path or size ARG (up to a newline):
 *       READ PATH      open another file for reading
 *       CREATE PATH    create a new file
 *       WRITE PATH     open an existing file for writing and write to it
 *       UNLINK PATH    remove a file
 *       EXEC PATH      run /bin/touch PATH, which creates it
 *       CONNECT PATH   connect to a listening Unix socket
 *       FORK           start a process
 *       ALLOC MIB      allocate MIB mebibytes (not touched)
 * An act that fails crashes the process, as an exploit that went wrong
 * would; one that succeeds answers like the real library, so that the file
 * gets a name and the test sees the act went through.
 * Every other buffer goes to the real magic_buffer. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

typedef const char* (*MagicBufferFn)(void*, const void*, size_t);

static int startsWith(const void* buffer, size_t length, const char* prefix) {
  const size_t n = strlen(prefix);
  return length >= n && memcmp(buffer, prefix, n) == 0;
}

/* Copies the argument after |prefix| and a space into |out|, up to a
 * newline or the end of the buffer. */
static void argumentOf(const char* buffer, size_t length, const char* prefix, char* out,
                       size_t out_size) {
  size_t start = strlen(prefix) + 1;
  size_t n = 0;
  while (start + n < length && buffer[start + n] != '\n' && n + 1 < out_size) {
    out[n] = buffer[start + n];
    ++n;
  }
  out[n] = '\0';
}

static int connectTo(const char* path) {
  struct sockaddr_un address;
  memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path, sizeof address.sun_path - 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) {
    return 0;
  }
  const int ok = connect(fd, (const struct sockaddr*)&address, sizeof address) == 0;
  close(fd);
  return ok;
}

/* Tries the act a buffer names; 1 when it went through, 0 when it failed,
 * -1 when the buffer names none. */
static int tryAct(const char* buffer, size_t length) {
  char arg[4096];
  if (startsWith(buffer, length, "TRUEEXT-TEST-READ")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-READ", arg, sizeof arg);
    const int fd = open(arg, O_RDONLY | O_NOFOLLOW);
    return fd >= 0 && close(fd) == 0;
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-CREATE")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-CREATE", arg, sizeof arg);
    const int fd = open(arg, O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd >= 0 && close(fd) == 0;
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-WRITE")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-WRITE", arg, sizeof arg);
    const int fd = open(arg, O_WRONLY | O_APPEND);
    if (fd < 0) {
      return 0;
    }
    const int wrote = write(fd, "owned\n", 6) == 6;
    close(fd);
    return wrote;
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-UNLINK")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-UNLINK", arg, sizeof arg);
    return unlink(arg) == 0;
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-EXEC")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-EXEC", arg, sizeof arg);
    execl("/bin/touch", "touch", arg, (char*)NULL);
    return 0; /* only reached when exec failed */
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-CONNECT")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-CONNECT", arg, sizeof arg);
    return connectTo(arg);
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-FORK")) {
    const pid_t pid = fork();
    if (pid == 0) {
      _exit(0);
    }
    return pid > 0;
  }
  if (startsWith(buffer, length, "TRUEEXT-TEST-ALLOC")) {
    argumentOf(buffer, length, "TRUEEXT-TEST-ALLOC", arg, sizeof arg);
    void* block = malloc((size_t)strtoull(arg, NULL, 10) << 20);
    free(block);
    return block != NULL;
  }
  return -1;
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
  if (tryAct(buffer, length) == 0) {
    raise(SIGSEGV);
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
