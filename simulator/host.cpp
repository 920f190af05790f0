// The host's packets as the camera receives them: framing, numbering of
// commands and replies, one command at a time, faults applied to answers.
#include <algorithm>

#include "camera_impl.h"

namespace orkasim {

using namespace wire;

void Camera::Impl::hostPacketLocked(const std::vector<uint8_t>& bytes) {
    const auto header = parseHeader(bytes.data(), bytes.size());
    if (!header) {
        errorLocked(errorText("host packet of %zu bytes is shorter than a header", bytes.size()));
        return;
    }
    if (header->length != bytes.size()) {
        errorLocked(
            errorText("host packet 0x%04X: length field %u but the transfer carried %zu bytes",
                      header->code, header->length, bytes.size()));
        return;
    }
    const std::vector<uint8_t> payload(bytes.begin() + kHeaderSize, bytes.end());
    if (header->transaction > kLastCommandNumber) {
        replyLocked(header->code, header->transaction, payload);
    } else if (!isCommandCode(header->code)) {
        errorLocked(errorText("host packet with unknown operation code 0x%04X (number %u)",
                              header->code, header->transaction));
    } else if (header->transaction == 0) {
        errorLocked(errorText("command 0x%04X carries number 0", header->code));
    } else {
        commandLocked(header->code, header->transaction, payload);
    }
}

void Camera::Impl::refusedPacketLocked(const uint8_t* data, size_t length) {
    const auto header = parseHeader(data, length);
    if (!header || header->length != length)
        return;
    if (header->transaction <= kLastCommandNumber) {
        // The host skips the number of a command whose write failed.
        if (isCommandCode(header->code) && session.expectedCommand) {
            session.expectedCommand = nextCommandNumber(header->transaction);
        }
        return;
    }
    if (header->transaction <= kLastRequestNumber)
        lastReplyNumber = header->transaction;
    // The reply never arrives: the camera stops waiting for it.
    auto it = std::find_if(awaiting.begin(), awaiting.end(),
                           [&](const PendingRequest& r) { return r.code == header->code; });
    if (it != awaiting.end())
        awaiting.erase(it);
}

void Camera::Impl::commandLocked(uint16_t code, uint32_t transaction,
                                 const std::vector<uint8_t>& payload) {
    if (code == kOpen) {
        // A new connection: whatever the previous one left is void.
        endSessionLocked();
        if (transaction != 1) {
            errorLocked(
                errorText("Open carries number %u; a new connection starts at 1", transaction));
        }
        session.expectedCommand = nextCommandNumber(transaction);
    } else if (session.expectedCommand) {
        if (transaction != *session.expectedCommand) {
            errorLocked(errorText("command 0x%04X carries number %u, expected %u", code,
                                  transaction, *session.expectedCommand));
        }
        session.expectedCommand = nextCommandNumber(transaction);
    }
    if (session.inFlight) {
        errorLocked(
            errorText("command 0x%04X (number %u) sent while 0x%04X (number %u) is unanswered",
                      code, transaction, session.inFlight->first, session.inFlight->second));
    }
    session.inFlight = std::make_pair(code, transaction);

    if (faults.stalled.count(code))
        return;  // never answered

    Response response;
    const auto failing = faults.failing.find(code);
    if (failing != faults.failing.end()) {
        response.status = failing->second;
        response.body = refusalBodyLocked(code);
    } else {
        response = executeLocked(code, transaction, payload);
    }

    const auto delayed = faults.delayed.find(code);
    if (delayed != faults.delayed.end()) {
        laterLocked(delayed->second, [this, code, transaction, response]() mutable {
            sendResponseLocked(code, transaction, std::move(response));
        });
    } else {
        sendResponseLocked(code, transaction, std::move(response));
    }
}

void Camera::Impl::sendResponseLocked(uint16_t code, uint32_t transaction, Response response) {
    if (session.inFlight && *session.inFlight == std::make_pair(code, transaction)) {
        session.inFlight.reset();
    }
    std::vector<uint8_t> payload;
    payload.reserve(2 + response.body.size());
    put16(payload, response.status);
    payload.insert(payload.end(), response.body.begin(), response.body.end());
    queueInLocked(packet(code, transaction, payload));
    if (response.endsSession) {
        endSessionLocked();
        return;
    }
    for (Response::FollowUp& followUp : response.followUps) {
        laterLocked(followUp.delay, std::move(followUp.action));
    }
}

void Camera::Impl::replyLocked(uint16_t code, uint32_t transaction,
                               const std::vector<uint8_t>& payload) {
    if (transaction > kLastRequestNumber) {
        errorLocked(errorText("reply 0x%04X carries number 0x%08X, beyond 0x%08X", code,
                              transaction, kLastRequestNumber));
    } else {
        if (lastReplyNumber && transaction != nextRequestNumber(*lastReplyNumber)) {
            errorLocked(errorText("reply 0x%04X carries number 0x%08X after 0x%08X", code,
                                  transaction, *lastReplyNumber));
        }
        lastReplyNumber = transaction;
    }

    auto it = std::find_if(awaiting.begin(), awaiting.end(),
                           [&](const PendingRequest& r) { return r.code == code; });
    if (it == awaiting.end()) {
        auto late = std::find_if(orphaned.begin(), orphaned.end(),
                                 [&](const PendingRequest& r) { return r.code == code; });
        if (late != orphaned.end()) {
            orphaned.erase(late);
            return;
        }
        errorLocked(
            errorText("reply 0x%04X (number 0x%08X) answers no request", code, transaction));
        return;
    }
    if (it != awaiting.begin()) {
        errorLocked(errorText("reply to request 0x%04X comes before the reply to request 0x%04X",
                              code, awaiting.front().code));
    }
    PendingRequest request = std::move(*it);
    awaiting.erase(it);

    size_t expected = 0;
    uint32_t status = 0;
    switch (replyShape(code)) {
        case ReplyShape::Status16:
            expected = 2;
            status = payload.size() >= 2 ? get16(payload.data()) : 0xFFFF;
            break;
        case ReplyShape::FileHandle:
            expected = 8;
            status = payload.size() >= 4 ? get32(payload.data()) : 0xFFFFFFFF;
            break;
        case ReplyShape::Empty:
        case ReplyShape::None:
            break;
    }
    if (payload.size() != expected) {
        errorLocked(errorText("reply to request 0x%04X has %zu payload bytes, expected %zu", code,
                              payload.size(), expected));
    }
    if (request.onReply)
        request.onReply(status, payload);
}

}  // namespace orkasim
