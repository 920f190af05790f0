// The camera as a USB device under umockdev, for the real libusb driver: a
// sysfs entry and device node in a umockdev testbed whose usbdevfs requests
// are served from the simulated camera's protocol model (orkasim::Camera).
//
// The program must run under umockdev-wrapper (its ioctl and netlink calls
// are redirected to the testbed). One instance per process.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace emulated {

class Camera {
  public:
    // Creates the testbed; the device is not plugged in yet.
    Camera();
    ~Camera();

    static bool underUmockdev();

    // Plugs the device in at the next device address and raises the "add"
    // event; the simulated camera is replugged as well.
    void plug();
    // The device goes away: every later request on its node fails with
    // ENODEV, the simulated camera is unplugged, and "remove" is raised.
    void unplug();
    bool plugged() const;
    // Device node of the current (or last) plug-in: /dev/bus/usb/001/DDD.
    std::string node() const;

    // Answer the interface claim with EBUSY (another program holds it).
    void setClaimBusy(bool busy);
    // How long an empty reap waits for a completion before answering EAGAIN.
    // The emulated node always polls writable, so libusb's event loop spins
    // through empty reaps; waiting a little keeps that cheap.
    void setReapWait(std::chrono::microseconds wait);

    // What the host did, for assertions.
    struct Counters {
        int claims = 0;
        int releases = 0;
        int resets = 0;
        int clearHalts = 0;
        int bulkOut = 0;
        int bulkIn = 0;
        int control = 0;
        int discards = 0;
        std::vector<uint32_t> bulkInLengths;  // length of every bulk-in request
    };
    Counters counters() const;
    void clearCounters();
    // URBs submitted and not yet reaped by the host.
    int inFlight() const;
    // Requests the emulation could not serve (answered ENOTTY), by number.
    std::vector<unsigned long> unservedRequests() const;

    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace emulated
