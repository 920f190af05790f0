/* Usbpipe: one USB device (the camera) as a handle with a bulk-out, a bulk-in
 * and the default control pipe. Every failure is a null handle or -1; only
 * the reason why opening failed can be asked for afterwards
 * (usbNativeOpenDiagnosis). */
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

/* Why the last usbNativeOpen of the process returned null: one of the
 * USBPIPE_OPEN_* values below (USBPIPE_OPEN_OK after an open that succeeded,
 * and before any open). When detail is not null and detailSize > 0, it
 * receives a text, cut to detailSize - 1 bytes and ended by a zero byte:
 * the device node for USBPIPE_OPEN_ACCESS_DENIED, the program holding the
 * device ("name (pid N)", empty when it cannot be seen) for
 * USBPIPE_OPEN_BUSY, else an empty text. Any thread may call it; it touches
 * nothing on the bus. A program that drives the camera through another
 * library (Fotolien's OpenCamera) calls it after that library failed to open
 * the camera, to tell the user what to do. */
USBPIPE_API int32_t usbNativeOpenDiagnosis(char* detail, int32_t detailSize);

#define USBPIPE_OPEN_OK 0            /* opened, or no open yet */
#define USBPIPE_OPEN_NO_DEVICE 1     /* no device with those identifiers on the bus */
#define USBPIPE_OPEN_ACCESS_DENIED 2 /* found, but its device node may not be opened */
#define USBPIPE_OPEN_BUSY 3          /* found, but another program holds it */
#define USBPIPE_OPEN_NOT_READY 4     /* found, but not usable before the wait ended */
#define USBPIPE_OPEN_UNAVAILABLE 5   /* the USB system could not be used at all */

#ifdef __cplusplus
}
#endif

#endif
