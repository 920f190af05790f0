// TInfosPgm, the about box: the program's version and copyright, and the
// address of its web site. Created once at program start.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TInfosPgm;
}

class TInfosPgm : public QDialog {
    Q_OBJECT

  public:
    explicit TInfosPgm(QWidget* parent = nullptr);
    ~TInfosPgm() override;

    Ui::TInfosPgm* form() const { return ui_.get(); }

  private:
    std::unique_ptr<Ui::TInfosPgm> ui_;
};
