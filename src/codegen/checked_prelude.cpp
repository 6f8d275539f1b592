#include "codegen/checked_prelude.h"

namespace vrel {

// A fault is reported as "FILE:LINE: runtime error: TEXT", then the chain of calls, after the
// output the program wrote, which is kept in a buffer of its own so that a signal handler can
// write it out; the program then ends with status 3. Each Vrel function keeps a frame record
// (its name and the line of the statement it runs), so the report can name the line and the
// callers when a signal stops the program. The checks of gcc's sanitizers stay quiet: every
// fault they could find is checked here first, and any other is reported in the same form.
std::string_view checkedPrelude() {
  return R"vrel(#line 1 "<vrel runtime>"
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

typedef unsigned char byte;

const char *__asan_default_options(void) {
  return "detect_leaks=0:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:"
         "handle_abort=0:print_summary=0:exitcode=3";
}

const char *__ubsan_default_options(void) {
  return "print_summary=0:print_stacktrace=0:exitcode=3";
}

void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));
void __sanitizer_set_report_fd(void *fd) __attribute__((weak));
void __asan_set_error_report_callback(void (*callback)(const char *)) __attribute__((weak));

struct vrel_frame {
  const char *name;
  int line;
  struct vrel_frame *caller;
};

static const char *vrel_file = "";
static struct vrel_frame *vrel_top;
static char *vrel_stack_top;
static size_t vrel_stack_size;
static const size_t vrel_stack_margin = 262144;
static char vrel_signal_stack[262144];
static const char *vrel_sanitizer_text = "undefined behaviour";

static char vrel_out[65536];
static size_t vrel_out_used;
static int vrel_out_tty;

static void vrel_flush(void) {
  size_t done = 0;
  while (done < vrel_out_used) {
    ssize_t n = write(1, vrel_out + done, vrel_out_used - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += (size_t) n;
  }
  vrel_out_used = 0;
}

static void vrel_put(const void *bytes, size_t n) {
  const char *next = bytes;
  size_t left = n;
  while (left > 0) {
    size_t room = sizeof vrel_out - vrel_out_used;
    size_t part = left < room ? left : room;
    memcpy(vrel_out + vrel_out_used, next, part);
    vrel_out_used += part;
    next += part;
    left -= part;
    if (vrel_out_used == sizeof vrel_out) vrel_flush();
  }
  if (vrel_out_tty && memchr(bytes, '\n', n) != NULL) vrel_flush();
}

static void vrel_before_input(void) {
  if (vrel_out_tty) vrel_flush();
}

struct vrel_text {
  char bytes[1024];
  size_t used;
};

static void vrel_say(struct vrel_text *t, const char *s) {
  while (*s != 0 && t->used < sizeof t->bytes) t->bytes[t->used++] = *s++;
}

static void vrel_say_number(struct vrel_text *t, long long value) {
  char digits[24];
  int n = 0;
  unsigned long long u = value < 0 ? 0 - (unsigned long long) value : (unsigned long long) value;
  do {
    digits[n++] = (char) ('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (value < 0) vrel_say(t, "-");
  while (n > 0 && t->used < sizeof t->bytes) t->bytes[t->used++] = digits[--n];
}

static void vrel_say_array(struct vrel_text *t, const char *name) {
  if (name == NULL) {
    vrel_say(t, "a string constant");
  } else {
    vrel_say(t, "the array ");
    vrel_say(t, name);
  }
}

static void __attribute__((noreturn)) vrel_stop(int line, const struct vrel_text *what) {
  static struct vrel_text t;
  const struct vrel_frame *frame = vrel_top;
  int callers = 0;
  size_t i;
  vrel_flush();
  t.used = 0;
  vrel_say(&t, vrel_file);
  if (line > 0) {
    vrel_say(&t, ":");
    vrel_say_number(&t, line);
  }
  vrel_say(&t, ": runtime error: ");
  for (i = 0; i < what->used && t.used < sizeof t.bytes; i++) t.bytes[t.used++] = what->bytes[i];
  vrel_say(&t, "\n");
  if (frame != NULL && frame->caller != NULL) {
    vrel_say(&t, "in ");
    vrel_say(&t, frame->name);
    while (frame->caller != NULL && callers < 4) {
      frame = frame->caller;
      callers++;
      vrel_say(&t, ", called from ");
      vrel_say(&t, frame->name);
      if (frame->line > 0) {
        vrel_say(&t, " at line ");
        vrel_say_number(&t, frame->line);
      }
    }
    if (frame->caller != NULL) vrel_say(&t, ", ...");
    vrel_say(&t, "\n");
  }
  if (write(2, t.bytes, t.used) < 0) t.used = 0;
  _exit(3);
}

static void __attribute__((noreturn)) vrel_fail(int line, const char *text) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, text);
  vrel_stop(line, &t);
}

static int vrel_line(void) {
  return vrel_top != NULL ? vrel_top->line : 0;
}

static void vrel_leave(struct vrel_frame *frame) {
  vrel_top = frame->caller;
}

static int vrel_recursive(void) {
  const struct vrel_frame *frame;
  if (vrel_top == NULL) return 0;
  for (frame = vrel_top->caller; frame != NULL; frame = frame->caller) {
    if (strcmp(frame->name, vrel_top->name) == 0) return 1;
  }
  return 0;
}

static void __attribute__((noreturn)) vrel_stack_exhausted(int line) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, "recursion too deep in function ");
  vrel_say(&t, vrel_top != NULL ? vrel_top->name : "main");
  vrel_say(&t, " (the stack is exhausted)");
  vrel_stop(line, &t);
}

static int vrel_in_stack(const char *address) {
  size_t size = vrel_stack_size != 0 ? vrel_stack_size : (size_t) 1 << 34;
  if (address >= vrel_stack_top) return 0;
  return (size_t) (vrel_stack_top - address) <= size + vrel_stack_margin;
}

static void vrel_signal(int signal, siginfo_t *info, void *context) {
  struct vrel_text t = {{0}, 0};
  const char *name = "SIGABRT";
  const char *text = "the program was aborted";
  if (signal == SIGSEGV) name = "SIGSEGV", text = "invalid memory access (segmentation fault)";
  if (signal == SIGBUS) name = "SIGBUS", text = "invalid memory access (bus error)";
  if (signal == SIGFPE) name = "SIGFPE", text = "arithmetic fault (floating point exception)";
  if (signal == SIGILL) name = "SIGILL", text = "illegal instruction";
  if (info->si_code == SI_USER) {
    vrel_say(&t, "stopped by ");
    vrel_say(&t, name);
    vrel_say(&t, " from another process");
    vrel_stop(vrel_line(), &t);
  }
  if ((signal == SIGSEGV || signal == SIGBUS) && vrel_top != NULL && vrel_in_stack(info->si_addr)) {
    vrel_stack_exhausted(vrel_line());
  }
  vrel_fail(vrel_line(), text);
}

static void vrel_asan_report(const char *report) {
  vrel_sanitizer_text = "invalid memory access";
}

static void vrel_sanitizer_died(void) {
  vrel_fail(vrel_line(), vrel_sanitizer_text);
}

static void vrel_start(const char *file) {
  static const int signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
  struct rlimit limit;
  stack_t alternate;
  struct sigaction action;
  size_t i;
  vrel_file = file;
  vrel_stack_top = __builtin_frame_address(0);
  if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
    vrel_stack_size = limit.rlim_cur;
  }
  vrel_out_tty = isatty(1);
  alternate.ss_sp = vrel_signal_stack;
  alternate.ss_size = sizeof vrel_signal_stack;
  alternate.ss_flags = 0;
  sigaltstack(&alternate, NULL);
  memset(&action, 0, sizeof action);
  action.sa_sigaction = vrel_signal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (i = 0; i < sizeof signals / sizeof signals[0]; i++) sigaction(signals[i], &action, NULL);
  if (__sanitizer_set_report_fd != NULL) {
    int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) __sanitizer_set_report_fd((void *) (long) quiet);
  }
  if (__asan_set_error_report_callback != NULL) __asan_set_error_report_callback(vrel_asan_report);
  if (__sanitizer_set_death_callback != NULL) __sanitizer_set_death_callback(vrel_sanitizer_died);
}

static int vrel_room(int count, size_t size, const char *name, int line) {
  char *here = __builtin_frame_address(0);
  size_t bytes = (size_t) count * size;
  if (vrel_stack_size != 0 && vrel_stack_size > vrel_stack_margin) {
    char *lowest = vrel_stack_top - (vrel_stack_size - vrel_stack_margin);
    if (here < lowest || (size_t) (here - lowest) < bytes) {
      struct vrel_text t = {{0}, 0};
      if (vrel_recursive()) vrel_stack_exhausted(line);
      vrel_say(&t, "the array ");
      vrel_say(&t, name);
      vrel_say(&t, " of ");
      vrel_say_number(&t, count);
      vrel_say(&t, " elements is too large for the stack");
      vrel_stop(line, &t);
    }
  }
  return count;
}

static void __attribute__((noreturn)) vrel_outside(int line, int index, int count,
                                                   const char *name) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, "index ");
  vrel_say_number(&t, index);
  vrel_say(&t, " is outside the array ");
  vrel_say(&t, name);
  vrel_say(&t, " of ");
  vrel_say_number(&t, count);
  vrel_say(&t, count == 1 ? " element" : " elements");
  vrel_stop(line, &t);
}

static void __attribute__((noreturn)) vrel_overflow(int line, int a, const char *op, int b) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, "int overflow in ");
  vrel_say_number(&t, a);
  vrel_say(&t, op);
  vrel_say_number(&t, b);
  vrel_stop(line, &t);
}

static void __attribute__((noreturn)) vrel_negation_overflow(int line, int a) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, "int overflow in -(");
  vrel_say_number(&t, a);
  vrel_say(&t, ")");
  vrel_stop(line, &t);
}

static void __attribute__((noreturn)) vrel_missing_return_at(int line) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, "function ");
  vrel_say(&t, vrel_top != NULL ? vrel_top->name : "main");
  vrel_say(&t, " ended without return");
  vrel_stop(line, &t);
}

/* The checks are expressions on the line of the statement that uses them, so that a debugger
   steps over them; each operand is evaluated once. */
#define vrel_index(index, count, name) ({ \
  int vrel_i = (index); \
  if (vrel_i < 0 || vrel_i >= (count)) vrel_outside(__LINE__, vrel_i, count, name); \
  vrel_i; })
#define vrel_checked(a, b, builtin, op) ({ \
  int vrel_a = (a), vrel_b = (b), vrel_r; \
  if (builtin(vrel_a, vrel_b, &vrel_r)) vrel_overflow(__LINE__, vrel_a, op, vrel_b); \
  vrel_r; })
#define vrel_add(a, b) vrel_checked(a, b, __builtin_add_overflow, " + ")
#define vrel_sub(a, b) vrel_checked(a, b, __builtin_sub_overflow, " - ")
#define vrel_mul(a, b) vrel_checked(a, b, __builtin_mul_overflow, " * ")
#define vrel_divided(a, b, op) ({ \
  int vrel_a = (a), vrel_b = (b); \
  if (vrel_b == 0) vrel_fail(__LINE__, "division by zero"); \
  if (vrel_a == INT_MIN && vrel_b == -1) vrel_overflow(__LINE__, vrel_a, " " #op " ", vrel_b); \
  vrel_a op vrel_b; })
#define vrel_div(a, b) vrel_divided(a, b, /)
#define vrel_mod(a, b) vrel_divided(a, b, %)
#define vrel_neg(a) ({ \
  int vrel_a = (a); \
  if (vrel_a == INT_MIN) vrel_negation_overflow(__LINE__, vrel_a); \
  -vrel_a; })
#define vrel_missing_return() vrel_missing_return_at(__LINE__)

static void __attribute__((noreturn)) vrel_past_end(const char *routine, const char *verb,
                                                    const char *name) {
  struct vrel_text t = {{0}, 0};
  vrel_say(&t, routine);
  vrel_say(&t, verb);
  vrel_say_array(&t, name);
  vrel_stop(vrel_line(), &t);
}

static size_t vrel_length(const char *routine, const byte *s, int count, const char *name) {
  const byte *end = memchr(s, 0, count > 0 ? (size_t) count : 0);
  if (end == NULL) vrel_past_end(routine, " would read past the end of ", name);
  return (size_t) (end - s);
}

static void vrel_writable(const char *routine, const char *name) {
  if (name == NULL) {
    struct vrel_text t = {{0}, 0};
    vrel_say(&t, routine);
    vrel_say(&t, " would write into a string constant");
    vrel_stop(vrel_line(), &t);
  }
}

void vrel__writeInteger(int i) {
  char digits[16];
  int n = 0;
  unsigned int u = i < 0 ? 0u - (unsigned int) i : (unsigned int) i;
  do {
    digits[sizeof digits - 1 - n++] = (char) ('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (i < 0) digits[sizeof digits - 1 - n++] = '-';
  vrel_put(digits + sizeof digits - n, (size_t) n);
}

void vrel__writeByte(byte b) {
  vrel__writeInteger(b);
}

void vrel__writeChar(byte b) {
  vrel_put(&b, 1);
}

void vrel__writeString(byte s[], int count, const char *name) {
  vrel_put(s, vrel_length("writeString", s, count, name));
}

int vrel__readInteger() {
  int y = 0;
  vrel_before_input();
  scanf("%d", &y);
  return y;
}

byte vrel__readByte() {
  unsigned int y = 0;
  vrel_before_input();
  scanf("%u", &y);
  return (byte) y;
}

byte vrel__readChar() {
  vrel_before_input();
  return getchar();
}

void vrel__readString(int n, byte s[], int count, const char *name) {
  vrel_writable("readString", name);
  if (n > count) vrel_past_end("readString", " would write past the end of ", name);
  vrel_before_input();
  if (n > 0 && fgets((char *) s, n, stdin) == NULL) s[0] = 0;
}

int vrel__extend(byte b) {
  return (int) b;
}

byte vrel__shrink(int i) {
  return (byte) i;
}

int vrel__strlen(byte *s, int count, const char *name) {
  return (int) vrel_length("strlen", s, count, name);
}

int vrel__strcmp(byte *s1, int count1, const char *name1, byte *s2, int count2,
                 const char *name2) {
  vrel_length("strcmp", s1, count1, name1);
  vrel_length("strcmp", s2, count2, name2);
  return strcmp((char *) s1, (char *) s2);
}

void vrel__strcpy(byte *trg, int count1, const char *name1, byte *src, int count2,
                  const char *name2) {
  size_t length;
  vrel_writable("strcpy", name1);
  length = vrel_length("strcpy", src, count2, name2);
  if (length >= (size_t) count1) vrel_past_end("strcpy", " would write past the end of ", name1);
  memmove(trg, src, length + 1);
}

void vrel__strcat(byte *trg, int count1, const char *name1, byte *src, int count2,
                  const char *name2) {
  size_t start, length;
  vrel_writable("strcat", name1);
  start = vrel_length("strcat", trg, count1, name1);
  length = vrel_length("strcat", src, count2, name2);
  if (start + length >= (size_t) count1) {
    vrel_past_end("strcat", " would write past the end of ", name1);
  }
  memmove(trg + start, src, length + 1);
}

)vrel";
}

}  // namespace vrel
