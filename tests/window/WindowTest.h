// The common ground of the window's Qt Test classes: the window under test
// and its controls found by the names the form gives them.
#pragma once

#include <QObject>

#include "OrkaCapture.h"

// No Q_OBJECT here: it adds nothing to the test classes' meta-objects.
class TWindowTest : public QObject {
  protected:
    TBase* base = nullptr;  // the window under test, made by each test class

    // The control called name, or null (with a warning) when the form has no
    // control of that name and type.
    template <typename T>
    T* get(const char* name) const {
        T* w = base->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no control %s of the expected type", name);
        return w;
    }
};
