// The names of the SDK's operations, as scripts and the journal use them.
#pragma once

namespace brelksim {

inline constexpr const char* kOperations[] = {
    "OpenBRELKCCD", "InitBRELKCCD", "CloseBRELKCCD", "ReleaseBRELKCCDResource",
    "SetBRELKCCDReadMode", "SetBRELKCCDStreamMode", "SetBRELKCCDParam", "GetBRELKCCDParam",
    "IsBRELKCCDControlAvailable", "SetBRELKCCDResolution", "GetBRELKCCDEffectiveArea",
    "GetBRELKCCDOverScanArea", "GetBRELKCCDChipInfo", "IsBRELKCCDCFWPlugged",
    "ExpBRELKCCDSingleFrame", "CancelBRELKCCDExposingAndReadout", "BeginBRELKCCDLive",
    "StopBRELKCCDLive"};

}  // namespace brelksim
