#include "Messages.h"

#include <atomic>

namespace orka {

namespace {

// Written once at start, read from any thread.
std::atomic<MessageTranslator> translator{nullptr};

std::string Translated(const char* french) {
    const MessageTranslator t = translator.load(std::memory_order_acquire);
    return t != nullptr ? t(french) : std::string(french);
}

}  // namespace

void SetMessageTranslator(MessageTranslator t) {
    translator.store(t, std::memory_order_release);
}

std::string Message(const char* french, std::initializer_list<std::string> args) {
    const std::string pattern = Translated(french);
    std::string text;
    text.reserve(pattern.size() + 64);
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const size_t index = size_t(pattern[i + 1] - '1');
            if (index < args.size()) {
                text += *(args.begin() + index);
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

std::string Count(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + Translated(n > 1 ? many : one);
}

std::string Megabytes(uint64_t bytes) {
    const uint64_t tenths = (bytes * 10 + (1 << 19)) >> 20;  // rounded to 0.1 MiB
    return Message(QT_TRANSLATE_NOOP("Safekeeping", "%1,%2 Mo"),
                   {std::to_string(tenths / 10), std::to_string(tenths % 10)});
}

}  // namespace orka
