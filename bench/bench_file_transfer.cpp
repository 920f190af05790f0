// File transfer: a 64 MiB file from the in-process simulated camera in
// 64 KiB chunks until it is saved in the target folder. Prints the rate,
// its ratio to cp copying the same bytes in the same run, and how much the
// peak memory grew during the transfer.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"

namespace {

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM").
long statusKiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

// Resets the peak resident size to the current one.
void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double copySeconds(const std::string& from, const std::string& to) {
    const auto start = orkabench::Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("cp", "cp", from.c_str(), to.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return orkabench::seconds(orkabench::Clock::now() - start);
}

}  // namespace

int main() {
    using namespace orkabench;
    namespace fs = std::filesystem;
    constexpr uint64_t kFileSize = 64ull << 20;
    constexpr size_t kChunk = 64 << 10;

    std::string pattern = (fs::temp_directory_path() / "bench-transfer-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;
    fs::create_directories(root / "tmp");
    fs::create_directories(root / "target");
    ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
    SetSaveFileInformation((root / "target").c_str(), "B");

    enterControlMode();
    orkasim::Camera& camera = orkasim::Camera::instance();
    camera.setChunkSize(kChunk);
    // The camera's side is made before the clock starts: the figures are
    // the library's (the simulated camera's chunk-by-chunk pattern costs
    // more than the whole transfer).
    std::vector<uint8_t> content(kFileSize);
    for (uint64_t i = 0; i < kFileSize; ++i) {
        content[i] = orkasim::Camera::filePatternByte(i);
    }
    const long rssBefore = statusKiB("VmRSS");
    resetPeakMemory();
    const auto start = Clock::now();
    if (!camera.sendFile("BIG00001.jpg", std::move(content))) {
        std::fprintf(stderr, "the camera did not send the file\n");
        return 1;
    }
    // Done once the saved file has all its bytes (the library saves it at
    // FileClose, after the last chunk).
    const fs::path saved = root / "target" / "B00001.jpg";
    std::error_code error;
    while (!(fs::exists(saved, error) && fs::file_size(saved, error) == kFileSize)) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (Clock::now() - start > std::chrono::seconds(120)) {
            std::fprintf(stderr, "the file did not arrive\n");
            return 1;
        }
    }
    const double transfer = seconds(Clock::now() - start);
    const long peakGrowth = statusKiB("VmHWM") - rssBefore;
    leaveControlMode();

    const double copy = copySeconds(saved.string(), (root / "copy.jpg").string());
    fs::remove_all(root);

    const double mb = kFileSize / 1e6;
    std::printf("file transfer (64 MiB in 64 KiB chunks, simulated camera)\n");
    std::printf("  transfer:     %.3f s, %.0f MB/s\n", transfer, mb / transfer);
    std::printf("  cp:           %.3f s, %.0f MB/s\n", copy, mb / copy);
    std::printf("  ratio:        %.2f of cp's rate (target >= 0.5)\n", copy / transfer);
    std::printf("  peak memory:  +%.1f MiB during the transfer (target < 4 MiB)\n",
                peakGrowth / 1024.0);
    return 0;
}
