// Loading a built MEX file and finding its entry points as MATLAB does:
// dlopen on Linux, LoadLibrary on Windows. For the programs that host modules
// in the stand-in (tests, fuzz driver, benchmarks).
#pragma once

#include <string>

#include "mex.h"

#if defined(_WIN32)
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace mexhost {

using Gateway = void (*)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// The module's handle, or null with the reason in `error`.
inline void* loadModule(const std::string& path, std::string& error) {
#if defined(_WIN32)
  HMODULE lib = LoadLibraryA(path.c_str());
  if (!lib) error = "LoadLibrary error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(lib);
#else
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) error = dlerror();
  return lib;
#endif
}

// An exported function by name, or null.
inline void* moduleSymbol(void* lib, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
#else
  return dlsym(lib, name);
#endif
}

// The module's mexFunction, or null with the reason in `error`.
inline Gateway loadGateway(const std::string& path, std::string& error) {
  void* lib = loadModule(path, error);
  if (!lib) return nullptr;
  auto entry = reinterpret_cast<Gateway>(moduleSymbol(lib, "mexFunction"));
  if (!entry) error = "no mexFunction";
  return entry;
}

}  // namespace mexhost
