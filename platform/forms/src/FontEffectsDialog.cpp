#include "FontEffectsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QPixmap>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace forms {

namespace {

struct NamedColor {
    const char* name;
    quint32 colorRef;
};

// The standard colours of the system font chooser, in its order.
constexpr std::array<NamedColor, 16> kColors{{
    {"Black", 0x000000},
    {"Maroon", 0x000080},
    {"Green", 0x008000},
    {"Olive", 0x008080},
    {"Navy", 0x800000},
    {"Purple", 0x800080},
    {"Teal", 0x808000},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},
    {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},
}};

QIcon swatch(quint32 colorRef) {
    QPixmap pixmap(16, 10);
    pixmap.fill(CommonDialog::fromColorRef(colorRef));
    return QIcon(pixmap);
}

QFont fontOf(const FontEffectsChoice& c) {
    QFont font(c.name);
    font.setPointSizeF(qMax(1, c.sizeTenths) / 10.0);
    font.setWeight(QFont::Weight(qBound(1, c.weight, 1000)));
    font.setItalic(c.italic);
    font.setUnderline(c.underline);
    font.setStrikeOut(c.strikeout);
    return font;
}

bool isInstalled(const QString& face) {
    return QFontDatabase::families().contains(face, Qt::CaseInsensitive);
}

} // namespace

FontEffectsDialog::FontEffectsDialog(const FontEffectsChoice& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Font"));
    m_font = new QFontDialog(this);
    m_font->setWindowFlags(Qt::Widget);
    m_font->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QFont shown = fontOf(initial);
    // A face that is not installed (Arial on Linux) opens as the face that draws it, with
    // that face's styles; left as it is, it comes back under its own name.
    if (!initial.name.isEmpty() && !isInstalled(initial.name)) {
        m_requestedFace = initial.name;
        m_shownFace = QFontInfo(shown).family();
        shown.setFamily(m_shownFace);
    }
    m_font->setCurrentFont(shown);
    m_colors = new QComboBox(this);
    m_colors->setObjectName(QStringLiteral("color"));
    fillColors(initial.color);

    auto* effects = new QFormLayout;
    effects->addRow(tr("&Color:"), m_colors);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_font);
    layout->addLayout(effects);
    layout->addWidget(buttons);
}

void FontEffectsDialog::fillColors(quint32 initial) {
    for (const NamedColor& c : kColors)
        m_colors->addItem(swatch(c.colorRef), tr(c.name), c.colorRef);
    int index = m_colors->findData(initial & 0xFFFFFFu);
    if (index < 0) {
        m_colors->addItem(swatch(initial), tr("Custom"), initial & 0xFFFFFFu);
        index = m_colors->count() - 1;
    }
    m_colors->setCurrentIndex(index);
}

FontEffectsChoice FontEffectsDialog::choice() const {
    const QFont font = m_font->currentFont();
    FontEffectsChoice c;
    c.name =
        !m_shownFace.isEmpty() && font.family() == m_shownFace ? m_requestedFace : font.family();
    c.sizeTenths = int(std::lround(font.pointSizeF() * 10.0));
    c.weight = int(font.weight());
    c.italic = font.italic();
    c.underline = font.underline();
    c.strikeout = font.strikeOut();
    c.color = m_colors->currentData().toUInt();
    return c;
}

} // namespace forms
