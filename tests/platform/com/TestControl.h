#pragma once

#include "com/ControlImpl.h"
#include "com/ServerModule.h"

#include <QList>
#include <QRect>

// A small control for exercising the framework: a few typed properties, an indexed one, two
// methods and one event, persisted through doPropExchange.
class TestControl : public com::ControlImpl<TestControl> {
public:
    static const com::Clsid clsid;
    static const com::Iid dispatchIid;
    static const com::Iid eventIid;
    static constexpr com::DispId kFiredEvent = 1;

    explicit TestControl(com::ServerModule* module = nullptr);
    static const com::DispatchTable<TestControl>& dispatchTable();
    static com::ControlIdentity makeIdentity(com::ServerModule* module);

    std::int32_t number() const { return m_number; }
    void setNumber(std::int32_t v) { m_number = v; }
    double ratio() const { return m_ratio; }
    void setRatio(double v) { m_ratio = v; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool v) { m_enabled = v; }
    QString caption() const { return m_caption; }
    void setCaption(const QString& v) { m_caption = v; }
    com::HRESULT item(std::int32_t index, std::int32_t* out) const;
    com::HRESULT setItem(std::int32_t index, std::int32_t value);
    double extra() const { return m_extra; }

    int drawCount = 0;
    QRect lastBounds;
    QRect lastInvalid;
    int clicks = 0;

protected:
    void doPropExchange(com::PropExchange& px) override;
    void onDraw(QPainter& dc, const QRect& bounds, const QRect& invalid) override;
    void onClick() override;

private:
    std::int32_t m_number = 0;
    double m_ratio = 0;
    bool m_enabled = false;
    QString m_caption;
    QList<std::int32_t> m_items{1, 2, 3};
    double m_extra = 0;
};
