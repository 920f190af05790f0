// The review of a saved picture, on the simulated camera's 3264 x 2448
// pictures (extra fine), median of 60 runs each, against the bare
// libjpeg-turbo decode of the same pictures with the same settings:
//  - saved -> fit view on screen: the file read, decoded at the scale the
//    view needs, its histogram, painted fitted into a 1600 x 1000 view, as the
//    review window does (upright and turned); target <= 1.5 x the bare decode
//    at that scale;
//  - fit -> 100 % at the focus point: the viewport painted from the full
//    picture decoded ahead, and, cold, the full decode with its analysis;
//    target <= 1.5 x the bare full decode;
//  - focus mask + clipping + histogram on the full picture, drawn on the
//    viewport: target <= 1.0 x the bare full decode on top of it;
//  - memory of the review of a 200-picture session (every picture shown fit
//    and decoded ahead at full size, in a fresh process): target <= 256 MiB.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <sys/resource.h>
#include <unistd.h>

#include <jpeglib.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "LiveViewMath.h"
#include "ReviewGeometry.h"
#include "ReviewLoader.h"
#include "scene.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kRuns = 60;
constexpr int kPictures = 8;  // distinct pictures, served in turn
constexpr int kSession = 200;
const QSize kView(1600, 1000);

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The floor: libjpeg straight into one plain buffer, the review's settings
// (32-bit pixels for the fit view, 24-bit ones at full size).
class BareDecoder {
  public:
    BareDecoder() {
        cinfo_.err = jpeg_std_error(&err_);
        jpeg_create_decompress(&cinfo_);
    }
    ~BareDecoder() { jpeg_destroy_decompress(&cinfo_); }
    void Decode(const Bytes& jpeg, int scale) {
        jpeg_mem_src(&cinfo_, jpeg.data(), jpeg.size());
        jpeg_read_header(&cinfo_, TRUE);
        cinfo_.out_color_space = scale == 8 ? JCS_EXT_BGR : JCS_EXT_BGRX;
        cinfo_.dct_method = JDCT_ISLOW;
        cinfo_.scale_num = unsigned(scale);
        cinfo_.scale_denom = 8;
        jpeg_start_decompress(&cinfo_);
        const size_t stride = size_t(cinfo_.output_width) * size_t(cinfo_.output_components);
        buffer_.resize(stride * cinfo_.output_height);
        rows_.resize(cinfo_.output_height);
        for (size_t y = 0; y < rows_.size(); ++y)
            rows_[y] = buffer_.data() + y * stride;
        while (cinfo_.output_scanline < cinfo_.output_height)
            jpeg_read_scanlines(&cinfo_, rows_.data() + cinfo_.output_scanline,
                                cinfo_.output_height - cinfo_.output_scanline);
        jpeg_finish_decompress(&cinfo_);
    }

  private:
    jpeg_decompress_struct cinfo_{};
    jpeg_error_mgr err_{};
    std::vector<uint8_t> buffer_;
    std::vector<JSAMPROW> rows_;
};

// The review window's paint of the fit view and of the 100 % view.
void PaintFit(const orka::ReviewPicture& picture, QImage& view) {
    QPainter p(&view);
    const QSize shown = orka::DisplaySize(picture.orientation, picture.delivered.width(),
                                          picture.delivered.height());
    const QRectF fit = orka::FitRect(QSizeF(shown), QSizeF(view.size()));
    p.setClipRegion(QRegion(view.rect()).subtracted(QRegion(fit.toAlignedRect())));
    p.fillRect(view.rect(), Qt::black);
    p.setClipping(false);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(fit, picture.shown);
}

void PaintLoupe(const orka::ReviewPicture& full, QPointF centre, QImage& view, bool marks) {
    const QRectF v = orka::LoupeViewport(QSizeF(full.shown.size()), QSizeF(view.size()), centre);
    QPainter p(&view);
    if (marks) {
        const int top = int(std::max(0.0, v.top()));
        const QImage band = orka::MarkedRows(full, top, int(v.bottom()) + 1, true, true);
        p.drawImage(QPointF(-v.left(), top - v.top()), band);
    } else {
        p.drawImage(QPointF(-v.left(), -v.top()), full.shown);
    }
}

long PeakRssKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The session's memory, in a process of its own: every picture of dir shown
// fit, then decoded ahead at full size, as browsing does, one after the other.
int Session(const char* dir) {
    const QStringList files = QDir(QString::fromLocal8Bit(dir)).entryList({"*.JPG"}, QDir::Files);
    std::mutex m;
    std::condition_variable cv;
    int made = 0;
    orka::ReviewLoader loader([&](const orka::ReviewRequest&, orka::ReviewPicturePtr p) {
        QImage view(kView, QImage::Format_RGB32);
        if (!p->full)
            PaintFit(*p, view);
        std::lock_guard lock(m);
        ++made;
        cv.notify_all();
    });
    for (const QString& name : files) {
        orka::ReviewRequest fit;
        fit.file = QString::fromLocal8Bit(dir) + QLatin1Char('/') + name;
        fit.view = kView;
        orka::ReviewRequest full = fit;
        full.full = true;
        full.view = {};
        const int before = made;
        loader.Show({fit, full});
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return made >= before + 2; });
    }
    std::printf("%d %zu %zu %ld\n", int(files.size()), loader.cache().bytes(),
                loader.cache().count(), PeakRssKiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--session")
        return Session(argv[2]);

    std::printf("Rendering %d pictures of the simulated camera at 3264 x 2448 ...\n", kPictures);
    orkasim::Scene scene;
    std::vector<Bytes> pictures;
    QTemporaryDir dir;
    size_t total = 0;
    for (int i = 0; i < kPictures; ++i) {
        pictures.push_back(scene.renderJpeg(3264, 2448, orkasim::SceneSettings{}, i * 0.7, 95));
        total += pictures.back().size();
        QFile f(dir.filePath(QStringLiteral("P%1.JPG").arg(i + 1, 5, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(reinterpret_cast<const char*>(pictures.back().data()),
                qint64(pictures.back().size()));
    }
    std::printf("pictures: mean %.2f MB; view %d x %d\n", total / 1e6 / kPictures, kView.width(),
                kView.height());
    const auto fileOf = [&](int i) {
        return dir.filePath(
            QStringLiteral("P%1.JPG").arg(i % kPictures + 1, 5, 10, QLatin1Char('0')));
    };

    // 200 names of the rendered pictures (hard links): the runs go from one
    // picture to the next as browsing does, the cache evicting the oldest.
    QTemporaryDir sessionDir;
    QStringList session;
    for (int i = 0; i < kSession; ++i) {
        const QString name =
            sessionDir.filePath(QStringLiteral("P%1.JPG").arg(i + 1, 5, 10, QLatin1Char('0')));
        if (::link(QFile::encodeName(fileOf(i)).constData(), QFile::encodeName(name).constData()) !=
            0)
            QFile::copy(fileOf(i), name);
        session << name;
    }

    BareDecoder bare;
    orka::ReviewComposer composer;
    orka::ReviewCache cache;
    size_t lastFit = 0, lastFull = 0;  // the room the loader makes before each
    const int fitScale = orka::ReviewDecoder().FitScale({3264, 2448}, kView);
    const auto time = [](auto&& run) {
        const auto t0 = Clock::now();
        run();
        return Ms(Clock::now() - t0);
    };
    std::vector<double> bareFit, bareFull, fit, fitTurned, ahead, cold, marks;
    QImage view(kView, QImage::Format_RGB32);
    const QPointF focus =
        orka::CameraToPicture({1632, 1224}, {3264, 2448}, orka::Orientation::Normal);
    for (int i = 0; i < kRuns + 5; ++i) {
        const bool warm = i >= 5;  // the first pictures fill the cache
        const Bytes& jpeg = pictures[size_t(i % kPictures)];
        const double b1 = time([&] { bare.Decode(jpeg, fitScale); });
        const double b2 = time([&] { bare.Decode(jpeg, 8); });

        // Saved -> fit: the window asks for the fit view of the new picture.
        orka::ReviewRequest r;
        r.file = session[i % kSession];
        r.view = kView;
        orka::ReviewPicturePtr p;
        cache.MakeRoom(lastFit);
        const double f1 = time([&] {
            p = composer.Compose(r);
            PaintFit(*p, view);
        });
        lastFit = std::max(lastFit, p->Bytes());
        cache.Insert(r, p);
        r.orientation = orka::Orientation::Clockwise;
        const double f2 = time([&] { PaintFit(*composer.Compose(r), view); });

        // Fit -> 100 %: cold (the full picture and its analysis made on
        // demand), then as decoded ahead (from the cache).
        r.orientation = orka::Orientation::Normal;
        r.full = true;
        r.view = {};
        cache.MakeRoom(lastFull);
        const double c = time([&] {
            p = composer.Compose(r);
            PaintLoupe(*p, focus, view, false);
        });
        lastFull = std::max(lastFull, p->Bytes());
        cache.Insert(r, p);
        p.reset();
        const double a = time([&] { PaintLoupe(*cache.Find(r), focus, view, false); });
        const double m = time([&] { PaintLoupe(*cache.Find(r), focus, view, true); });
        if (!warm)
            continue;
        bareFit.push_back(b1);
        bareFull.push_back(b2);
        fit.push_back(f1);
        fitTurned.push_back(f2);
        cold.push_back(c);
        ahead.push_back(a);
        marks.push_back(m);
    }
    // The same full pictures without their analysis: the decode's own share.
    std::vector<double> plain;
    orka::ReviewDecoder decoder;
    for (int i = 0; i < kRuns; ++i) {
        const Bytes& jpeg = pictures[size_t(i % kPictures)];
        plain.push_back(time([&] { decoder.Decode(jpeg.data(), jpeg.size(), {}); }));
    }
    const double fitFloor = Median(bareFit);
    const double fullFloor = Median(bareFull);
    std::printf("\nmedian of %d runs (ms)\n", kRuns);
    std::printf("  bare libjpeg-turbo decode at %d/8              %8.2f\n", fitScale, fitFloor);
    std::printf("  bare libjpeg-turbo decode at full size         %8.2f\n", fullFloor);
    std::printf("  the review's full decode, no analysis          %8.2f\n", Median(plain));
    bool met = true;
    const auto line = [&](const char* what, double ms, double floor, double target) {
        const double ratio = ms / floor;
        met = met && ratio <= target;
        std::printf("  %-46s %8.2f ratio %.2f%s (target <= %.1f)\n", what, ms, ratio,
                    ratio <= target ? " " : "!", target);
    };
    line("saved -> fit view on screen, upright", Median(fit), fitFloor, 1.5);
    line("saved -> fit view on screen, turned", Median(fitTurned), fitFloor, 1.5);
    line("fit -> 100 % at the focus point, decoded ahead", Median(ahead), fullFloor, 1.5);
    line("fit -> 100 % at the focus point, cold", Median(cold), fullFloor, 1.5);
    // The full picture's analysis runs within its decode; its marks are drawn
    // on the viewport when shown.
    const double onTop = Median(cold) - fullFloor + Median(marks) - Median(ahead);
    line("mask + clipping + histogram, on top", onTop, fullFloor, 1.0);

    // The session's memory, in a fresh process.
    const std::string command =
        std::string(argv[0]) + " --session " + QFile::encodeName(sessionDir.path()).toStdString();
    FILE* child = popen(command.c_str(), "r");
    int shownPictures = 0;
    size_t cacheBytes = 0, cacheCount = 0;
    long rss = 0;
    if (!child ||
        std::fscanf(child, "%d %zu %zu %ld", &shownPictures, &cacheBytes, &cacheCount, &rss) != 4) {
        std::printf("the session run failed\n");
        return 1;
    }
    pclose(child);
    const double mib = rss / 1024.0;
    std::printf("\n%d-picture session, each shown fit and decoded ahead at full size:\n",
                shownPictures);
    std::printf("  cache %.1f MiB in %zu pictures, budget %.0f MiB\n", cacheBytes / 1048576.0,
                cacheCount, orka::ReviewCache::DefaultBudget / 1048576.0);
    std::printf("  %-46s %8.1f MiB ratio %.2f%s (target <= 256 MiB)\n",
                "peak memory of the process", mib, mib / 256, mib <= 256 ? " " : "!");
    met = met && mib <= 256;
    std::printf("\ntargets %s\n", met ? "met" : "NOT met");
    return 0;
}
