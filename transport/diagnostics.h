// One-line explanations on standard error for the two ways a present camera
// cannot be used on Linux: no permission on its device node, or another
// program holding its interface.
#pragma once

#include <string>

namespace usbpipe::diagnostics {

// Device node of a USB device: /dev/bus/usb/BBB/DDD.
std::string deviceNode(int busNumber, int deviceAddress);

// The process other than `ownPid` that has `node` open, as "name (pid N)",
// found by scanning procRoot/*/fd; `ownPid` itself counts only when it has
// the node open more than once. Empty when no holder can be seen (other
// users' processes are invisible without privileges).
std::string findHolder(const std::string& node, const std::string& procRoot, long ownPid);

// The texts written, one line each without the trailing newline.
std::string accessDeniedMessage(const std::string& node);
std::string busyMessage(const std::string& node, const std::string& holder);

// Writes the line to standard error. reportBusy returns the holder it named
// (findHolder in /proc, empty when none can be seen).
void reportAccessDenied(const std::string& node);
std::string reportBusy(const std::string& node);

}  // namespace usbpipe::diagnostics
