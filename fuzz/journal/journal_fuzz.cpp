// Fuzz target: a session journal as read back at start. The reader must
// stop at the first unsound line without crashing; each event it accepts
// must write out and read back as the same event; the recovery summary and
// its text are built from whatever was read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "SessionJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const orka::JournalRead read = orka::ParseJournal(text);
    if (!read.readToEnd && read.stoppedAtLine == 0)
        __builtin_trap();
    for (const orka::JournalLine& line : read.lines) {
        const std::string encoded = orka::EncodeJournalLine(line);
        const auto again = orka::DecodeJournalLine(encoded);
        if (!again || orka::EncodeJournalLine(*again) != encoded)
            __builtin_trap();
    }
    const orka::JournalSummary summary = orka::SummariseJournal(read, "/tmp/journal.jsonl");
    if (summary.backupOwed.size() > summary.saved.size() + read.lines.size())
        __builtin_trap();
    volatile size_t sink = summary.Text().size();
    (void)sink;
    return 0;
}
