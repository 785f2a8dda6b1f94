// Shared helpers of the page tests: a property frame over meters made in this process, with
// its pages made directly; typing into fields, confirming list entries, answering the choosers.
#pragma once

#include "MeterFixture.h"
#include "MeterPropertyPage.h"

#include "Choosers.h"

#include <com/PropertyFrame.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>

namespace pagefixture {

enum Page { General, Look, Scale, Alarm, Timer };

// The frame over `objects` (default: the one meter), shown offscreen.
class Frame {
public:
    explicit Frame(const QList<com::IUnknown*>& objects);
    ~Frame();

    com::PropertyFrame& operator*() const { return *m_frame; }
    com::PropertyFrame* operator->() const { return m_frame.get(); }

    // Brings `page` to the front (its dialog created) and returns it.
    gaugekit::pages::MeterPropertyPage* open(Page page);
    QWidget* field(Page page, int id);
    QLineEdit* edit(Page page, int id);
    QComboBox* combo(Page page, int id);
    // Replaces a field's text as the user types it.
    void type(Page page, int id, const QString& text);
    // Picks entry `index` of a list as the user confirms it.
    void pick(Page page, int id, int index);
    void click(Page page, int id);
    void apply();

private:
    std::unique_ptr<com::PropertyFrame> m_frame;
};

// The shared chooser answers, under the name the page tests use.
using Choosers = testsupport::Choosers;

} // namespace pagefixture
