// From the release to the picture on screen, against the simulated camera,
// in its parts: the capture exchange (the release and its end), the file's
// transfer with its save (until the library names the file saved, all its
// bytes on disk; the save alone is writing the same bytes to the same
// folder), the fit decode at the review's scale, and the display (from the
// review being handed the picture to its fit view painted, less the
// decode). Medians of 20 shots; the figures are printed, not checked.
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ReviewDecoder.h"
#include "ReviewWindow.h"
#include "bench_support.h"

namespace {

using orkabench::Clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::vector<char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kShots = 20;

    std::string pattern = (fs::temp_directory_path() / "bench-screen-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;
    orkabench::enterControlMode();
    SetSaveFileInformation(root.c_str(), "S");

    TReviewWindow review;
    review.resize(1200, 900);
    review.show();
    QString shown;
    QObject::connect(&review, &TReviewWindow::pictureShown,
                     [&](const QString& path) { shown = path; });

    std::vector<double> capture, transfer, save, decode, display, total;
    std::string last;
    for (int shot = 0; shot < kShots; ++shot) {
        const auto t0 = Clock::now();
        if (CaptureImage(0) != 0 || TerminateCaptureImage() != 0) {
            std::fprintf(stderr, "the capture failed\n");
            return 1;
        }
        const auto t1 = Clock::now();
        SavedFileInfo info{};
        std::string path;
        while (true) {
            if (GetSavedFileInfo(&info) == 0 && info.fileName[0] != '\0') {
                path = std::string(info.directory) + "/" + info.fileName;
                if (path != last)
                    break;
            }
            if (Clock::now() - t1 > std::chrono::seconds(30)) {
                std::fprintf(stderr, "no picture saved\n");
                return 1;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const auto t2 = Clock::now();
        last = path;

        ReviewItem item;
        item.path = item.shownFile = QFile::decodeName(path.c_str());
        shown.clear();
        review.AddPicture(item);
        while (shown != item.path) {
            app.processEvents(QEventLoop::AllEvents, 5);
            if (Clock::now() - t2 > std::chrono::seconds(30)) {
                std::fprintf(stderr, "the picture never showed\n");
                return 1;
            }
        }
        const auto t3 = Clock::now();

        // The parts measured on their own, once the shot is on screen.
        const std::vector<char> bytes = ReadAll(path);
        const auto s0 = Clock::now();
        {
            std::ofstream out(root / "copy.jpg", std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), std::streamsize(bytes.size()));
        }
        const auto s1 = Clock::now();
        orka::ReviewDecoder decoder;
        const auto d0 = Clock::now();
        decoder.Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), review.size());
        const auto d1 = Clock::now();

        capture.push_back(Ms(t1 - t0));
        transfer.push_back(Ms(t2 - t1));
        save.push_back(Ms(s1 - s0));
        decode.push_back(Ms(d1 - d0));
        display.push_back(std::max(0.0, Ms(t3 - t2) - Ms(d1 - d0)));
        total.push_back(Ms(t3 - t0));
    }
    orkabench::leaveControlMode();
    const auto size = fs::file_size(last);
    fs::remove_all(root);

    const auto median = [](const std::vector<double>& v) { return orkabench::quantile(v, 0.5); };
    std::printf(
        "release to the review's fit view (%d shots, %llu-byte pictures, view 1200 x 900)\n",
        kShots, static_cast<unsigned long long>(size));
    std::printf("  capture exchange          %8.1f ms\n", median(capture));
    std::printf("  file transfer with save   %8.1f ms (the save alone %.1f ms)\n", median(transfer),
                median(save));
    std::printf("  fit decode                %8.1f ms\n", median(decode));
    std::printf("  display                   %8.1f ms\n", median(display));
    std::printf("  release to screen         %8.1f ms (p90 %.1f ms)\n", median(total),
                orkabench::quantile(total, 0.9));
    return 0;
}
