// The library frame shared by every export: result codes, the guard, and
// the end of a connection.
#pragma once

#include <cstdint>

namespace fotolien {

struct Connection;

// Results of the exports.
constexpr int32_t kOk = 0;
constexpr int32_t kFailed = 1;
constexpr int32_t kOutOfRange = 2;
constexpr int32_t kNoCamera = 4;

// Internal procedures return 0 or -1; the exports return kOk or kFailed.
constexpr int32_t exportResult(int procedureResult) {
    return procedureResult == 0 ? kOk : kFailed;
}

// Runs the body of an export: an exception (an allocation, a thread that
// cannot start) never leaves the library; the export returns `failure`.
template <typename Body>
int32_t guarded(int32_t failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// The guard of most exports: PC-control mode is on.
bool inControlMode();
// The guard of the after-view exports: a capture is in progress.
bool capturing();

// Ends whatever remains of the connection: stops and joins the receive
// thread, cancels pending transfers, closes the device and drops the stored
// pictures. Caller's thread only; does nothing when there is no connection.
void endConnection(Connection& c);

}  // namespace fotolien
