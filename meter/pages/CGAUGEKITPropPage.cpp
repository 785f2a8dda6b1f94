#include "CGAUGEKITPropPage.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"

#include <forms/MessageBox.h>

namespace gaugekit::pages {

namespace {

using K = ControlKind;

DialogTemplate makeTemplate() {
    using P = CGAUGEKITPropPage;
    // The meter border style list is wider than designed (52 units from 166), so that
    // "Rounded Rectangle" shows whole; it takes the room up to the frame on both sides.
    const QRect winBackground(55, 15, 25, 14), winStyle(55, 33, 40, 48), winWidth(55, 48, 20, 14),
        winColor(55, 66, 25, 14), meterBackground(166, 15, 25, 14), meterStyle(158, 33, 82, 53),
        meterThickness(166, 48, 20, 14), meterColor(166, 66, 25, 14), sizeW(165, 84, 21, 14),
        sizeH(200, 84, 21, 14), selection(48, 114, 63, 61), title(48, 129, 63, 14);
    DialogTemplate t;
    t.units = QSize(251, 150);
    t.controls = {
        {P::IDC_WINDOW_BACKGROUND, K::Button, "Color", winBackground, {}},
        {P::IDC_WINDOW_BORDER_STYLE, K::ComboBox, {}, winStyle, {"Flat", "High", "Deep", "None"}},
        {P::IDC_WINDOW_BORDER_WIDTH, K::Edit, {}, winWidth, {}},
        {P::IDC_WINDOW_BORDER_COLOR, K::Button, "Color", winColor, {}},
        {P::IDC_METER_BACKGROUND, K::Button, "Color", meterBackground, {}},
        {P::IDC_METER_BORDER_STYLE,
         K::ComboBox,
         {},
         meterStyle,
         {"None", "Rectangle", "Circle", "Rounded Rectangle", ""}},
        {P::IDC_METER_BORDER_THICKNESS, K::Edit, {}, meterThickness, {}},
        {P::IDC_METER_BORDER_COLOR, K::Button, "Color", meterColor, {}},
        {P::IDC_BORDER_WIDTH, K::Edit, {}, sizeW, {}},
        {P::IDC_BORDER_HEIGHT, K::Edit, {}, sizeH, {}},
        {P::IDC_TITLE_SELECTION, K::ComboBox, {}, selection, {"Main Header", "Sub Head", "Footer"}},
        {P::IDC_TITLE_TEXT, K::Edit, {}, title, {}},
        {P::IDC_TITLE_FONT, K::Button, "Font", QRect(126, 111, 27, 14), {}},
        {P::IDC_TITLE_COLOR, K::Button, "Color", QRect(126, 129, 25, 14), {}},
        {P::IDC_LOAD, K::Button, "Load", QRect(186, 120, 23, 14), {}},
        {P::IDC_SAVE, K::Button, "Save", QRect(216, 120, 22, 14), {}},
    };
    t.statics = {
        group("Window Border/Background", QRect(3, 3, 102, 99)),
        labelBefore("Background", 9, winBackground),
        labelBefore("Border Style", 9, winStyle),
        labelBefore("Border Width", 9, winWidth),
        labelBefore("Border Color", 9, winColor),
        group("Meter Border/Background", QRect(108, 3, 138, 99)),
        labelBefore("Background", 114, meterBackground),
        labelBefore("Border Style", 114, meterStyle),
        labelBefore("Line Thickness", 114, meterThickness),
        labelBefore("Border Color", 114, meterColor),
        label("Border Size", QRect(114, 87, 38, 8)),
        labelBefore("W:", 154, sizeW),
        labelBefore("H:", 189, sizeH),
        group("Window Titles", QRect(3, 102, 159, 45)),
        labelBefore("Selection", 9, selection),
        labelBefore("Title", 9, title),
        group("Serialize", QRect(165, 102, 81, 45)),
    };
    return t;
}

} // namespace

CGAUGEKITPropPage::CGAUGEKITPropPage(com::ServerModule* module)
    : MeterPropertyPage(PageKind::General, dialogTemplate(), module) {}

const DialogTemplate& CGAUGEKITPropPage::dialogTemplate() {
    static const DialogTemplate t = makeTemplate();
    return t;
}

forms::FileRequest CGAUGEKITPropPage::fileRequest(bool save) {
    forms::FileRequest r;
    r.save = save;
    r.filter = QStringLiteral("Serialization Files|*.SER||");
    r.defaultExtension = QStringLiteral("SER");
    r.fileName = QStringLiteral("Meter");
    r.overwritePrompt = true;
    r.mustExist = true;
    return r;
}

QList<FieldBinding> CGAUGEKITPropPage::bindings() {
    return {
        FieldBinding::of(IDC_WINDOW_BORDER_WIDTH, m_values, dispid::WindowBorderThickness,
                         QStringLiteral("Window border width")),
        FieldBinding::text(IDC_TITLE_TEXT, &m_titleText, QStringLiteral("Title")),
        FieldBinding::of(IDC_METER_BORDER_THICKNESS, m_values, dispid::MeterBorderThickness,
                         QStringLiteral("Meter border line thickness")),
        FieldBinding::of(IDC_BORDER_HEIGHT, m_values, dispid::MeterBorderHeight,
                         QStringLiteral("Border size height")),
        FieldBinding::of(IDC_BORDER_WIDTH, m_values, dispid::MeterBorderWidth,
                         QStringLiteral("Border size width")),
    };
}

void CGAUGEKITPropPage::exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) {
    meter.ExchangeGeneralPage(m_values, direction);
}

template <class List>
auto* CGAUGEKITPropPage::selectedEntry(List& list) {
    return m_selected >= 0 && m_selected < list.size() ? &list[m_selected] : nullptr;
}

void CGAUGEKITPropPage::preStore() {
    if (QString* entry = selectedEntry(m_values.titleString))
        *entry = m_titleText;
}

void CGAUGEKITPropPage::postLoad() {
    selectEntry(IDC_WINDOW_BORDER_STYLE, m_values.integer(dispid::WindowBorderStyle));
    selectEntry(IDC_METER_BORDER_STYLE, m_values.integer(dispid::MeterBorderStyle));
    selectEntry(IDC_TITLE_SELECTION, m_selected);
    const QString* entry = selectedEntry(m_values.titleString);
    m_titleText = entry ? *entry : QString();
}

void CGAUGEKITPropPage::connectControls() {
    onButton(IDC_WINDOW_BACKGROUND,
             [this] { chooseColor(m_values.integer(dispid::WindowBackgroundColor)); });
    onButton(IDC_WINDOW_BORDER_COLOR,
             [this] { chooseColor(m_values.integer(dispid::WindowBorderColor)); });
    onButton(IDC_METER_BACKGROUND,
             [this] { chooseColor(m_values.integer(dispid::PlotBackgroundColor)); });
    onButton(IDC_METER_BORDER_COLOR,
             [this] { chooseColor(m_values.integer(dispid::MeterBorderColor)); });
    onButton(IDC_TITLE_COLOR, [this] {
        if (std::int32_t* color = selectedEntry(m_values.titleColor))
            chooseColor(*color);
    });
    onButton(IDC_TITLE_FONT, [this] {
        QString* face = selectedEntry(m_values.titleFont);
        std::int32_t* size = selectedEntry(m_values.titleFontSize);
        std::int32_t* style = selectedEntry(m_values.titleFontStyle);
        std::int32_t* color = selectedEntry(m_values.titleColor);
        if (face && size && style && color)
            chooseFont(*face, *size, *style, *color);
    });
    onConfirmed(IDC_WINDOW_BORDER_STYLE,
                [this](int i) { m_values.integer(dispid::WindowBorderStyle) = i; });
    onConfirmed(IDC_METER_BORDER_STYLE,
                [this](int i) { m_values.integer(dispid::MeterBorderStyle) = i; });
    onConfirmed(IDC_TITLE_SELECTION, [this](int i) { selectTitle(i); });
    onButton(IDC_LOAD, [this] { loadFile(); });
    onButton(IDC_SAVE, [this] { saveFile(); });
}

void CGAUGEKITPropPage::selectTitle(int index) {
    selectionSwitch([this, index] {
        if (QString* entry = selectedEntry(m_values.titleString))
            *entry = m_titleText;
        m_selected = index;
    });
}

void CGAUGEKITPropPage::loadFile() {
    const auto path = forms::CommonDialog::chooseFile(fileRequest(false), dialog());
    if (!path)
        return;
    CGAUGEKITCtrl* meter = findMeter();
    bool opened = false;
    const com::HRESULT hr = meter ? meter->serializeLoadFile(*path, &opened) : com::S_OK;
    // A load that stopped part way has changed the values read before the fault: the page
    // shows what the meter now holds before saying so.
    loadExchange();
    if (meter && !opened)
        tellFileFault(QStringLiteral("Cannot open the settings file %1.").arg(*path));
    else if (com::failed(hr))
        tellFileFault(
            QStringLiteral("The settings file %1 is damaged or incomplete (%2). The meter "
                           "keeps the settings read before the fault.")
                .arg(*path, com::hresultName(hr)));
}

void CGAUGEKITPropPage::saveFile() {
    const auto path = forms::CommonDialog::chooseFile(fileRequest(true), dialog());
    if (!path)
        return;
    // The file is written also when a field was refused: from the values the meter had.
    storeExchange();
    CGAUGEKITCtrl* meter = findMeter();
    if (!meter)
        return;
    bool written = false;
    const com::HRESULT hr = meter->serializeSaveFile(*path, &written);
    if (!written)
        tellFileFault(QStringLiteral("Cannot save the settings to %1 (%2).")
                          .arg(*path, com::failed(hr) ? com::hresultName(hr)
                                                      : QStringLiteral("cannot create the file")));
}

void CGAUGEKITPropPage::tellFileFault(const QString& text) {
    forms::MessageBox::show(text, forms::MsgButtons::Ok, forms::MsgIcon::Exclamation, {}, dialog());
}

} // namespace gaugekit::pages
