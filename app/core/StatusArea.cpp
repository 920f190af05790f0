#include "StatusArea.h"

#include <QStringList>

#include <algorithm>

namespace orka {

void StatusArea::Say(const StatusKind& kind, const QString& text) {
    if (text.isEmpty()) {
        Clear(kind);
        return;
    }
    const bool event = kind.lifetime == Lifetime::UntilNewerEvent;
    std::erase_if(messages_, [&](const Message& m) {
        return m.kind == &kind || (event && m.kind->lifetime == Lifetime::UntilNewerEvent);
    });
    messages_.push_back({&kind, text, ++said_});
}

void StatusArea::Clear(const StatusKind& kind) {
    std::erase_if(messages_, [&](const Message& m) { return m.kind == &kind; });
}

std::vector<const StatusArea::Message*> StatusArea::Ranked() const {
    std::vector<const Message*> ranked;
    for (const Message& m : messages_)
        ranked.push_back(&m);
    std::sort(ranked.begin(), ranked.end(), [](const Message* a, const Message* b) {
        return a->kind->rank != b->kind->rank ? a->kind->rank > b->kind->rank : a->order > b->order;
    });
    return ranked;
}

QString StatusArea::Shown() const {
    const auto ranked = Ranked();
    return ranked.empty() ? QString() : ranked.front()->text;
}

const StatusKind* StatusArea::ShownKind() const {
    const auto ranked = Ranked();
    return ranked.empty() ? nullptr : ranked.front()->kind;
}

QString StatusArea::Text(const StatusKind& kind) const {
    for (const Message& m : messages_)
        if (m.kind == &kind)
            return m.text;
    return QString();
}

QString StatusArea::Details() const {
    QStringList lines;
    for (const Message* m : Ranked())
        lines << m->text;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orka
