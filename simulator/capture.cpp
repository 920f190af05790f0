// Capture and the transfer of files: Capture takes a picture (settings and
// scene time recorded), AfterView keeps or discards it, TerminateCapture
// hands it to the transfer, which renders its files on the timer thread and
// sends them one by one: FileOpen, FileIn per chunk, FileClose, each step
// waiting for the host's reply.
#include <algorithm>

#include "camera_impl.h"

namespace orkasim {

using namespace wire;

namespace {
constexpr uint64_t kPatternStep = 0x9E3779B97F4A7C15ull;
}  // namespace

Response Camera::Impl::captureLocked(uint32_t transaction, const Bytes& payload) {
    Reader in(payload.data(), payload.size());
    const uint32_t driveMode = in.u32();
    const uint32_t sizeCode = in.u32();
    const uint32_t quality = in.u32();
    in.u32();  // exposure duration in milliseconds (0 = the shutter speed)
    if (session.capturing)
        return refuseLocked(kCapture, kStatusBusy);
    if ((driveMode != 0 && driveMode != 3) || !imageSize(static_cast<int>(sizeCode)) ||
        !validQuality(static_cast<int>(quality))) {
        return refuseLocked(kCapture, kStatusBadValue);
    }
    CaptureRecord capture;
    capture.command = transaction;
    capture.driveMode = static_cast<int>(driveMode);
    capture.sizeCode = static_cast<int>(sizeCode);
    capture.quality = static_cast<int>(quality);
    capture.colorMode = params.value(kPColorMode);
    capture.settings = sceneSettingsLocked();
    capture.sceneSeconds = sceneSecondsLocked();
    if (driveMode == 3) {
        // Bracketing: the set exposure, one step under, one step over (a step
        // of 0.3 EV is one third of a stop, 0.5 EV is taken as two thirds).
        const int step = params.value(17) == 0 ? 1 : 2;
        const int offsets[3] = {0, -step, step};
        capture.settings.exposureCompensation = std::clamp(
            capture.settings.exposureCompensation + offsets[controls.bracketShot], 0, 12);
        controls.bracketShot = (controls.bracketShot + 1) % 3;
    } else {
        controls.bracketShot = 0;
    }
    capture.pictureNumber = controls.nextPicture;
    controls.nextPicture = controls.nextPicture % 9999 + 1;
    session.capture = capture;
    session.capturing = true;
    return {};
}

Response Camera::Impl::afterViewLocked(const Bytes& payload) {
    Reader in(payload.data(), payload.size());
    const uint32_t discard = in.u32();
    const uint32_t number = in.u32();
    if (!session.capture)
        return refuseLocked(kAfterView, kStatusNoImage);
    if (number != session.capture->command) {
        errorLocked(errorText("AfterView names Capture number %u; the capture in progress is %u",
                              number, session.capture->command));
        return refuseLocked(kAfterView, kStatusBadValue);
    }
    if (discard > 1)
        return refuseLocked(kAfterView, kStatusBadValue);
    session.capture->discard = discard == 1;
    return {};
}

Response Camera::Impl::terminateCaptureLocked() {
    Response response;
    if (session.capture && !session.capture->discard) {
        session.transfer.captures.push_back(*session.capture);
        response.followUps.push_back({controls.fileDelay, [this] { pumpFilesLocked(); }});
    }
    session.capture.reset();
    session.capturing = false;
    if (session.liveView) {
        // Live view runs again after the shot.
        response.followUps.push_back(
            {controls.liveViewReadyDelay, [this] { requestLocked(kLiveViewReady, {}); }});
    }
    return response;
}

size_t Camera::Impl::filesWaitingLocked() const {
    const Transfer& t = session.transfer;
    size_t count = t.files.size() + t.renderingFiles + (t.current ? 1 : 0);
    for (const CaptureRecord& c : t.captures) {
        count += captureExtensions(c.quality, c.colorMode).size();
    }
    return count;
}

void Camera::Impl::pumpFilesLocked() {
    Transfer& t = session.transfer;
    if (t.stage != Transfer::Stage::Idle)
        return;
    if (!t.files.empty()) {
        t.current = std::move(t.files.front());
        t.files.pop_front();
        t.stage = Transfer::Stage::Opening;
        Bytes payload;
        put32(payload, 0);
        put32(payload, static_cast<uint32_t>(t.current->name.size()));
        for (unsigned char c : t.current->name)
            put16(payload, c);
        requestLocked(kFileOpen, payload, [this](uint32_t status, const Bytes& reply) {
            fileOpenedLocked(status, reply);
        });
        return;
    }
    if (t.captures.empty())
        return;
    // Render the next capture's files on the timer thread, then send them.
    const CaptureRecord capture = t.captures.front();
    t.captures.pop_front();
    t.stage = Transfer::Stage::Rendering;
    t.renderingFiles = captureExtensions(capture.quality, capture.colorMode).size();
    auto files = std::make_shared<std::vector<OutgoingFile>>();
    laterLocked(
        Millis(0),
        [this, files] {
            Transfer& transfer = session.transfer;
            for (OutgoingFile& file : *files)
                transfer.files.push_back(std::move(file));
            transfer.renderingFiles = 0;
            transfer.stage = Transfer::Stage::Idle;
            pumpFilesLocked();
        },
        [this, capture, files] { *files = stills.render(scene, capture); });
}

void Camera::Impl::fileOpenedLocked(uint32_t status, const Bytes& reply) {
    Transfer& t = session.transfer;
    if (status != 0 || reply.size() < 8) {
        // The host refused the file: the camera gives up on it.
        ++counters.filesRefused;
        t.current.reset();
        t.stage = Transfer::Stage::Idle;
        pumpFilesLocked();
        return;
    }
    t.handle = get32(reply.data() + 4);
    t.offset = 0;
    t.stage = Transfer::Stage::Sending;
    sendChunkLocked();
}

void Camera::Impl::sendChunkLocked() {
    Transfer& t = session.transfer;
    const OutgoingFile& file = *t.current;
    if (t.offset >= file.size) {
        closeFileLocked();
        return;
    }
    const size_t n =
        static_cast<size_t>(std::min<uint64_t>(controls.chunkSize, file.size - t.offset));
    Bytes payload;
    payload.reserve(12 + n);
    put32(payload, controls.handleOverride.value_or(t.handle));
    put32(payload, static_cast<uint32_t>(n));
    put32(payload, 0);
    if (file.bytes) {
        const auto from = file.bytes->begin() + static_cast<ptrdiff_t>(t.offset);
        payload.insert(payload.end(), from, from + static_cast<ptrdiff_t>(n));
    } else {
        // filePatternByte, stepped: (offset + 1) * kPatternStep grows by
        // kPatternStep per byte.
        uint64_t x = (t.offset + 1) * kPatternStep;
        payload.resize(12 + n);
        for (size_t i = 0; i < n; ++i, x += kPatternStep) {
            payload[12 + i] = static_cast<uint8_t>(x >> 56);
        }
    }
    requestLocked(kFileIn, payload, [this, n](uint32_t, const Bytes&) {
        session.transfer.offset += n;
        sendChunkLocked();
    });
}

void Camera::Impl::closeFileLocked() {
    Transfer& t = session.transfer;
    t.stage = Transfer::Stage::Closing;
    Bytes payload;
    put32(payload, controls.handleOverride.value_or(t.handle));
    requestLocked(kFileClose, payload, [this](uint32_t, const Bytes&) {
        Transfer& transfer = session.transfer;
        ++counters.filesSent;
        transfer.current.reset();
        transfer.stage = Transfer::Stage::Idle;
        pumpFilesLocked();
    });
}

// ---- control side ----------------------------------------------------------

uint8_t Camera::filePatternByte(uint64_t offset) {
    // Mixes the offset so that chunks, repeats and shifts are all told apart.
    return static_cast<uint8_t>(((offset + 1) * kPatternStep) >> 56);
}

void Camera::setChunkSize(size_t bytes) {
    std::lock_guard lock(impl_->m);
    impl_->controls.chunkSize = std::max<size_t>(bytes, 1);
}

bool Camera::sendFile(const std::string& name, std::vector<uint8_t> content) {
    std::lock_guard lock(impl_->m);
    if (!impl_->plugged || !impl_->session.open)
        return false;
    OutgoingFile file;
    file.name = name;
    file.size = content.size();
    file.bytes = std::make_shared<const Bytes>(std::move(content));
    impl_->session.transfer.files.push_back(std::move(file));
    impl_->pumpFilesLocked();
    return true;
}

bool Camera::sendFile(const std::string& name, uint64_t size) {
    std::lock_guard lock(impl_->m);
    if (!impl_->plugged || !impl_->session.open)
        return false;
    impl_->session.transfer.files.push_back(OutgoingFile{name, nullptr, size});
    impl_->pumpFilesLocked();
    return true;
}

void Camera::setFileHandleOverride(std::optional<uint32_t> handle) {
    std::lock_guard lock(impl_->m);
    impl_->controls.handleOverride = handle;
}

}  // namespace orkasim
