#include "pipe.h"

#include <algorithm>
#include <cstring>

namespace orkasim {

void InPipe::push(std::vector<uint8_t> message, bool unplugWhenRead) {
    messages_.push_back(Message{std::move(message), unplugWhenRead});
}

size_t InPipe::headRemaining() const {
    return messages_.empty() ? 0 : messages_.front().bytes.size() - offset_;
}

size_t InPipe::read(uint8_t* dst, size_t length, bool* unplug) {
    if (unplug)
        *unplug = false;
    if (messages_.empty())
        return 0;
    const std::vector<uint8_t>& head = messages_.front().bytes;
    const size_t n = std::min(length, head.size() - offset_);
    if (n > 0)
        std::memcpy(dst, head.data() + offset_, n);
    offset_ += n;
    if (offset_ >= head.size()) {
        if (unplug)
            *unplug = messages_.front().unplugWhenRead;
        messages_.pop_front();
        offset_ = 0;
    }
    return n;
}

void InPipe::clear() {
    messages_.clear();
    offset_ = 0;
}

}  // namespace orkasim
