// Knobs inside libUsbpipe that are not exported: the library's own tests link
// the sources directly and use them to shorten waits or to force a code path
// that this machine would not take by itself.
#pragma once

#include <chrono>

namespace usbpipe::internal {

// How long usbNativeOpen waits for the attach notification (default 10 s).
void setAttachWait(std::chrono::milliseconds wait);

// libusb driver: watch the device list every 250 ms even where libusb offers
// hotplug notification (default: hotplug whenever available).
void setForcePolling(bool force);

}  // namespace usbpipe::internal
