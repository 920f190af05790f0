// The mouse presses, moves and releases of the widgets it watches, for any
// mouse button (the toolkit's own button signals answer the left button
// only), handed to one function; a double click counts as a press.
#pragma once

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

class TMouseFilter : public QObject {
  public:
    enum class Kind { Press, Move, Release };
    // Returns true when it took the event: the widget does not see it.
    using Handler = std::function<bool(QWidget* watched, Kind kind, const QMouseEvent& event)>;

    TMouseFilter(QObject* parent, Handler handler)
        : QObject(parent), handler_(std::move(handler)) {}
    void Watch(QWidget* widget) { widget->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        Kind kind;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                kind = Kind::Press;
                break;
            case QEvent::MouseMove:
                kind = Kind::Move;
                break;
            case QEvent::MouseButtonRelease:
                kind = Kind::Release;
                break;
            default:
                return false;
        }
        return handler_(static_cast<QWidget*>(watched), kind, *static_cast<QMouseEvent*>(event));
    }

  private:
    Handler handler_;
};
