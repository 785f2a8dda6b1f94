#include "MeterPropertyPage.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitModule.h"
#include "PageCatalog.h"
#include "UpDownControl.h"

#include <forms/CommonDialog.h>
#include <forms/MessageBox.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gaugekit::pages {

namespace {

constexpr int kBold = 1;
constexpr int kItalic = 2;
constexpr int kUnderline = 4;
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
constexpr int kLargestPoints = 1638;

} // namespace

MeterPropertyPage::MeterPropertyPage(PageKind kind, const DialogTemplate& dialogTemplate,
                                     com::ServerModule* module)
    : PropertyPageBase(PageCatalog::pageInfo(kind, dialogTemplate.units), module)
    , m_kind(kind)
    , m_template(dialogTemplate) {}

MeterPropertyPage::~MeterPropertyPage() {
    for (CGAUGEKITCtrl* meter : GaugeKitModule::instance().liveControls())
        meter->forgetPage(this);
}

CGAUGEKITCtrl* MeterPropertyPage::findMeter() const {
    GaugeKitModule& module = GaugeKitModule::instance();
    if (!objects().isEmpty()) {
        const com::ComPtr<com::IUnknown> first(objects().first());
        const auto dispatch = first.query<com::IDispatch>(com::IID_IDispatch);
        // Only a meter of this module answers with its own dispatch interface; a container's
        // wrapper of the control does not, and the current meter stands in for it.
        for (CGAUGEKITCtrl* meter : module.liveControls()) {
            if (dispatch && static_cast<com::IDispatch*>(meter) == dispatch.get())
                return meter;
        }
    }
    return module.current();
}

void MeterPropertyPage::remember(CGAUGEKITCtrl& meter) {
    meter.rememberPage(m_kind, this);
}

bool MeterPropertyPage::dialogOpen() const {
    return dialog() != nullptr;
}

void MeterPropertyPage::refreshFromMeter() {
    loadExchange();
}

void MeterPropertyPage::preStore() {}

void MeterPropertyPage::postStore() {}

void MeterPropertyPage::postLoad() {}

void MeterPropertyPage::buildDialog(QWidget* dialog) {
    PageDialog::build(dialog, m_template);
    connectChanges();
    connectControls();
}

void MeterPropertyPage::onDialogCreated() {
    loadExchange();
}

bool MeterPropertyPage::applyChanges() {
    return storeExchange();
}

void MeterPropertyPage::connectChanges() {
    const auto changed = [this] { setModified(); };
    for (QWidget* w : dialog()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            QObject::connect(edit, &QLineEdit::textEdited, dialog(), changed);
        else if (auto* box = qobject_cast<QCheckBox*>(w))
            QObject::connect(box, &QCheckBox::clicked, dialog(), changed);
        else if (auto* button = qobject_cast<QPushButton*>(w))
            QObject::connect(button, &QPushButton::clicked, dialog(), changed);
        else if (auto* list = qobject_cast<QComboBox*>(w)) {
            QObject::connect(list, &QComboBox::activated, dialog(), changed);
            QObject::connect(list->lineEdit(), &QLineEdit::textEdited, dialog(), changed);
        } else if (auto* upDown = qobject_cast<UpDownControl*>(w))
            QObject::connect(upDown, &UpDownControl::stepping, dialog(), changed);
    }
}

bool MeterPropertyPage::storeExchange() {
    if (!dialog())
        return true;
    for (const FieldBinding& b : bindings()) {
        QWidget* field = control(b.id);
        QString message;
        if (!b.read(field, &message)) {
            forms::MessageBox::show(message, forms::MsgButtons::Ok, forms::MsgIcon::Exclamation, {},
                                    dialog());
            if (field) {
                field->setFocus(Qt::OtherFocusReason);
                if (auto* edit = qobject_cast<QLineEdit*>(field))
                    edit->selectAll();
            }
            return false;
        }
    }
    if (!m_transfer)
        return true;
    CGAUGEKITCtrl* meter = findMeter();
    if (!meter)
        return true;
    preStore();
    exchange(*meter, ExchangeDirection::Store);
    postStore();
    remember(*meter);
    return true;
}

void MeterPropertyPage::loadExchange() {
    if (m_transfer) {
        CGAUGEKITCtrl* meter = findMeter();
        if (!meter) {
            showNoMeter();
            return;
        }
        exchange(*meter, ExchangeDirection::Load);
        remember(*meter);
    }
    postLoad();
    for (const FieldBinding& b : bindings())
        b.show(control(b.id));
}

void MeterPropertyPage::showNoMeter() {
    if (!dialog() || m_notice)
        return;
    for (QWidget* w : dialog()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        w->setEnabled(false);
    m_notice = new QLabel(QStringLiteral("No meter is available to edit."), dialog());
    m_notice->setObjectName(QStringLiteral("noMeter"));
    m_notice->setGeometry(0, dialog()->height() - 20, dialog()->width(), 20);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->show();
}

void MeterPropertyPage::selectionSwitch(const std::function<void()>& pageStep) {
    m_transfer = false;
    storeExchange(); // a refused field is told, and the switch goes on
    pageStep();
    loadExchange();
    m_transfer = true;
}

void MeterPropertyPage::onButton(int id, const std::function<void()>& action) {
    if (auto* button = qobject_cast<QPushButton*>(control(id)))
        QObject::connect(button, &QPushButton::clicked, dialog(), action);
}

void MeterPropertyPage::onConfirmed(int id, const std::function<void(int)>& action) {
    if (QComboBox* list = combo(id))
        QObject::connect(list, &QComboBox::activated, dialog(), action);
}

QComboBox* MeterPropertyPage::combo(int id) const {
    return qobject_cast<QComboBox*>(control(id));
}

void MeterPropertyPage::selectEntry(int id, std::int32_t index) {
    QComboBox* list = combo(id);
    if (!list)
        return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? int(index) : -1);
    if (list->currentIndex() < 0)
        list->setEditText(QString());
    list->lineEdit()->setCursorPosition(0); // the start of a long entry shows
}

void MeterPropertyPage::chooseColor(std::int32_t& value) {
    if (const auto chosen = forms::CommonDialog::chooseColor(quint32(value), dialog()))
        value = std::int32_t(*chosen & 0xFFFFFFu);
}

void MeterPropertyPage::chooseFont(QString& face, std::int32_t& size, std::int32_t& style,
                                   std::int32_t& color) {
    forms::FontEffectsChoice initial;
    initial.name = face;
    // A size read from a settings file may be anything; the chooser gets one it can hold.
    initial.sizeTenths = qBound(0, size, kLargestPoints) * 10;
    initial.weight = (style & kBold) ? kBoldWeight : kNormalWeight;
    initial.italic = (style & kItalic) != 0;
    initial.underline = (style & kUnderline) != 0;
    initial.color = quint32(color);
    const auto chosen = forms::CommonDialog::chooseFontEffects(initial, dialog());
    if (!chosen)
        return;
    face = chosen->name;
    color = std::int32_t(chosen->color & 0xFFFFFFu);
    size = chosen->sizeTenths / 10;
    style = (chosen->weight == kBoldWeight ? kBold : 0) | (chosen->italic ? kItalic : 0) |
            (chosen->underline ? kUnderline : 0);
}

} // namespace gaugekit::pages
