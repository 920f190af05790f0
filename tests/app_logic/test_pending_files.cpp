// The wait for the camera's pending files at disconnect, on a fake clock.
#include <QTest>

#include <chrono>
#include <deque>

#include "PendingFiles.h"

using namespace std::chrono_literals;

namespace {

// A camera whose count follows a script, one value per poll; each pause
// moves the clock one second on.
struct Script {
    std::deque<int32_t> counts;
    orka::PendingFilesWait::Clock::time_point clock{};
    int questions = 0;
    int pauses = 0;
    std::vector<bool> answers;  // the user's answers, in order

    orka::PendingFilesWait wait() {
        orka::PendingFilesWait w;
        w.count = [this] {
            const int32_t c = counts.front();
            if (counts.size() > 1)
                counts.pop_front();
            return c;
        };
        w.pause = [this] {
            clock += 1s;
            ++pauses;
        };
        w.now = [this] { return clock; };
        w.keepWaiting = [this](int32_t) { return answers.at(questions++); };
        return w;
    }
};

}  // namespace

class TestPendingFiles : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void nothingPendingReturnsAtOnce() {
        Script s;
        s.counts = {0};
        QVERIFY(s.wait().run());
        QCOMPARE(s.pauses, 0);
    }

    // Two files, the second after 40 s: the count fell within every 30 s
    // window except none, so nobody is asked.
    void fallingCountWaitsWithoutAsking() {
        Script s;
        s.counts = {2};
        for (int i = 0; i < 25; ++i)
            s.counts.push_back(2);
        s.counts.push_back(1);  // after 26 s
        for (int i = 0; i < 25; ++i)
            s.counts.push_back(1);
        s.counts.push_back(0);  // 26 s later
        QVERIFY(s.wait().run());
        QCOMPARE(s.questions, 0);
        QCOMPARE(s.pauses, 52);
    }

    void stuckCountAsksAfterThirtySecondsAndKeepsWaiting() {
        Script s;
        s.counts = {3};
        for (int i = 0; i < 45; ++i)
            s.counts.push_back(3);
        s.counts.push_back(0);
        s.answers = {true};
        QVERIFY(s.wait().run());
        QCOMPARE(s.questions, 1);  // asked at 30 s, not again before 60 s
        QCOMPARE(s.pauses, 46);
    }

    void userStopsWaiting() {
        Script s;
        s.counts = {1};
        s.answers = {true, false};
        QVERIFY(!s.wait().run());
        QCOMPARE(s.questions, 2);
        QCOMPARE(s.pauses, 60);  // asked at 30 s and at 60 s
    }

    // Cancelled during the third pause: no question, no further count.
    void cancelledDuringAPause() {
        Script s;
        s.counts = {2};
        auto wait = s.wait();
        wait.cancelled = [&s] { return s.pauses == 3; };
        QVERIFY(!wait.run());
        QCOMPARE(s.pauses, 3);
        QCOMPARE(s.questions, 0);
    }

    void negativeCountIsNothingPending() {
        Script s;
        s.counts = {-1};
        QVERIFY(s.wait().run());
    }
};

QTEST_GUILESS_MAIN(TestPendingFiles)
#include "test_pending_files.moc"
