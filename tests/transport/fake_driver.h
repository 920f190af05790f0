// A scripted driver layer for the export layer's tests: one device on a
// pretend bus whose bulk-in transfers the test queues and whose calls it
// inspects afterwards.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace fakebus {

struct Call {
    enum Kind { Bulk, Control, ResetPipe, ResetDevice, Abort } kind = Bulk;
    uint8_t endpoint = 0;  // pipe for ResetPipe and Abort
    const void* buffer = nullptr;
    uint32_t length = 0;
    uint32_t timeoutMs = 0;
    std::array<uint8_t, 8> setup{};
    std::vector<uint8_t> data;  // bytes sent (out transfers)
};

// Back to: device present with interface 0 and 64-byte packets, selection
// succeeds, nothing queued, no calls recorded.
void reset();
void setPresent(bool present);
void setPacketSize(uint32_t size);
void setInterfaceNumber(int number);
void setSelectStatus(uint32_t status);
// The device's holder() (for a select status of kBusy).
void setHolder(std::string holder);
// The device present at registration is refused for want of permission
// (node /dev/bus/usb/001/007), or seen but not offered until a replug.
void setAccessDenied(bool denied);
void setNotReady(bool notReady);
// Every transfer throws std::bad_alloc (a driver that runs out of memory).
void setThrowOnTransfer(bool enabled);

// One bulk-in transfer the device will send. A transfer longer than a read
// request fills the request and the rest waits for the next one, as on a bulk
// pipe; a shorter one ends the request early (a short packet).
void queueIn(std::vector<uint8_t> transfer);

// Unplug delivers the detach notification to every registration holding the
// device; replug the attach notification (a new device object).
void unplug();
void replug();

std::vector<Call> calls();
void clearCalls();
// Registrations made and not yet stopped.
int liveRegistrations();
// Waits until `count` registrations are live.
bool waitForRegistrations(int count, std::chrono::milliseconds limit);
// Waits until a bulk-in transfer is waiting for data.
bool waitForBlockedRead(std::chrono::milliseconds limit);

}  // namespace fakebus
