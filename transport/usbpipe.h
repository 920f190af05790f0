/* Usbpipe: one USB device (the camera) as a handle with a bulk-out, a bulk-in
 * and the default control pipe. Every failure is a null handle or -1; the
 * reason never leaves the library. */
#ifndef USBPIPE_H
#define USBPIPE_H

#include <stdint.h>

#if defined(USBPIPE_BUILDING)
#define USBPIPE_API __attribute__((visibility("default")))
#else
#define USBPIPE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

USBPIPE_API int32_t usbNativeInit(void);
USBPIPE_API void* usbNativeOpen(int32_t vendorId, int32_t productId, int32_t unused);
USBPIPE_API void* usbNativeClose(void* handle);
USBPIPE_API int32_t usbNativeCountDev(int32_t vendorId, int32_t productId);
USBPIPE_API int32_t usbNativeDeviceReset(void* handle);
USBPIPE_API int32_t usbNativeWriteControl(void* handle, const void* buffer, int32_t length);
USBPIPE_API int32_t usbNativeWriteBulk(void* handle, const void* buffer, int32_t unused,
                                       int32_t length);
USBPIPE_API int32_t usbNativeReadBulk(void* handle, void* buffer, int32_t offset, int32_t length);
USBPIPE_API int32_t usbNativeStopWriteBulk(void* handle);
USBPIPE_API int32_t usbNativeStopReadBulk(void* handle);
USBPIPE_API int32_t usbNativeResetWriteBulk(void* handle);
USBPIPE_API int32_t usbNativeResetReadBulk(void* handle);

#ifdef __cplusplus
}
#endif

#endif
