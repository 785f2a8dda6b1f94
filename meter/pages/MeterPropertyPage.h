// The scheme every property page of the meter follows: it finds the meter behind the objects
// it was given (the current meter as the fallback), reads its fields in exchange order with
// their checks, exchanges its whole value set with the meter in one call, runs its own steps
// before a store and after a load, offers the colour and font choosers, and switches between
// array entries inside the page without touching the meter.
#pragma once

#include "FieldBinding.h"
#include "PageDialog.h"
#include "PageValues.h"

#include <com/PropertyPageBase.h>

#include <QList>
#include <functional>

class QComboBox;
class QLabel;

namespace gaugekit {
class CGAUGEKITCtrl;
}

namespace gaugekit::pages {

class MeterPropertyPage : public com::PropertyPageBase, public RememberedPage {
public:
    PageKind kind() const { return m_kind; }
    // The meter the page edits now, or null when no meter lives.
    CGAUGEKITCtrl* findMeter() const;
    QWidget* control(int id) const { return PageDialog::control(dialog(), id); }
    // On except inside an in-page selection switch.
    bool transferOn() const { return m_transfer; }
    // The notice shown in place of the fields when there is no meter to edit (or null).
    QLabel* noMeterNotice() const { return m_notice; }

    // Store exchange: fields in exchange order with their checks, the page's pre-step, the
    // meter's exchange. False when a field was refused (its message shown, the focus on it).
    bool storeExchange();
    // Load exchange: the meter's values into the page, the post-step, the fields shown.
    void loadExchange();

    // RememberedPage
    bool dialogOpen() const override;
    void refreshFromMeter() override;

protected:
    MeterPropertyPage(PageKind kind, const DialogTemplate& dialogTemplate,
                      com::ServerModule* module);
    ~MeterPropertyPage() override;

    // The page's bound fields, in exchange order, over its page values.
    virtual QList<FieldBinding> bindings() = 0;
    // The meter's exchange operation for this page.
    virtual void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) = 0;
    virtual void preStore();
    // After the meter's exchange of a store (the exchange may have brought values into range).
    virtual void postStore();
    virtual void postLoad();
    // Connects the page's buttons and lists (after the dialog has been built); none by default.
    virtual void connectControls() {}

    // com::PropertyPageBase
    void buildDialog(QWidget* dialog) override;
    void onDialogCreated() override;
    bool applyChanges() override;

    // In-page selection switch: fields into the page values (the meter is not touched), the
    // page's own step, then the post-step and the fields shown again.
    void selectionSwitch(const std::function<void()>& pageStep);

    // A click on button `id` runs `action`.
    void onButton(int id, const std::function<void()>& action);
    // An entry confirmed in combo box `id` (picked, or accepted with Enter) runs `action`.
    void onConfirmed(int id, const std::function<void(int index)>& action);
    QComboBox* combo(int id) const;
    // Selects entry `index`, or nothing when the box has no such entry.
    void selectEntry(int id, std::int32_t index);

    // The colour chooser on `value`; Cancel leaves it.
    void chooseColor(std::int32_t& value);
    // The font chooser on a face, size in points, style bits and colour; Cancel leaves them.
    void chooseFont(QString& face, std::int32_t& size, std::int32_t& style, std::int32_t& color);

private:
    void connectChanges();
    void showNoMeter();
    void remember(CGAUGEKITCtrl& meter);

    PageKind m_kind;
    const DialogTemplate& m_template;
    bool m_transfer = true;
    QLabel* m_notice = nullptr;
};

} // namespace gaugekit::pages
