// libmx stand-in: MATLAB arrays with MATLAB's layout rules (column-major,
// 16-bit char, separate real and imaginary parts).
//
// Data buffers are placed so that touching a byte past the end is caught at
// once. By default each buffer ends where a page ends and the next page is
// inaccessible, so a read or write past the end faults even in a build
// without sanitizers. Under AddressSanitizer, or with MEXHOST_ARRAY_DATA=heap
// (for valgrind), buffers come from the heap at their exact size instead,
// where those tools also catch reads before the start and after the free.
#include "mexhost.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#  include <sys/mman.h>
#  include <unistd.h>
#  define MEXHOST_GUARD_PAGES 1
#elif defined(_WIN32)
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
#  define MEXHOST_GUARD_PAGES 1
#endif
#if defined(__SANITIZE_ADDRESS__)
#  define MEXHOST_ASAN 1
#elif defined(__has_feature)
#  if __has_feature(address_sanitizer)
#    define MEXHOST_ASAN 1
#  endif
#endif

struct mxArray_tag {
  mxClassID classId = mxUNKNOWN_CLASS;
  std::vector<mwSize> dims;
  bool complex = false;
  bool sparse = false;
  size_t count = 0;      // elements (nzmax for sparse)
  size_t elementSize = 0;
  void* real = nullptr;
  void* imag = nullptr;
};

namespace {

std::atomic<size_t> liveArrays{0};

size_t elementSizeOf(mxClassID id) {
  switch (id) {
    case mxLOGICAL_CLASS:
    case mxINT8_CLASS:
    case mxUINT8_CLASS:
      return 1;
    case mxCHAR_CLASS:
    case mxINT16_CLASS:
    case mxUINT16_CLASS:
      return 2;
    case mxSINGLE_CLASS:
    case mxINT32_CLASS:
    case mxUINT32_CLASS:
      return 4;
    case mxDOUBLE_CLASS:
    case mxINT64_CLASS:
    case mxUINT64_CLASS:
      return 8;
    case mxCELL_CLASS:
    case mxSTRUCT_CLASS:
      return sizeof(void*);
    default:
      return 0;
  }
}

#if defined(MEXHOST_GUARD_PAGES) && !defined(MEXHOST_ASAN)
bool guardPages() {
  static const bool on = [] {
    const char* mode = std::getenv("MEXHOST_ARRAY_DATA");
    return !(mode && std::strcmp(mode, "heap") == 0);
  }();
  return on;
}

size_t pageSize() {
#if defined(_WIN32)
  static const size_t size = [] {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
  }();
#else
  static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
  return size;
}

// Fresh zero-filled pages, the last one inaccessible; null if unavailable.
char* mapGuarded(size_t mapped) {
#if defined(_WIN32)
  void* base = VirtualAlloc(nullptr, mapped, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!base) return nullptr;
  DWORD previous;
  if (!VirtualProtect(static_cast<char*>(base) + mapped - pageSize(), pageSize(), PAGE_NOACCESS, &previous)) {
    VirtualFree(base, 0, MEM_RELEASE);
    return nullptr;
  }
#else
  void* base = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) return nullptr;
  if (mprotect(static_cast<char*>(base) + mapped - pageSize(), pageSize(), PROT_NONE) != 0) {
    munmap(base, mapped);
    return nullptr;
  }
#endif
  return static_cast<char*>(base);
}

void unmapGuarded(char* base, size_t mapped) {
#if defined(_WIN32)
  (void)mapped;
  VirtualFree(base, 0, MEM_RELEASE);
#else
  munmap(base, mapped);
#endif
}

// Whole pages for the data plus one inaccessible page after them.
size_t mappedBytes(size_t bytes) { return (bytes + pageSize() - 1) / pageSize() * pageSize() + pageSize(); }
#endif

// A zero-filled data buffer of `bytes`; null for none.
void* zeroed(size_t bytes) {
  if (bytes == 0) return nullptr;
#if defined(MEXHOST_GUARD_PAGES) && !defined(MEXHOST_ASAN)
  if (guardPages()) {
    const size_t mapped = mappedBytes(bytes);
    char* base = mapGuarded(mapped);
    if (!base) throw std::bad_alloc();
    char* guard = base + mapped - pageSize();
    return guard - bytes;  // element-aligned: bytes is a multiple of the element size
  }
#endif
  void* p = std::calloc(1, bytes);
  if (!p) throw std::bad_alloc();
  return p;
}

void release(void* data, size_t bytes) {
  if (!data) return;
#if defined(MEXHOST_GUARD_PAGES) && !defined(MEXHOST_ASAN)
  if (guardPages()) {
    const size_t mapped = mappedBytes(bytes);
    char* end = static_cast<char*>(data) + bytes + pageSize();
    unmapGuarded(end - mapped, mapped);
    return;
  }
#else
  (void)bytes;
#endif
  std::free(data);
}

mxArray* make(mxClassID id, std::vector<mwSize> dims, bool complex, size_t count) {
  auto* a = new mxArray;
  a->classId = id;
  if (dims.size() < 2) dims.resize(2, 1);
  a->dims = std::move(dims);
  a->complex = complex;
  a->count = count;
  a->elementSize = elementSizeOf(id);
  a->real = zeroed(count * a->elementSize);
  if (complex) a->imag = zeroed(count * a->elementSize);
  ++liveArrays;
  return a;
}

size_t product(const std::vector<mwSize>& dims) {
  size_t n = 1;
  for (mwSize d : dims) n *= d;
  return n;
}

bool isNumericClass(mxClassID id) { return id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS; }

// Octave panics ("impossible state reached") when a MEX function asks for
// the data of a function handle or an object; so does this host.
const mxArray* dataOf(const mxArray* pa, const char* function) {
  const mxClassID id = pa->classId;
  if (id == mxFUNCTION_CLASS || id == mxUNKNOWN_CLASS || id == mxOPAQUE_CLASS || id == mxOBJECT_CLASS) {
    std::fprintf(stderr, "mexhost: %s of %s: panic: impossible state reached\n", function,
                 id == mxFUNCTION_CLASS ? "a function handle" : "an object");
    std::abort();
  }
  return pa;
}

}  // namespace

extern "C" {

mxArray* mxCreateNumericArray_730(mwSize ndim, const mwSize* dims, mxClassID classid,
                                  mxComplexity flag) {
  std::vector<mwSize> d(dims, dims + ndim);
  return make(classid, d, flag == mxCOMPLEX, product(d));
}

mxArray* mxCreateNumericMatrix_730(mwSize m, mwSize n, mxClassID classid, mxComplexity flag) {
  return make(classid, {m, n}, flag == mxCOMPLEX, m * n);
}

mxArray* mxCreateDoubleMatrix_730(mwSize m, mwSize n, mxComplexity flag) {
  return mxCreateNumericMatrix_730(m, n, mxDOUBLE_CLASS, flag);
}

mxArray* mxCreateDoubleScalar(double value) {
  mxArray* a = mxCreateDoubleMatrix_730(1, 1, mxREAL);
  *static_cast<double*>(a->real) = value;
  return a;
}

mxArray* mxCreateCharArray_730(mwSize ndim, const mwSize* dims) {
  std::vector<mwSize> d(dims, dims + ndim);
  return make(mxCHAR_CLASS, d, false, product(d));
}

mxArray* mxCreateString(const char* str) {
  // UTF-8 to UTF-16, as MATLAB stores text.
  std::u16string text;
  const auto* s = reinterpret_cast<const unsigned char*>(str ? str : "");
  while (*s) {
    uint32_t c = *s++;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (more) c &= 0x3Fu >> more;
    for (; more > 0 && (*s & 0xC0) == 0x80; --more) c = (c << 6) | (*s++ & 0x3Fu);
    if (c >= 0x10000) {
      c -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(c));
    }
  }
  mxArray* a = make(mxCHAR_CLASS, {text.empty() ? 0u : 1u, text.size()}, false, text.size());
  if (!text.empty()) std::memcpy(a->real, text.data(), text.size() * sizeof(char16_t));
  return a;
}

mxArray* mxCreateLogicalMatrix_730(mwSize m, mwSize n) {
  return make(mxLOGICAL_CLASS, {m, n}, false, m * n);
}

mxArray* mxCreateCellMatrix_730(mwSize m, mwSize n) {
  return make(mxCELL_CLASS, {m, n}, false, m * n);
}

mxArray* mxCreateSparse_730(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag) {
  mxArray* a = make(mxDOUBLE_CLASS, {m, n}, flag == mxCOMPLEX, nzmax ? nzmax : 1);
  a->sparse = true;
  return a;
}

mxArray* mxCreateStructMatrix_730(mwSize m, mwSize n, int, const char**) {
  return make(mxSTRUCT_CLASS, {m, n}, false, 0);
}

mxArray* mexhost_create_function_handle(void) { return make(mxFUNCTION_CLASS, {1, 1}, false, 0); }

mxArray* mexhost_create_object(mxClassID classid) { return make(classid, {1, 1}, false, 0); }

void mxDestroyArray(mxArray* pa) {
  if (!pa) return;
  if (pa->classId == mxCELL_CLASS)
    for (size_t i = 0; i < pa->count; ++i) mxDestroyArray(static_cast<mxArray**>(pa->real)[i]);
  release(pa->real, pa->count * pa->elementSize);
  release(pa->imag, pa->count * pa->elementSize);
  delete pa;
  --liveArrays;
}

void mxSetCell(mxArray* pa, mwIndex i, mxArray* value) {
  if (pa->classId != mxCELL_CLASS || i >= pa->count) return;
  static_cast<mxArray**>(pa->real)[i] = value;
}

mxArray* mxGetCell(const mxArray* pa, mwIndex i) {
  if (pa->classId != mxCELL_CLASS || i >= pa->count) return nullptr;
  return static_cast<mxArray**>(pa->real)[i];
}

void* mxGetData(const mxArray* pa) { return dataOf(pa, "mxGetData")->real; }
void* mxGetImagData(const mxArray* pa) { return dataOf(pa, "mxGetImagData")->imag; }
double* mxGetPr(const mxArray* pa) {
  return dataOf(pa, "mxGetPr")->classId == mxDOUBLE_CLASS ? static_cast<double*>(pa->real) : nullptr;
}
mxChar* mxGetChars(const mxArray* pa) {
  return dataOf(pa, "mxGetChars")->classId == mxCHAR_CLASS ? static_cast<mxChar*>(pa->real) : nullptr;
}
mxClassID mxGetClassID(const mxArray* pa) { return pa->classId; }
size_t mxGetNumberOfElements(const mxArray* pa) { return product(pa->dims); }
size_t mxGetElementSize(const mxArray* pa) { return pa->elementSize; }
size_t mxGetM(const mxArray* pa) { return pa->dims[0]; }
size_t mxGetN(const mxArray* pa) {
  size_t n = 1;
  for (size_t i = 1; i < pa->dims.size(); ++i) n *= pa->dims[i];
  return n;
}
mwSize mxGetNumberOfDimensions_730(const mxArray* pa) { return pa->dims.size(); }
const mwSize* mxGetDimensions_730(const mxArray* pa) { return pa->dims.data(); }
bool mxIsChar(const mxArray* pa) { return pa->classId == mxCHAR_CLASS; }
bool mxIsNumeric(const mxArray* pa) { return isNumericClass(pa->classId); }
bool mxIsLogical(const mxArray* pa) { return pa->classId == mxLOGICAL_CLASS; }
bool mxIsComplex(const mxArray* pa) { return pa->complex; }
bool mxIsSparse(const mxArray* pa) { return pa->sparse; }
bool mxIsEmpty(const mxArray* pa) { return mxGetNumberOfElements(pa) == 0; }

int mxGetString_730(const mxArray* pa, char* buf, mwSize buflen) {
  if (!buf || buflen == 0) return 1;
  buf[0] = '\0';
  if (pa->classId != mxCHAR_CLASS) return 1;
  // UTF-16 to UTF-8, stopping where the buffer ends.
  const auto* chars = static_cast<const char16_t*>(pa->real);
  const size_t n = mxGetNumberOfElements(pa);
  size_t out = 0;
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = chars[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && chars[i + 1] >= 0xDC00 && chars[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (chars[++i] - 0xDC00);
    char bytes[4];
    size_t len;
    if (c < 0x80) {
      bytes[0] = static_cast<char>(c);
      len = 1;
    } else if (c < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (c >> 6));
      bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
      len = 2;
    } else if (c < 0x10000) {
      bytes[0] = static_cast<char>(0xE0 | (c >> 12));
      bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
      len = 3;
    } else {
      bytes[0] = static_cast<char>(0xF0 | (c >> 18));
      bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
      len = 4;
    }
    if (out + len >= buflen) {
      buf[out] = '\0';
      return 1;
    }
    std::memcpy(buf + out, bytes, len);
    out += len;
  }
  buf[out] = '\0';
  return 0;
}

size_t mexhost_live_arrays(void) { return liveArrays.load(); }

}  // extern "C"
