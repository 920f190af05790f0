// orkasim::Camera: the USB side (bulk pipes, plug state), the control side
// (faults, injection, parameters) and the packet log.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "camera_impl.h"
#include "environment.h"

namespace orkasim {

Camera& Camera::instance() {
    // The camera is never destroyed: a transport or a test may still reach it
    // from another static destructor. Its timer thread is joined at exit.
    static Camera* const camera = new Camera;
    struct TimerStop {
        ~TimerStop() { camera->impl_->timers.stop(); }
    };
    static TimerStop stopAtExit;
    static const bool configured = (applyEnvironment(*camera), true);
    (void)configured;
    return *camera;
}

Camera::Camera() : impl_(new Impl) {}
Camera::~Camera() {
    delete impl_;
}

// ---- internal helpers --------------------------------------------------

void Camera::Impl::logPacketLocked(Direction direction, const std::vector<uint8_t>& bytes) {
    if (logMaxEntries == 0)
        return;
    LogEntry entry;
    entry.time = Clock::now();
    entry.direction = direction;
    entry.code = bytes.size() >= 6 ? wire::get16(bytes.data() + 4) : 0;
    entry.transaction = bytes.size() >= wire::kHeaderSize ? wire::get32(bytes.data() + 8) : 0;
    entry.bytes.assign(bytes.begin(), bytes.begin() + std::min(bytes.size(), logMaxBytes));
    entry.size = bytes.size();
    log.push_back(std::move(entry));
    ++logTotal;
    while (log.size() > logMaxEntries)
        log.pop_front();
    logCv.notify_all();
}

void Camera::Impl::errorLocked(std::string text) {
    errors.push_back(std::move(text));
}

void Camera::Impl::queueInLocked(std::vector<uint8_t> message) {
    bool unplugWhenRead = false;
    const uint16_t code = message.size() >= 6 ? wire::get16(message.data() + 4) : 0;
    for (auto cut = faults.cuts.begin(); cut != faults.cuts.end(); ++cut) {
        if (cut->code != code)
            continue;
        if (cut->skip-- > 0)
            break;
        if (cut->afterBytes < message.size())
            message.resize(cut->afterBytes);
        unplugWhenRead = true;
        faults.cuts.erase(cut);
        break;
    }
    logPacketLocked(Direction::CameraToHost, message);
    in.push(std::move(message), unplugWhenRead);
    inCv.notify_all();
}

void Camera::Impl::laterLocked(Clock::duration delay, std::function<void()> action,
                               std::function<void()> work) {
    timers.post(delay, [this, epoch = epoch, action = std::move(action), work = std::move(work)] {
        {
            std::lock_guard lock(m);
            if (epoch != this->epoch || !plugged)
                return;
        }
        if (work)
            work();
        std::lock_guard lock(m);
        if (epoch != this->epoch || !plugged)
            return;
        action();
    });
}

void Camera::Impl::endSessionLocked() {
    session = Session{};
    controls.focusAction = 0;  // the motor stops with the connection
    for (PendingRequest& request : awaiting)
        orphaned.push_back(std::move(request));
    while (orphaned.size() > 16)
        orphaned.pop_front();
    awaiting.clear();
    timers.clear();
    ++epoch;
}

void Camera::Impl::resetLocked() {
    hostAccess = Camera::HostAccess::Granted;
    hostHolder.clear();
    endSessionLocked();
    orphaned.clear();
    in.clear();
    faults = Faults{};
    controls = Controls{};
    liveView = LiveViewServing{};
    counters = Counters{};
    scene.setChange(std::nullopt);
    params.reset();
    errors.clear();
    log.clear();
    logMaxEntries = kDefaultLogEntries;
    logMaxBytes = kDefaultLogBytes;
    lastRequestNumber = wire::kLastRequestNumber;
    lastReplyNumber.reset();
    plugged = true;
    inCv.notify_all();
    outCv.notify_all();
}

void Camera::Impl::callListeners(bool nowPlugged) {
    for (auto& [id, listener] : listeners)
        listener(nowPlugged);
}

std::string errorText(const char* pattern, ...) {
    char text[256];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

// ---- USB side ----------------------------------------------------------

bool Camera::plugged() const {
    std::lock_guard lock(impl_->m);
    return impl_->plugged;
}

void Camera::setHostAccess(HostAccess access, std::string holder) {
    std::lock_guard lock(impl_->m);
    impl_->hostAccess = access;
    impl_->hostHolder = std::move(holder);
}

Camera::HostAccess Camera::hostAccess(std::string* holder) const {
    std::lock_guard lock(impl_->m);
    if (holder != nullptr)
        *holder = impl_->hostHolder;
    return impl_->hostAccess;
}

UsbResult Camera::bulkOut(const uint8_t* data, size_t length, uint32_t timeoutMs) {
    return bulkOut(data, length, timeoutMs, nullptr);
}

UsbResult Camera::bulkOut(const uint8_t* data, size_t length, uint32_t timeoutMs,
                          const std::atomic<bool>* cancel) {
    Impl& s = *impl_;
    std::unique_lock lock(s.m);
    if (!s.plugged)
        return UsbResult::NoDevice;
    const uint64_t plugging = s.plugCount;
    auto cancelled = [cancel] { return cancel && cancel->load(); };
    if (s.faults.bulkOutStalled || cancelled()) {
        auto settled = [&] {
            return !s.faults.bulkOutStalled || s.plugCount != plugging || cancelled();
        };
        if (timeoutMs == 0) {
            s.outCv.wait(lock, settled);
        } else {
            s.outCv.wait_for(lock, Millis(timeoutMs), settled);
        }
        if (s.plugCount != plugging || !s.plugged)
            return UsbResult::NoDevice;
        if (cancelled() || s.faults.bulkOutStalled) {
            s.refusedPacketLocked(data, length);
            return cancelled() ? UsbResult::Cancelled : UsbResult::Timeout;
        }
    }
    std::vector<uint8_t> bytes(data, data + length);
    s.logPacketLocked(Direction::HostToCamera, bytes);
    s.hostPacketLocked(bytes);
    return UsbResult::Ok;
}

UsbResult Camera::bulkIn(uint8_t* buffer, size_t length, uint32_t timeoutMs, size_t* transferred,
                         const std::atomic<bool>* cancel) {
    Impl& s = *impl_;
    if (transferred)
        *transferred = 0;
    std::unique_lock lock(s.m);
    if (!s.plugged)
        return UsbResult::NoDevice;
    const uint64_t plugging = s.plugCount;
    auto cancelled = [cancel] { return cancel && cancel->load(); };
    auto ready = [&] { return !s.in.empty() || s.plugCount != plugging || cancelled(); };
    if (timeoutMs == 0) {
        s.inCv.wait(lock, ready);
    } else if (!s.inCv.wait_for(lock, Millis(timeoutMs), ready)) {
        return UsbResult::Timeout;
    }
    if (s.plugCount != plugging || !s.plugged)
        return UsbResult::NoDevice;
    if (cancelled())
        return UsbResult::Cancelled;
    if (length % kMaxPacketSize != 0 && s.in.headRemaining() > length) {
        // A real bus would babble: the device's next packet does not fit.
        s.errorLocked(
            errorText("bulk-in request of %zu bytes is not a whole number of %u-byte packets "
                      "and %zu bytes are waiting",
                      length, kMaxPacketSize, s.in.headRemaining()));
    }
    bool unplugNow = false;
    const size_t n = s.in.read(buffer, length, &unplugNow);
    if (transferred)
        *transferred = n;
    if (unplugNow) {
        lock.unlock();
        unplug();
    }
    return UsbResult::Ok;
}

void Camera::wakeReaders() {
    // Taking the lock orders the caller's cancel flag before the waiters'
    // next look at it.
    std::lock_guard lock(impl_->m);
    impl_->inCv.notify_all();
    impl_->outCv.notify_all();
}

void Camera::usbReset() {
    std::lock_guard lock(impl_->m);
    impl_->in.clear();
}

int Camera::addPlugListener(std::function<void(bool plugged)> listener) {
    std::lock_guard lock(impl_->plugMutex);
    const int id = impl_->nextListenerId++;
    impl_->listeners.emplace(id, std::move(listener));
    return id;
}

void Camera::removePlugListener(int id) {
    std::lock_guard lock(impl_->plugMutex);
    impl_->listeners.erase(id);
}

// ---- control side --------------------------------------------------------

void Camera::reset() {
    Impl& s = *impl_;
    std::lock_guard plugLock(s.plugMutex);
    bool wasPlugged;
    {
        std::lock_guard lock(s.m);
        wasPlugged = s.plugged;
        s.resetLocked();
    }
    if (!wasPlugged)
        s.callListeners(true);
}

void Camera::unplug() {
    Impl& s = *impl_;
    std::lock_guard plugLock(s.plugMutex);
    {
        std::lock_guard lock(s.m);
        if (!s.plugged)
            return;
        s.plugged = false;
        ++s.plugCount;
        s.endSessionLocked();
        s.in.clear();
        s.inCv.notify_all();
        s.outCv.notify_all();
    }
    s.callListeners(false);
}

void Camera::replug() {
    Impl& s = *impl_;
    std::lock_guard plugLock(s.plugMutex);
    {
        std::lock_guard lock(s.m);
        if (s.plugged)
            return;
        s.plugged = true;
    }
    s.callListeners(true);
}

void Camera::setStateNoticeDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(impl_->m);
    impl_->faults.stateNoticeDelay = delay;
}

void Camera::stallOperation(uint16_t code, bool stall) {
    std::lock_guard lock(impl_->m);
    if (stall) {
        impl_->faults.stalled.insert(code);
    } else {
        impl_->faults.stalled.erase(code);
    }
}

void Camera::failOperation(uint16_t code, uint16_t status) {
    std::lock_guard lock(impl_->m);
    if (status == 0) {
        impl_->faults.failing.erase(code);
    } else {
        impl_->faults.failing[code] = status;
    }
}

void Camera::delayOperation(uint16_t code, std::chrono::milliseconds delay) {
    std::lock_guard lock(impl_->m);
    if (delay.count() <= 0) {
        impl_->faults.delayed.erase(code);
    } else {
        impl_->faults.delayed[code] = delay;
    }
}

void Camera::stallBulkOut(bool stall) {
    std::lock_guard lock(impl_->m);
    impl_->faults.bulkOutStalled = stall;
    impl_->outCv.notify_all();
}

void Camera::injectRaw(std::vector<uint8_t> bytes) {
    std::lock_guard lock(impl_->m);
    if (impl_->plugged)
        impl_->queueInLocked(std::move(bytes));
}

void Camera::sendRequest(uint16_t code, const std::vector<uint8_t>& payload) {
    std::lock_guard lock(impl_->m);
    if (impl_->plugged)
        impl_->requestLocked(code, payload);
}

int32_t Camera::parameter(int index) const {
    std::lock_guard lock(impl_->m);
    return impl_->params.value(index);
}

void Camera::setParameter(int index, int32_t value) {
    std::lock_guard lock(impl_->m);
    impl_->params.setValue(index, value);
}

void Camera::changeParameter(int index, int32_t value) {
    std::lock_guard lock(impl_->m);
    if (!ParameterTable::valid(index))
        return;
    impl_->params.setValue(index, value);
    if (impl_->plugged && impl_->session.open)
        impl_->announceParametersLocked({index});
}

Snapshot Camera::snapshot() const {
    const Impl& s = *impl_;
    std::lock_guard lock(s.m);
    Snapshot out;
    out.plugged = s.plugged;
    out.sessionOpen = s.session.open;
    out.ready = s.session.ready;
    out.liveView = s.session.liveView;
    out.liveViewMode = s.session.liveViewMode;
    out.halfPressed = s.session.pressed;
    out.capturing = s.session.capturing;
    out.intervalMode = s.session.intervalMode;
    out.queuedInMessages = s.in.messages();
    out.awaitingReplies = s.awaiting.size();
    out.focusPoint[0] = s.controls.ffpX;
    out.focusPoint[1] = s.controls.ffpY;
    out.fdmPoint[0] = s.controls.fdmX;
    out.fdmPoint[1] = s.controls.fdmY;
    out.spotFollowsFocusPoint = s.controls.spotFollowsFocusPoint;
    out.focusAction = s.controls.focusAction;
    out.customGains[0] = s.controls.customGainFirst;
    out.customGains[1] = s.controls.customGainSecond;
    out.clock = s.controls.clock;
    out.filesWaiting = s.filesWaitingLocked();
    out.filesSent = s.counters.filesSent;
    out.filesRefused = s.counters.filesRefused;
    out.framesServed = s.counters.framesServed;
    return out;
}

void Camera::unplugDuring(uint16_t code, size_t afterBytes, int skip) {
    std::lock_guard lock(impl_->m);
    impl_->faults.cuts.push_back(Cut{code, afterBytes, std::max(skip, 0)});
}

std::vector<LogEntry> Camera::log() const {
    std::lock_guard lock(impl_->m);
    return {impl_->log.begin(), impl_->log.end()};
}

void Camera::clearLog() {
    std::lock_guard lock(impl_->m);
    impl_->log.clear();
}

void Camera::setLogLimits(size_t maxEntries, size_t maxBytes) {
    std::lock_guard lock(impl_->m);
    impl_->logMaxEntries = maxEntries;
    impl_->logMaxBytes = maxBytes;
    while (impl_->log.size() > maxEntries)
        impl_->log.pop_front();
}

bool Camera::waitForPacket(const std::function<bool(const LogEntry&)>& match,
                           std::chrono::milliseconds limit) const {
    const Impl& s = *impl_;
    const auto deadline = Clock::now() + limit;
    uint64_t next = 0;  // absolute number of the next entry to look at
    std::unique_lock lock(s.m);
    for (;;) {
        // Copy what is new and test it without the lock, so that `match`
        // may call back into the camera.
        const uint64_t first = s.logTotal - s.log.size();
        next = std::max(next, first);
        std::vector<LogEntry> fresh(s.log.begin() + static_cast<ptrdiff_t>(next - first),
                                    s.log.end());
        next = s.logTotal;
        lock.unlock();
        for (const LogEntry& entry : fresh) {
            if (match(entry))
                return true;
        }
        lock.lock();
        if (s.logTotal != next)
            continue;
        if (s.logCv.wait_until(lock, deadline) == std::cv_status::timeout && s.logTotal == next) {
            return false;
        }
    }
}

std::vector<std::string> Camera::protocolErrors() const {
    std::lock_guard lock(impl_->m);
    return impl_->errors;
}

void Camera::clearProtocolErrors() {
    std::lock_guard lock(impl_->m);
    impl_->errors.clear();
}

}  // namespace orkasim
