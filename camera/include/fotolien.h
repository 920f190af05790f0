/* Fotolien: remote control of the Orka camera over USB.
 *
 * Flat C interface. Every function returns 0 on success, 1 on failure or
 * when refused in the current state, 2 when a computed value is out of range
 * (custom white balance) and 4 when there is no camera connection.
 *
 * Calling order: OpenCamera, StartPCControlMode (retry while it fails: the
 * camera needs a moment after opening), any camera operation; to finish, wait
 * until GetWaitingFileNumber reports 0, then TerminatePCControlMode and
 * CloseCamera. Calls come from one thread at a time. */
#ifndef FOTOLIEN_H
#define FOTOLIEN_H

#include <stdint.h>

#if defined(FOTOLIEN_BUILDING)
#define FOTOLIEN_API __attribute__((visibility("default")))
#else
#define FOTOLIEN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The camera's settings and readings in the application's numbering.
 * 39 little-endian int32 fields; the layout is stored byte for byte in
 * configuration templates, so the order never changes. */
typedef struct CameraStatusData {
    int32_t imageSize;
    int32_t imageQuality;
    int32_t shutterSpeed; /* index 0..49 */
    int32_t aperture;     /* index 0..12 */
    int32_t maxAperture;  /* index 0..12 */
    int32_t battery;      /* 0 full, 1 half, 2 empty */
    int32_t param36;
    int32_t macro;
    int32_t flashActive;
    int32_t exposureProgram;
    int32_t flashMode;
    int32_t whiteBalance; /* preset index 0..13 */
    int32_t driveMode;
    int32_t meteringMode;
    int32_t sensitivity;
    int32_t focusMode; /* 0 AF, 1 MF */
    int32_t exposureCompensation;
    int32_t bracketStep;
    int32_t param18;
    int32_t colorMode;
    int32_t sceneSelect;
    int32_t param28;
    int32_t flashCompensation;
    int32_t saturation;
    int32_t contrast;
    int32_t sharpness;
    int32_t colorFilter;
    int32_t bwFilter;
    int32_t warnings;
    int32_t flashCharge;
    int32_t focusDistance; /* millimetres, 0 = infinity */
    int32_t param65;
    int32_t param53;
    int32_t flashControl;
    int32_t focusPointMode;
    int32_t param13;
    int32_t aperturePreview;
    int32_t shutterSound;
    int32_t infocusSound;
} CameraStatusData;

typedef struct LiveViewInfo {
    uint32_t width;
    uint32_t height;
    uint32_t size;
} LiveViewInfo;

typedef struct SavedFileInfo {
    char directory[260];
    char fileName[256];
    int32_t inDocumentsFolder;
    int32_t numberingExhausted;
} SavedFileInfo;

#ifdef __cplusplus
static_assert(sizeof(CameraStatusData) == 156, "CameraStatusData is 39 int32 fields");
static_assert(sizeof(LiveViewInfo) == 12, "LiveViewInfo is 3 uint32 fields");
static_assert(sizeof(SavedFileInfo) == 524, "SavedFileInfo is 524 bytes");
#else
_Static_assert(sizeof(CameraStatusData) == 156, "CameraStatusData is 39 int32 fields");
_Static_assert(sizeof(SavedFileInfo) == 524, "SavedFileInfo is 524 bytes");
#endif

/* Session */
FOTOLIEN_API int32_t OpenCamera(int32_t productId);
FOTOLIEN_API int32_t CloseCamera(void);
FOTOLIEN_API int32_t SleepCamera(int32_t argument);
FOTOLIEN_API int32_t ShutdownCamera(void);
FOTOLIEN_API int32_t CheckExistUSBCamera(void);

/* PC-control mode and status */
FOTOLIEN_API int32_t StartPCControlMode(void);
FOTOLIEN_API int32_t TerminatePCControlMode(void);
FOTOLIEN_API int32_t GetCameraStatusData(CameraStatusData* status);

/* Live view */
FOTOLIEN_API int32_t SetLiveViewMode(int32_t mode);
FOTOLIEN_API int32_t LiveViewGetInfo(LiveViewInfo* info);
FOTOLIEN_API int32_t LiveViewGetFrame(void* buffer, uint32_t length, CameraStatusData* status);

/* Release, capture and files */
FOTOLIEN_API int32_t S1On(int32_t focusPoint[2]);
FOTOLIEN_API int32_t S1Off(void);
FOTOLIEN_API int32_t CaptureImage(int32_t seconds);
FOTOLIEN_API int32_t TerminateCaptureImage(void);
FOTOLIEN_API int32_t SetDisplayAfterView(int32_t on);
FOTOLIEN_API int32_t AfterViewGetInfo(LiveViewInfo* info);
FOTOLIEN_API int32_t AfterViewGetFrame(void* buffer, uint32_t length);
FOTOLIEN_API int32_t AfterViewConfirmation(int32_t keep);
FOTOLIEN_API int32_t SetSaveFileInformation(const char* directory, const char* prefix);
FOTOLIEN_API int32_t GetSavedFileInfo(SavedFileInfo* info);
FOTOLIEN_API int32_t GetWaitingFileNumber(int32_t* count);

/* Settings */
FOTOLIEN_API int32_t SetShutterSpeedValue(int32_t value);
FOTOLIEN_API int32_t SetApertureValue(int32_t value);
FOTOLIEN_API int32_t SetExposureProgram(int32_t value);
FOTOLIEN_API int32_t SetMeteringMode(int32_t value);
FOTOLIEN_API int32_t SetExposureCompensation(int32_t value);
FOTOLIEN_API int32_t SetFlashCompensation(int32_t value);
FOTOLIEN_API int32_t SetFocusMode(int32_t value);
FOTOLIEN_API int32_t SetImageQuality(int32_t value);
FOTOLIEN_API int32_t SetImageSize(int32_t value);
FOTOLIEN_API int32_t SetCameraSensitivity(int32_t value);
FOTOLIEN_API int32_t SetDriveMode(int32_t value);
FOTOLIEN_API int32_t SetExposureBracketStep(int32_t value);
FOTOLIEN_API int32_t SetWhiteBalanceMode(int32_t value);
FOTOLIEN_API int32_t SetColorFilter(int32_t value);
FOTOLIEN_API int32_t SetBWFilter(int32_t value);
FOTOLIEN_API int32_t SetImageSaturation(int32_t value);
FOTOLIEN_API int32_t SetImageContrast(int32_t value);
FOTOLIEN_API int32_t SetColorMode(int32_t value);
FOTOLIEN_API int32_t SetImageSharpness(int32_t value);
FOTOLIEN_API int32_t SetFlashMode(int32_t value);
FOTOLIEN_API int32_t SetSceneSelectMode(int32_t value);
FOTOLIEN_API int32_t SetShutterSound(int32_t value);
FOTOLIEN_API int32_t SetInfocusSound(int32_t value);
FOTOLIEN_API int32_t SetFlashCompensationType(int32_t value);

/* Focus */
FOTOLIEN_API int32_t SetFFPModeOn(void);
FOTOLIEN_API int32_t SetFFPModeOff(void);
FOTOLIEN_API int32_t SetFFPPosition(int32_t point[2]);
FOTOLIEN_API int32_t SetFDMPosition(int32_t point[2]);
FOTOLIEN_API int32_t ChangeFDMMode(void);
FOTOLIEN_API int32_t FocusAdjust(int32_t action);
FOTOLIEN_API int32_t SetSpotAEwithFFP(int32_t link);
FOTOLIEN_API int32_t SetAperturePreview(int32_t on);

/* Custom white balance. result[0] receives the temperature in kelvin,
 * result[1] the CC index as int16 bits. */
FOTOLIEN_API int32_t SetCustomWBParameter(uint32_t word);
FOTOLIEN_API int32_t SetCustomWBGrayPoint(int32_t x, int32_t y, uint16_t result[2]);

/* Interval mode and clock */
FOTOLIEN_API int32_t StartIntervalCaptureMode(void);
FOTOLIEN_API int32_t EndIntervalCaptureMode(void);
FOTOLIEN_API int32_t SyncCameraClock(uint32_t dateWord, uint32_t timeWord);

#ifdef __cplusplus
}
#endif

#endif
