// The camera's bulk-in pipe as the host sees it: a queue of messages, each
// sent as one transfer that ends in a short packet. A read takes at most the
// rest of the message at the head; a message longer than the read waits for
// the next read. Not thread-safe: the camera model guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace orkasim {

class InPipe {
  public:
    // `unplugWhenRead`: the camera leaves the bus once the host has read the
    // message to its end (a transfer cut short by an unplug).
    void push(std::vector<uint8_t> message, bool unplugWhenRead = false);
    bool empty() const { return messages_.empty(); }
    size_t messages() const { return messages_.size(); }
    // Bytes still waiting in the message at the head (0 when empty).
    size_t headRemaining() const;
    // Copies up to `length` bytes of the head message to `dst` and drops the
    // message once it has been read to its end. Returns the bytes copied;
    // *unplug becomes true when that message was marked unplugWhenRead.
    size_t read(uint8_t* dst, size_t length, bool* unplug = nullptr);
    void clear();

  private:
    struct Message {
        std::vector<uint8_t> bytes;
        bool unplugWhenRead = false;
    };
    std::deque<Message> messages_;
    size_t offset_ = 0;  // bytes of the head message already read
};

}  // namespace orkasim
