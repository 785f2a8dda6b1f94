// The about box of the meter control.
#pragma once

#include <QDialog>

namespace gaugekit {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace gaugekit
