#include "InfosPgm.h"

#include "ui_InfosPgm.h"

TInfosPgm::TInfosPgm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TInfosPgm>()) {
    ui_->setupUi(this);
    setFixedSize(size());
}

TInfosPgm::~TInfosPgm() = default;
