// What each packet from the camera does: a response completes its command
// and stores its results; a camera request is answered and acted on.
// Runs on the receive thread only.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "packets.h"

namespace fotolien {

struct Connection;

enum class AfterDispatch { Continue, EndSession };

// A response (or, with a null payload, one that arrived malformed: its
// command then fails and nothing is stored). In one step under the
// connection's lock: the serving number advances, the command completes
// with its results, and the command's outstanding count is released.
void dispatchResponse(Connection& c, uint16_t code, ReceivedBytes* payload);

// A camera request (or any other packet): answered and acted on.
// EndSession after CameraClosing or CameraEnding (the receive thread then
// ends).
AfterDispatch dispatchRequest(Connection& c, void* device, uint16_t code,
                              std::span<const uint8_t> payload);

}  // namespace fotolien
