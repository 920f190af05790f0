// What the status area says, each message with an owner and a lifetime.
//
// The panel InfoStatut shows one line at a time, but several parts speak
// there: a wait under way, the exposure warnings of a half press, the place
// of the last picture, a recorded video, the camera gone. Each speaks with a
// kind, and the kind says how long its message lives:
//  - Lifetime::UntilCleared: the message stays until its owner clears it
//    (the warning when the condition is gone or the half press ends, a wait
//    when it ends); one message per kind.
//  - Lifetime::UntilNewerEvent: the message tells of something that
//    happened (a picture saved, the camera gone) and stays until a newer
//    event replaces it; all such kinds share one place.
// The panel shows the message of the highest rank (the newest on a tie);
// when it goes, the one below shows again: a warning never erases the place
// of the last picture. The tooltip lists them all in full.
//
// A new kind of message is one line in the namespace `status` below.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace orka {

enum class Lifetime : uint8_t { UntilCleared, UntilNewerEvent };

struct StatusKind {
    const char* name;  // for tests and logs
    Lifetime lifetime;
    int rank;            // the higher shows first
    bool alarm = false;  // shown in red
};

namespace status {
// A wait under way: a countdown, the connection attempts, the files to come.
inline constexpr StatusKind Wait{"wait", Lifetime::UntilCleared, 40};
// The camera's exposure warnings while the shutter is half-pressed.
inline constexpr StatusKind Warning{"warning", Lifetime::UntilCleared, 30};
// Why no camera could be opened, while the window keeps looking for it.
inline constexpr StatusKind Search{"search", Lifetime::UntilCleared, 20};
// The second copies failing (folder missing, unplugged, full): copies wait.
inline constexpr StatusKind Backup{"backup", Lifetime::UntilCleared, 36, true};
// The session journal cannot be written.
inline constexpr StatusKind Journal{"journal", Lifetime::UntilCleared, 35, true};
// The command run after each picture failed, until it succeeds again.
inline constexpr StatusKind Command{"command", Lifetime::UntilCleared, 34, true};
// Fewer than 50 pictures still fit in the picture or the backup folder.
inline constexpr StatusKind RoomLow{"room-low", Lifetime::UntilCleared, 32, true};
// A shot or a run refused or warned for want of room: until the next shot.
inline constexpr StatusKind NoRoom{"no-room", Lifetime::UntilCleared, 31, true};
// A shot the camera's going away cut off: until the next connection.
inline constexpr StatusKind Interrupted{"interrupted", Lifetime::UntilCleared, 10};
// The events, newest first.
inline constexpr StatusKind Picture{"picture", Lifetime::UntilNewerEvent, 0};
inline constexpr StatusKind Video{"video", Lifetime::UntilNewerEvent, 0};
inline constexpr StatusKind Camera{"camera", Lifetime::UntilNewerEvent, 0};
inline constexpr StatusKind Notice{"notice", Lifetime::UntilNewerEvent, 0};
// A picture's place with the time from its release to the picture on screen.
inline constexpr StatusKind OnScreen{"screen", Lifetime::UntilNewerEvent, 0};
// What the last session of the picture folder left unfinished.
inline constexpr StatusKind Recovery{"recovery", Lifetime::UntilNewerEvent, 0};
// About how many pictures still fit: shown when nothing else is.
inline constexpr StatusKind Room{"room", Lifetime::UntilCleared, -10};
}  // namespace status

class StatusArea {
  public:
    // The message of `kind` is now `text` (an empty text clears it). An
    // event replaces the event shown before, whatever its kind.
    void Say(const StatusKind& kind, const QString& text);
    // Clears the message of `kind`; an event is cleared only when the one
    // shown is of that kind.
    void Clear(const StatusKind& kind);

    // The message the panel shows, and its kind (null when none).
    QString Shown() const;
    const StatusKind* ShownKind() const;
    // The text of `kind`, empty when it has none.
    QString Text(const StatusKind& kind) const;
    // Every message, highest rank first, one per line: the tooltip.
    QString Details() const;

  private:
    struct Message {
        const StatusKind* kind;
        QString text;
        uint64_t order;  // when it was said
    };
    // Highest rank first, newest first on a tie.
    std::vector<const Message*> Ranked() const;

    std::vector<Message> messages_;
    uint64_t said_ = 0;
};

}  // namespace orka
