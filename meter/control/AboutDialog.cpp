#include "AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

// The control's pictures live in a static library; make sure the module keeps them.
static void initResources() {
    Q_INIT_RESOURCE(gaugekit);
}

namespace gaugekit {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent) {
    initResources();
    setWindowTitle(QStringLiteral("About GAUGEKIT Control"));
    const QIcon icon(QStringLiteral(":/gaugekit/GaugeKit.svg"));
    setWindowIcon(icon);

    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("GAUGEKIT Control, Version 1.0"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(iconLabel);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

} // namespace gaugekit
