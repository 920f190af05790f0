#include "PendingFiles.h"

namespace orka {

bool PendingFilesWait::run() const {
    int32_t last = count();
    Clock::time_point lastProgress = now();
    while (last > 0) {
        pause();
        if (cancelled && cancelled())
            return false;
        const int32_t current = count();
        if (current < last)
            lastProgress = now();
        last = current;
        if (last > 0 && now() - lastProgress >= patience) {
            if (!keepWaiting(last))
                return false;
            lastProgress = now();
        }
    }
    return true;
}

}  // namespace orka
