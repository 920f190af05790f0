// Everything the library writes to the camera goes out here.
//
// Commands: the procedure every export uses to send one command and wait for
// its response: wait for a free link, take a command number, wait for that
// number's turn, write under the command mutex (a failed write is rolled
// back so that the next command proceeds), then wait for the answer.
// Commands therefore reach the camera one at a time, in number order.
//
// Replies: the receive thread's answers to the camera's requests, each with
// the next reply number, written without the command mutex and without
// waiting for a turn.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

namespace fotolien {

struct Connection;

// How long a command waits for the camera to finish everything before it.
constexpr std::chrono::milliseconds kFreeLinkLimit{3000};

enum class Await {
    Status,    // the response, and success only for status 0
    Arrival,   // the response, whatever its status
    Pressed,   // the press state to become pressed (S1On)
    Released,  // the press state to become released (S1Off)
    Nothing,   // return once written
};

struct CommandOptions {
    Await await = Await::Status;
    // Run with the connection's `mutex` held: just before the write (under
    // the command mutex too), and after a successful write. For state that
    // must change exactly then; `number` is the command's number.
    std::function<void(Connection&, uint32_t number)> beforeWrite;
    std::function<void(Connection&, uint32_t number)> afterWrite;
};

// Sends `code` with `payload`; 0 on success, -1 on failure (no connection,
// link busy for 3 s, link lost, failed write, or the awaited answer failed).
int sendCommand(uint16_t code, std::span<const uint8_t> payload,
                const CommandOptions& options = {});

// Hands out the next command number (1..kLastCommandNumber, wrapping), the
// only place command numbers come from. `mutex` held.
uint32_t takeCommandNumberLocked(Connection& c);

// Waits until no command or camera request is outstanding (3 s at most);
// false when the link stays busy, is lost or there is no connection.
bool waitForFreeLink();

// Writes a reply to the camera's request `code` with the next reply number
// (reply numbers run on across connections). Receive thread only.
void sendReply(void* device, uint16_t code, std::span<const uint8_t> payload);

}  // namespace fotolien
