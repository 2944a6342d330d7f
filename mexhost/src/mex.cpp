// libmex stand-in: mexPrintf collects the text for tests to read (and can
// echo it); the error functions abort, since no toolbox function may raise
// a MATLAB error.
#include "mexhost.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string printed;
bool echo = false;

int append(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, format, args);
  if (n > 0) {
    if (static_cast<size_t>(n) < sizeof small) {
      printed.append(small, static_cast<size_t>(n));
    } else {
      std::string big(static_cast<size_t>(n) + 1, '\0');
      std::vsnprintf(big.data(), big.size(), format, again);
      big.pop_back();
      printed += big;
    }
    if (echo) std::fwrite(printed.data() + printed.size() - static_cast<size_t>(n), 1,
                          static_cast<size_t>(n), stdout);
  }
  va_end(again);
  return n;
}

[[noreturn]] void raise(const char* what) {
  std::fprintf(stderr, "mexhost: a MEX function raised a MATLAB error: %s\n", what);
  std::abort();
}
}  // namespace

extern "C" {

int mexPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int n = append(format, args);
  va_end(args);
  return n;
}

void mexErrMsgTxt(const char* message) { raise(message); }

void mexErrMsgIdAndTxt(const char* id, const char*, ...) { raise(id); }

void mexWarnMsgTxt(const char* message) { std::fprintf(stderr, "Warning: %s\n", message); }

size_t mexhost_take_printed(char* buf, size_t buflen) {
  const size_t n = printed.size();
  if (buf && buflen) {
    const size_t copied = n < buflen - 1 ? n : buflen - 1;
    std::memcpy(buf, printed.data(), copied);
    buf[copied] = '\0';
  }
  printed.clear();
  return n;
}

size_t mexhost_printed_length(void) { return printed.size(); }

void mexhost_echo(int on) { echo = on != 0; }

}  // extern "C"
