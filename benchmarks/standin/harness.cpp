#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "brelkccd_sim.h"
#include "mexhost.h"

namespace brelkbench {

namespace {

void sdkSetGain(const char* id) { SetBRELKCCDParam(OpenBRELKCCD(id), BRELKCCD_GAIN, 30); }

void sdkSetRoi(const char* id) { SetBRELKCCDResolution(OpenBRELKCCD(id), 0, 0, 640, 480); }

void sdkChipInfo(const char* id) {
  double chipWidth, chipHeight, pixelWidth, pixelHeight;
  uint32_t imageWidth, imageHeight, bitsPerPixel;
  GetBRELKCCDChipInfo(OpenBRELKCCD(id), &chipWidth, &chipHeight, &imageWidth, &imageHeight, &pixelWidth,
                      &pixelHeight, &bitsPerPixel);
}

void sdkDebayer(const char* id) {
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  IsBRELKCCDControlAvailable(camera, BRELKCCD_COLOR_CAMERA);
  IsBRELKCCDControlAvailable(camera, BRELKCCD_COLOR_PATTERN);
}

void sdkCfwStatus(const char* id) {
  BrelkCcdHandle* camera = OpenBRELKCCD(id);
  IsBRELKCCDControlAvailable(camera, BRELKCCD_CFW);
  GetBRELKCCDParam(camera, BRELKCCD_CFW);
}

void sdkOpenOnly(const char* id) { OpenBRELKCCD(id); }

void sdkTemperature(const char* id) { GetBRELKCCDParam(OpenBRELKCCD(id), BRELKCCD_CURRENT_TEMPERATURE); }

void sdkCoolerPwm(const char* id) { GetBRELKCCDParam(OpenBRELKCCD(id), BRELKCCD_COOLER_PWM); }

std::string modulePath(const char* module, Build build) {
  const std::string file = std::string(module) + "." + BRELK_MEX_EXT;
  if (build == Build::Twin) return std::string(BRELK_BENCH_DIR) + "/twins/twin_" + file;
  const bool baseline = std::strncmp(module, "BRELK_", 6) != 0;
  return std::string(baseline ? BRELK_BENCH_DIR : BRELK_MEX_DIR) + "/" + file;
}

void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "bench: %s\n", what);
  std::exit(2);
}

}  // namespace

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"baseline", "mexbaseline (SIM-MONO)", "mexbaseline", "SIM-MONO", {}, 1, nullptr, 0, false},
      {"baseline7", "mexbaseline, 7 outputs", "mexbaseline", "SIM-MONO", {}, 7, nullptr, 0, false},
      {"setter", "BRELK_6_SetGain (SIM-MONO)", "BRELK_6_SetGain", "SIM-MONO", {30}, 1, sdkSetGain, 0, true},
      {"roi", "BRELK_6_SetROI (SIM-MONO)", "BRELK_6_SetROI", "SIM-MONO", {0, 0, 640, 480}, 1, sdkSetRoi, 0, true},
      {"chipinfo", "BRELK_7_GetChipInfo (SIM-MONO)", "BRELK_7_GetChipInfo", "SIM-MONO", {}, 7, sdkChipInfo, 0,
       true},
      {"debayer", "BRELK_7_GetDebayer (SIM-COLOR)", "BRELK_7_GetDebayer", "SIM-COLOR", {}, 2, sdkDebayer, 0, true},
      {"cfwstatus", "BRELK_8_GetCFWStatus (SIM-MONO)", "BRELK_8_GetCFWStatus", "SIM-MONO", {}, 2, sdkCfwStatus, 0,
       true},
      {"coolerpwm", "BRELK_7_GetCoolerPWM (SIM-MONO)", "BRELK_7_GetCoolerPWM", "SIM-MONO", {}, 2, sdkCoolerPwm, 0,
       true},
      // One output: on this path the module creates only the status.
      {"openfail", "BRELK_8_GetCFWStatus (NO-SUCH-CAMERA)", "BRELK_8_GetCFWStatus", "NO-SUCH-CAMERA", {}, 1,
       sdkOpenOnly, -1, true},
      {"temperature", "BRELK_7_GetTemperature (SIM-MONO)", "BRELK_7_GetTemperature", "SIM-MONO", {}, 2,
       sdkTemperature, 0, false},
  };
  return all;
}

const Case* findCase(const std::string& label) {
  for (const Case& c : cases())
    if (label == c.label) return &c;
  return nullptr;
}

Prepared::Prepared(const Case& c, Build build)
    : case_(c), path_(modulePath(c.module, build)), slots_(c.nlhs > 1 ? c.nlhs : 1) {
  std::string error;
  entry_ = mexhost::loadGateway(path_, error);
  if (!entry_) std::fprintf(stderr, "bench: %s: %s\n", path_.c_str(), error.c_str());
  require(entry_ != nullptr, "cannot load a module");
  require(slots_ <= 8, "too many outputs");
  inputs_.push_back(mxCreateString(c.id));
  for (double n : c.numbers) inputs_.push_back(mxCreateDoubleScalar(n));
}

Prepared::~Prepared() {
  for (const mxArray* a : inputs_) mxDestroyArray(const_cast<mxArray*>(a));
}

void Prepared::call() {
  for (int i = 0; i < slots_; ++i) outputs_[i] = nullptr;
  entry_(case_.nlhs, outputs_, static_cast<int>(inputs_.size()), inputs_.data());
  for (int i = 0; i < slots_; ++i) mxDestroyArray(outputs_[i]);
  mexhost_take_printed(nullptr, 0);
}

int32_t Prepared::check(std::string& printed) {
  for (int i = 0; i < slots_; ++i) outputs_[i] = nullptr;
  entry_(case_.nlhs, outputs_, static_cast<int>(inputs_.size()), inputs_.data());
  const int32_t status = outputs_[0] ? *static_cast<const int32_t*>(mxGetData(outputs_[0])) : INT32_MIN;
  for (int i = 0; i < slots_; ++i) mxDestroyArray(outputs_[i]);
  printed = mexhost::takePrinted();
  return status;
}

void Prepared::callSdk() {
  if (case_.sdk) case_.sdk(case_.id);
}

void prepareSdk() {
  BrelkSimReset();
  BrelkSimSetManualClock(1);
  for (const char* id : {"SIM-MONO", "SIM-COLOR"}) {
    BrelkCcdHandle* camera = OpenBRELKCCD(id);
    require(camera && SetBRELKCCDReadMode(camera, 0) == 0 && SetBRELKCCDStreamMode(camera, 0) == 0 &&
                InitBRELKCCD(camera) == 0,
            "the simulated cameras do not initialise");
  }
  // Fixed answers, so that no call depends on the cameras' state.
  const double chip[] = {11.52, 7.68, 3072, 2048, 3.75, 3.75, 16};
  const bool scripted = BrelkSimScript("SetBRELKCCDParam", BRELKCCD_GAIN, 0) == 0 &&
                        BrelkSimScript("SetBRELKCCDResolution", BRELKSIM_ANY_CONTROL, 0) == 0 &&
                        BrelkSimScript("GetBRELKCCDChipInfo", BRELKSIM_ANY_CONTROL, 0) == 0 &&
                        BrelkSimScriptOutputs("GetBRELKCCDChipInfo", 7, chip, 0x7F) == 0 &&
                        BrelkSimScript("IsBRELKCCDControlAvailable", BRELKCCD_CFW, 0) == 0 &&
                        BrelkSimScript("IsBRELKCCDControlAvailable", BRELKCCD_COLOR_CAMERA, 0) == 0 &&
                        BrelkSimScript("IsBRELKCCDControlAvailable", BRELKCCD_COLOR_PATTERN, 4) == 0 &&
                        BrelkSimScript("GetBRELKCCDParam", BRELKCCD_CFW, '3') == 0 &&
                        BrelkSimScript("GetBRELKCCDParam", BRELKCCD_CURRENT_TEMPERATURE, -10) == 0 &&
                        BrelkSimScript("GetBRELKCCDParam", BRELKCCD_COOLER_PWM, 128) == 0;
  require(scripted, "the simulator refused a script");
  BrelkSimSetJournal(0);  // its lines would count as the toolbox's cost and memory
  BrelkSimJournalClear();
  mexhost_take_printed(nullptr, 0);
}

long residentKiB() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kib = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
  std::fclose(f);
  return kib;
}

}  // namespace brelkbench
