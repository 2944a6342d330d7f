// The names of the SDK's operations, as scripts and the journal use them.
#pragma once

#include <cstring>

namespace brelksim {

inline constexpr const char* kOperations[] = {
    "OpenBRELKCCD", "InitBRELKCCD", "CloseBRELKCCD", "ReleaseBRELKCCDResource",
    "SetBRELKCCDReadMode", "SetBRELKCCDStreamMode", "SetBRELKCCDParam", "GetBRELKCCDParam",
    "IsBRELKCCDControlAvailable", "SetBRELKCCDResolution", "GetBRELKCCDEffectiveArea",
    "GetBRELKCCDOverScanArea", "GetBRELKCCDChipInfo", "IsBRELKCCDCFWPlugged",
    "ExpBRELKCCDSingleFrame", "CancelBRELKCCDExposingAndReadout", "BeginBRELKCCDLive",
    "StopBRELKCCDLive"};

inline bool knownOperation(const char* operation) {
  for (const char* op : kOperations)
    if (std::strcmp(op, operation) == 0) return true;
  return false;
}

// The operations that take a control number, and so can be scripted per
// control; the others only ever look up the script for every control.
inline constexpr const char* kControlOperations[] = {"SetBRELKCCDParam", "GetBRELKCCDParam",
                                                     "IsBRELKCCDControlAvailable"};

inline bool takesControl(const char* operation) {
  for (const char* op : kControlOperations)
    if (std::strcmp(op, operation) == 0) return true;
  return false;
}

}  // namespace brelksim
