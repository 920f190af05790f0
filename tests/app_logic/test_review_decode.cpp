// The review's decoding: fit and full scales, pictures cut off or hostile,
// the analysis of the full picture, the bounded cache and the loader thread.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "jpeg_samples.h"

#include "ReviewDecoder.h"
#include "ReviewLoader.h"

using orka::Orientation;
using orka::ReviewProblem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Quadrants(int w, int h, samples::Scans scans = samples::Scans::Interleaved) {
    return samples::Encode(samples::Quadrants(w, h), 90, scans);
}

// The stream with its frame header announcing w x h.
Bytes Announcing(Bytes jpeg, int w, int h) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(h >> 8), jpeg[i + 6] = uint8_t(h);
            jpeg[i + 7] = uint8_t(w >> 8), jpeg[i + 8] = uint8_t(w);
            break;
        }
    }
    return jpeg;
}

// A progressive stream whose last scan comes again and again.
Bytes ManyScans(const Bytes& progressive, int repeats) {
    size_t last = 0;
    for (size_t i = 0; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xDA)
            last = i;
    Bytes out(progressive.begin(), progressive.end() - 2);  // without its end marker
    for (int r = 0; r < repeats; ++r)
        out.insert(out.end(), progressive.begin() + long(last), progressive.end() - 2);
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

orka::ReviewDecode Decode(orka::ReviewDecoder& d, const Bytes& b, QSize view = {}) {
    return d.Decode(b.data(), b.size(), view);
}

void WriteFile(const QString& path, const Bytes& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

}  // namespace

// The fit view decodes at the smallest of the fast scales that covers the
// fitted picture; the 100 % view at full size; both in the picture's colours.
TEST(ReviewDecoder, FitScaleAndFullSize) {
    orka::ReviewDecoder d;
    EXPECT_EQ(d.FitScale({3264, 2448}, {1366, 768}), 4);
    EXPECT_EQ(d.FitScale({3264, 2448}, {400, 300}), 1);
    EXPECT_EQ(d.FitScale({3264, 2448}, {3000, 3000}), 8);
    EXPECT_EQ(d.FitScale({3264, 2448}, {}), 8);

    const Bytes jpeg = Quadrants(1600, 1200);
    const orka::ReviewDecode fit = Decode(d, jpeg, {500, 500});
    ASSERT_EQ(fit.problem, ReviewProblem::None) << qPrintable(fit.message);
    EXPECT_EQ(fit.image.size(), QSize(800, 600));
    EXPECT_EQ(fit.announced, QSize(1600, 1200));
    const orka::ReviewDecode full = Decode(d, jpeg);
    ASSERT_TRUE(full.shown());
    EXPECT_EQ(full.image.size(), QSize(1600, 1200));
    EXPECT_EQ(full.validRows, 1200);
    for (const auto& image : {fit.image, full.image}) {
        EXPECT_TRUE(samples::Near(Pixel(image, 5, 5), Qt::red));
        EXPECT_TRUE(samples::Near(Pixel(image, image.width() - 5, 5), Qt::green));
        EXPECT_TRUE(samples::Near(Pixel(image, 5, image.height() - 5), Qt::blue));
    }
}

// A sequential picture cut short shows its rows up to where the data ended,
// grey below, and none of the made-up rows reaches the analysis; a
// progressive one cut short shows whole, less sharp; both say so.
TEST(ReviewDecoder, CutOffShowsAsFarAsTheDataGoes) {
    orka::ReviewDecoder d;
    const Bytes whole = Quadrants(640, 480);
    const Bytes cut(whole.begin(), whole.begin() + long(whole.size() * 6 / 10));
    int handed = 0, alongside = 0;
    const orka::ReviewDecoder::BandHandler band = [&](const uint8_t* const*, int y0, int y1) {
        EXPECT_EQ(y0, handed);
        handed = y1;
    };
    const orka::ReviewDecoder::BandHandler helper = [&](const uint8_t* const*, int, int y1) {
        alongside = y1;
    };
    const orka::ReviewDecode r = d.Decode(cut.data(), cut.size(), {}, {}, band, helper);
    EXPECT_EQ(r.problem, ReviewProblem::Truncated);
    ASSERT_TRUE(r.shown());
    EXPECT_GT(r.validRows, 100);
    EXPECT_LT(r.validRows, 480);
    EXPECT_EQ(handed, r.validRows);
    EXPECT_EQ(alongside, r.validRows);
    EXPECT_TRUE(samples::Near(Pixel(r.image, 5, 5), Qt::red));
    EXPECT_EQ(Pixel(r.image, 320, 479), QColor(128, 128, 128));
    EXPECT_TRUE(r.message.startsWith("Image tronquée : seules les")) << qPrintable(r.message);

    const Bytes progressive = Quadrants(640, 480, samples::Scans::Progressive);
    const Bytes progressiveCut(progressive.begin(),
                               progressive.begin() + long(progressive.size() * 7 / 10));
    const orka::ReviewDecode p = Decode(d, progressiveCut);
    EXPECT_EQ(p.problem, ReviewProblem::Truncated);
    EXPECT_EQ(p.validRows, 480);
    EXPECT_TRUE(samples::Near(Pixel(p.image, 600, 400), Qt::white, 40));
}

// What would cost too much is refused before it is paid for, in French: not
// a JPEG, more pixels announced than allowed, a 100-megapixel picture at
// 100 % (its fit view decodes scaled, quickly), a progressive one whose
// buffers exceed the decoder's memory, endless scans; and a cancel stops.
TEST(ReviewDecoder, RefusesWhatWouldCostTooMuch) {
    orka::ReviewDecoder d;
    const Bytes text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(Decode(d, text).message, "Ce fichier n'est pas une image JPEG.");

    const Bytes small = Quadrants(64, 48);
    const orka::ReviewDecode huge = Decode(d, Announcing(small, 20000, 20000), {800, 600});
    EXPECT_EQ(huge.problem, ReviewProblem::TooLarge);
    EXPECT_FALSE(huge.shown());
    EXPECT_TRUE(huge.message.contains("20000 x 20000 pixels annoncés")) << qPrintable(huge.message);

    const Bytes hundred = Announcing(small, 10000, 10000);
    const auto t0 = std::chrono::steady_clock::now();
    const orka::ReviewDecode fit = Decode(d, hundred, {1000, 1000});
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    ASSERT_TRUE(fit.shown());
    EXPECT_EQ(fit.image.size(), QSize(1250, 1250));
    EXPECT_NE(fit.problem, ReviewProblem::None);
    EXPECT_TRUE(Decode(d, hundred).message.startsWith("Image trop grande pour la vue à 100 %"));

    const Bytes progressive = Quadrants(64, 48, samples::Scans::Progressive);
    const orka::ReviewDecode big = Decode(d, Announcing(progressive, 9000, 9000), {800, 600});
    EXPECT_EQ(big.problem, ReviewProblem::OutOfMemory) << qPrintable(big.message);
    EXPECT_TRUE(big.message.startsWith("Mémoire insuffisante"));

    const orka::ReviewDecode endless = Decode(d, ManyScans(progressive, 200));
    EXPECT_EQ(endless.problem, ReviewProblem::TooManyScans);
    EXPECT_EQ(endless.message, "Image progressive de plus de 64 passes : décodage arrêté.");

    const std::atomic<bool> cancel{true};
    EXPECT_EQ(d.Decode(small.data(), small.size(), {}, {}, {}, {}, &cancel).problem,
              ReviewProblem::Cancelled);
    EXPECT_EQ(Decode(d, small).problem, ReviewProblem::None);  // the decoder goes on
}

// The full picture is turned as the live view is and carries the focus mask
// (the quadrants' edges), the clipping (the white quadrant) and the channel
// histogram of every pixel; the marks draw on the 100 % band and on the
// fit view.
TEST(ReviewLoader, FullPictureCarriesMaskClippingAndHistogram) {
    const Bytes jpeg = Quadrants(400, 300);
    orka::ReviewComposer composer;
    orka::ReviewRequest request;
    request.full = true;
    request.orientation = Orientation::Clockwise;
    request.assist.clipStyle = orka::ClipStyle::Solid;
    const orka::ReviewPicturePtr full = composer.Compose(request, jpeg.data(), jpeg.size());
    ASSERT_FALSE(full->shown.isNull());
    EXPECT_EQ(full->shown.size(), QSize(300, 400));
    EXPECT_TRUE(samples::Near(Pixel(full->shown, 2, 2), Qt::blue));  // bottom left comes up
    ASSERT_TRUE(full->peaks && full->clips);
    EXPECT_EQ(full->rgb.pixels, 400u * 300u);
    EXPECT_NE(full->peaks->MarksOfRow(100), nullptr);  // the vertical edge
    EXPECT_EQ(full->peaks->MarksOfRow(20)[20], 0);     // flat red
    EXPECT_NE(full->clips->MarksOfRow(250)[300], 0);   // white

    // White clips in every channel: solid mid-grey (never black, which reads as
    // shadow); the edge in the mask colour.
    const QImage band = orka::MarkedRows(*full, 250, 300, true, true);
    ASSERT_EQ(band.size(), QSize(300, 50));
    EXPECT_EQ(Pixel(band, 20, 10), QColor(128, 128, 128));  // displayed (20, 260): white
    const QImage plain = orka::MarkedRows(*full, 250, 300, false, false);
    EXPECT_EQ(plain, full->shown.copy(0, 250, 300, 50));

    // A picture let go gives its pixels to the next of its size.
    request.orientation = Orientation::Normal;
    orka::ReviewPicturePtr first = composer.Compose(request, jpeg.data(), jpeg.size());
    const uchar* firstPixels = first->shown.constBits();
    first.reset();
    EXPECT_EQ(composer.Compose(request, jpeg.data(), jpeg.size())->shown.constBits(), firstPixels);

    request.orientation = Orientation::Clockwise;
    request.full = false;
    request.view = QSize(150, 200);
    const orka::ReviewPicturePtr fit = composer.Compose(request, jpeg.data(), jpeg.size());
    EXPECT_EQ(fit->shown.size(), QSize(150, 200));
    EXPECT_TRUE(samples::Near(Pixel(fit->shown, 2, 2), Qt::blue));
    QImage marked = fit->shown;
    orka::MarkFitView(*full, true, false, marked);
    EXPECT_EQ(Pixel(marked, 75, 150), QColor(255, 0, 0));  // the green-white edge, in red
    EXPECT_EQ(Pixel(marked, 10, 10), Pixel(fit->shown, 10, 10));
}

// The cache keeps the most recently used pictures within its bytes, and
// forgets a picture whose file changed since it was read.
TEST(ReviewCache, BoundedLeastRecentlyUsedAndStale) {
    QTemporaryDir dir;
    orka::ReviewComposer composer;
    std::vector<orka::ReviewRequest> requests;
    for (int i = 0; i < 6; ++i) {
        orka::ReviewRequest r;
        r.file = dir.filePath(QStringLiteral("P%1.jpg").arg(i));
        r.view = QSize(200, 150);
        WriteFile(r.file, Quadrants(800, 600));
        requests.push_back(r);
    }
    const size_t each = composer.Compose(requests[0])->Bytes();
    orka::ReviewCache cache(3 * each + each / 2);
    for (const auto& r : requests) {
        cache.Insert(r, composer.Compose(r));
        if (&r == &requests[1]) {
            ASSERT_NE(cache.Find(requests[0]), nullptr);  // 0 is now the most recent
        }
    }
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_LE(cache.bytes(), cache.budget());
    EXPECT_EQ(cache.Find(requests[1]), nullptr);
    EXPECT_NE(cache.Find(requests[5]), nullptr);

    WriteFile(requests[5].file, Quadrants(640, 480));
    EXPECT_EQ(cache.Find(requests[5]), nullptr);
    EXPECT_EQ(cache.count(), 2u);
}

// The loader makes what is shown, in order, answers again from its cache,
// and drops a picture that is no longer wanted.
TEST(ReviewLoader, MakesWhatIsShownAndDropsTheRest) {
    QTemporaryDir dir;
    const QString a = dir.filePath("A.jpg"), b = dir.filePath("B.jpg");
    WriteFile(a, Quadrants(1600, 1200));
    WriteFile(b, Quadrants(640, 480));
    std::mutex m;
    std::condition_variable cv;
    std::vector<QString> made;
    orka::ReviewLoader loader([&](const orka::ReviewRequest& r, orka::ReviewPicturePtr p) {
        std::lock_guard lock(m);
        made.push_back(r.Key());
        EXPECT_EQ(p->problem, ReviewProblem::None);
        cv.notify_all();
    });
    const auto waitFor = [&](size_t n) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, std::chrono::seconds(30), [&] { return made.size() >= n; });
    };
    const auto request = [](const QString& file, bool full) {
        orka::ReviewRequest r;
        r.file = file;
        r.full = full;
        r.view = full ? QSize() : QSize(300, 300);
        return r;
    };
    const auto fitA = request(a, false), fullA = request(a, true), fitB = request(b, false);
    loader.Show({fitA, fullA});
    ASSERT_TRUE(waitFor(2));
    EXPECT_EQ(made, (std::vector<QString>{fitA.Key(), fullA.Key()}));
    loader.Show({fitB, fitA});
    ASSERT_TRUE(waitFor(4));
    EXPECT_EQ(made[2], fitB.Key());
    EXPECT_NE(loader.Cached(fullA), nullptr);

    const auto fullB = request(b, true);
    loader.Show({fullB});
    loader.Show({fitA});  // fullB dropped, or cancelled under way
    ASSERT_TRUE(waitFor(5));
    while (loader.busy())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard lock(m);
    EXPECT_EQ(made.back(), fitA.Key());
    EXPECT_LE(made.size(), 6u);
}
