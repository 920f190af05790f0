// Window tests against the simulated camera: a fresh camera and window for
// each test, the connection without the live view, and the camera's
// protocol errors checked when the window goes.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <string>

#include "WindowTest.h"
#include "orkasim.h"

class TCameraWindowTest : public TWindowTest {
  protected:
    orkasim::Camera& cam = orkasim::Camera::instance();
    QTemporaryDir images;  // where the window saves pictures

    // A fresh simulated camera and a new window that saves into images,
    // shown; beforeShow runs before the first show.
    bool OpenCameraWindow(const std::function<void()>& beforeShow = {}) {
        cam.reset();
        return OpenWindow([&] {
            get<QLineEdit>("NomRep")->setText(images.path());
            if (beforeShow)
                beforeShow();
        });
    }
    // Clicks the connection button with "Prévisualisation active" unchecked
    // first, so that no live view runs inside the click; true when connected.
    bool ConnectWithoutLiveView() {
        get<QCheckBox>("PreVisuActif")->setChecked(false);
        QTest::mouseClick(get<QToolButton>("ConnectAPN"), Qt::LeftButton);
        return Camera().Connected;
    }
    // Deletes the window (which disconnects) and returns the protocol errors
    // the camera saw, empty when there were none.
    std::string CloseWindow() {
        DeleteWindow();
        std::string errors;
        for (const auto& e : cam.protocolErrors())
            errors += e + "; ";
        return errors;
    }
};
