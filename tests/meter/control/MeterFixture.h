// Shared helpers of the meter tests: a control made directly (not through the registry) with
// late-bound calls on it, and one hosted in a site as a container shows it.
#pragma once

#include "CGAUGEKITCtrl.h"

#include <com/ControlSite.h>
#include <com/Variant.h>
#include <lum/LumBase.h>
#include <lum/LumDiagnostics.h>

#include <QBuffer>
#include <QByteArray>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace fixture {

// Paints the widget showing the meter and lets the drawing library run its first paints.
inline void paintSettled(QWidget& shown, gaugekit::CGAUGEKITCtrl& meter) {
    for (int i = 0; i < 3; ++i) {
        shown.grab();
        const lum::PageHandle page = meter.pageSite().page();
        if (lum::LbIsValidPage(page))
            lum::diag::grabPage(page);
    }
}

// Owns one reference on a new meter.
class Meter {
public:
    Meter()
        : m_ctrl(com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl)) {
        QVERIFY(com::succeeded(m_ctrl->InitNew()));
    }
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    gaugekit::CGAUGEKITCtrl* operator->() const { return m_ctrl.get(); }
    gaugekit::CGAUGEKITCtrl& operator*() const { return *m_ctrl; }

    com::HRESULT put(com::DispId id, const com::Variant& v) {
        return m_ctrl->Invoke(id, com::DISPATCH_PROPERTYPUT, {v}, nullptr);
    }
    com::HRESULT putAt(com::DispId id, std::int32_t index, const com::Variant& v) {
        return m_ctrl->Invoke(id, com::DISPATCH_PROPERTYPUT, {com::Variant(index), v}, nullptr);
    }
    com::Variant get(com::DispId id, com::HRESULT* hr = nullptr) {
        com::Variant r;
        const com::HRESULT h = m_ctrl->Invoke(id, com::DISPATCH_PROPERTYGET, {}, &r);
        if (hr)
            *hr = h;
        return r;
    }
    com::Variant getAt(com::DispId id, std::int32_t index, com::HRESULT* hr = nullptr) {
        com::Variant r;
        const com::HRESULT h =
            m_ctrl->Invoke(id, com::DISPATCH_PROPERTYGET, {com::Variant(index)}, &r);
        if (hr)
            *hr = h;
        return r;
    }
    com::HRESULT call(com::DispId id, const com::VariantList& args = {},
                      com::Variant* result = nullptr) {
        return m_ctrl->Invoke(id, com::DISPATCH_METHOD, args, result);
    }

    QByteArray saveStream() {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        // No bytes at all tell the caller's comparison that the save failed.
        if (com::failed(m_ctrl->Save(&buffer, false)))
            return {};
        return buffer.data();
    }
    com::HRESULT loadStream(const QByteArray& bytes) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return m_ctrl->Load(&buffer);
    }

private:
    com::ComPtr<gaugekit::CGAUGEKITCtrl> m_ctrl;
};

// A meter hosted in a site, as a container shows it.
class Hosted {
public:
    explicit Hosted(QSize size = QSize(200, 200)) {
        // The site keeps the meter alive; `meter` borrows it from there.
        const auto ctrl = com::ComPtr<gaugekit::CGAUGEKITCtrl>::adopt(new gaugekit::CGAUGEKITCtrl);
        QCOMPARE_EQ(site.attach(ctrl->unknown()), com::S_OK);
        meter = ctrl.get();
        QVERIFY(com::succeeded(site.initNew()));
        site.resize(size);
        QVERIFY(com::succeeded(site.activate()));
        events = std::make_unique<QSignalSpy>(&site, &com::ControlSite::controlEvent);
    }
    // Paints the site and lets the drawing library run its first paints.
    void paint() { paintSettled(site, *meter); }
    int eventCount(int dispid) const {
        int n = 0;
        for (const auto& e : *events)
            n += e.at(0).toInt() == dispid;
        return n;
    }
    quint64 page() const { return meter->pageSite().page().raw(); }

    com::ControlSite site;
    gaugekit::CGAUGEKITCtrl* meter = nullptr;
    std::unique_ptr<QSignalSpy> events;
};

} // namespace fixture
