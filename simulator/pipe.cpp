#include "pipe.h"

#include <algorithm>
#include <cstring>

namespace orkasim {

void InPipe::push(std::vector<uint8_t> message) {
    messages_.push_back(std::move(message));
}

size_t InPipe::headRemaining() const {
    return messages_.empty() ? 0 : messages_.front().size() - offset_;
}

size_t InPipe::read(uint8_t* dst, size_t length) {
    if (messages_.empty())
        return 0;
    const std::vector<uint8_t>& head = messages_.front();
    const size_t n = std::min(length, head.size() - offset_);
    if (n > 0)
        std::memcpy(dst, head.data() + offset_, n);
    offset_ += n;
    if (offset_ >= head.size()) {
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
