/*
 * brelkccd.h - the operations of the camera SDK that the toolbox calls.
 *
 * The camera maker's library `brelkccd` implements them; the simulated camera
 * in simulator/ implements the same symbols, so either library can be loaded
 * beside the modules. C linkage, 32-bit results: -1 means all 32 bits set.
 */
#ifndef BRELKCCD_H
#define BRELKCCD_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(BRELKCCD_BUILDING_LIBRARY)
#    define BRELKCCD_API __declspec(dllexport)
#  else
#    define BRELKCCD_API __declspec(dllimport)
#  endif
#else
#  define BRELKCCD_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque camera handle; the SDK owns it. */
typedef struct BrelkCcdCamera BrelkCcdHandle;

/* Control numbers. */
enum BrelkCcdControl {
  BRELKCCD_BRIGHTNESS = 0,
  BRELKCCD_CONTRAST = 1,
  BRELKCCD_WB_RED = 2,
  BRELKCCD_WB_BLUE = 3,
  BRELKCCD_WB_GREEN = 4,
  BRELKCCD_GAMMA = 5,
  BRELKCCD_GAIN = 6,
  BRELKCCD_OFFSET = 7,
  BRELKCCD_EXPOSURE = 8,
  BRELKCCD_TRAFFIC = 12,
  BRELKCCD_CURRENT_TEMPERATURE = 14,
  BRELKCCD_COOLER_PWM = 16, /* 255 is full power, 0 switches the cooler off */
  BRELKCCD_CFW = 17,        /* guard, wheel status, target position */
  BRELKCCD_COOLER_TARGET = 18,
  BRELKCCD_COLOR_PATTERN = 20, /* availability answers the pattern code 1..4 */
  BRELKCCD_CFW_SLOTS = 44,
  BRELKCCD_DDR = 48,
  BRELKCCD_COLOR_CAMERA = 59,
  BRELKCCD_HUMIDITY = 62,
  BRELKCCD_PRESSURE = 63
};

#define BRELKCCD_ERROR 0xFFFFFFFFu

BRELKCCD_API BrelkCcdHandle* OpenBRELKCCD(const char* id);
BRELKCCD_API uint32_t InitBRELKCCD(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t CloseBRELKCCD(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t ReleaseBRELKCCDResource(void);
BRELKCCD_API uint32_t SetBRELKCCDReadMode(BrelkCcdHandle* handle, uint32_t mode);
BRELKCCD_API uint32_t SetBRELKCCDStreamMode(BrelkCcdHandle* handle, uint8_t mode);
BRELKCCD_API uint32_t SetBRELKCCDParam(BrelkCcdHandle* handle, uint32_t control, double value);
BRELKCCD_API double GetBRELKCCDParam(BrelkCcdHandle* handle, uint32_t control);
BRELKCCD_API uint32_t IsBRELKCCDControlAvailable(BrelkCcdHandle* handle, uint32_t control);
BRELKCCD_API uint32_t SetBRELKCCDResolution(BrelkCcdHandle* handle, uint32_t x, uint32_t y,
                                            uint32_t sizeX, uint32_t sizeY);
BRELKCCD_API uint32_t GetBRELKCCDEffectiveArea(BrelkCcdHandle* handle, uint32_t* startX,
                                               uint32_t* startY, uint32_t* sizeX, uint32_t* sizeY);
BRELKCCD_API uint32_t GetBRELKCCDOverScanArea(BrelkCcdHandle* handle, uint32_t* startX,
                                              uint32_t* startY, uint32_t* sizeX, uint32_t* sizeY);
BRELKCCD_API uint32_t GetBRELKCCDChipInfo(BrelkCcdHandle* handle, double* chipWidth,
                                          double* chipHeight, uint32_t* imageWidth,
                                          uint32_t* imageHeight, double* pixelWidth,
                                          double* pixelHeight, uint32_t* bitsPerPixel);
BRELKCCD_API uint32_t IsBRELKCCDCFWPlugged(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t ExpBRELKCCDSingleFrame(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t CancelBRELKCCDExposingAndReadout(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t BeginBRELKCCDLive(BrelkCcdHandle* handle);
BRELKCCD_API uint32_t StopBRELKCCDLive(BrelkCcdHandle* handle);

#ifdef __cplusplus
}
#endif

#endif
