// What each packet from the camera does: a response completes its command
// and stores its results; a camera request is answered and acted on.
// Runs on the receive thread only.
#pragma once

#include <cstdint>

namespace fotolien {

struct Connection;
struct ReceivedPacket;

enum class AfterDispatch { Continue, EndSession };

// Dispatches one whole packet; EndSession after CameraClosing or
// CameraEnding (the receive thread then ends).
AfterDispatch dispatchPacket(Connection& c, void* device, ReceivedPacket&& packet);

// A response that arrived malformed: its command fails, nothing is stored.
void failResponse(Connection& c, uint16_t code);

}  // namespace fotolien
