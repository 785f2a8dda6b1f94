// "Edit Meter Properties..." on a meter of a form in Designer's own form editor (its
// components, without Designer's windows): what the property pages change reaches the form as
// one step that saves with the form and that undo takes back.
#include "FormPropertyEdit.h"
#include "PropertySnapshot.h"

#include <GaugeKit/MeterWidget.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesignerComponents>
#include <QDesignerFormEditorInterface>
#include <QDesignerFormWindowInterface>
#include <QDesignerFormWindowManagerInterface>
#include <QDesignerIntegration>
#include <QDesignerTaskMenuExtension>
#include <QDialog>
#include <QExtensionManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <TestFiles.h>

namespace {

const char* const kForm = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>240</width><height>240</height></rect></property>
  <widget class="GaugeKit::MeterWidget" name="meter">
   <property name="geometry"><rect><x>0</x><y>0</y><width>200</width><height>200</height></rect></property>
  </widget>
 </widget>
 <customwidgets>
  <customwidget>
   <class>GaugeKit::MeterWidget</class>
   <extends>QWidget</extends>
   <header>GaugeKit/MeterWidget.h</header>
  </customwidget>
 </customwidgets>
</ui>
)";

} // namespace

class TestMeterTaskMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void pagesEditIsSavedAndUndone();
    void editHandsOverTrueOldValues();
    void unchangedEditAddsNoStep();
    void enumeratedEditSavesEnumerations();
    void formWithNumbersOpens();

private:
    GaugeKit::MeterWidget* meter() const;
    // Shows the property pages through the task menu; `edit` plays the pages' part.
    void editThroughPages(const std::function<void(GaugeKit::MeterWidget&)>& edit);

    QTemporaryDir m_settings;
    QDesignerFormEditorInterface* m_core = nullptr;
    QDesignerFormWindowInterface* m_form = nullptr;
};

void TestMeterTaskMenu::initTestCase() {
    // Designer keeps its settings, plugin folders among them, in the user's configuration.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    // Only the plugin built here, not whatever Designer plugins the host has.
    QCoreApplication::setLibraryPaths({testsupport::built(QString())});
    QDesignerComponents::initializeResources();
    m_core = QDesignerComponents::createFormEditor(nullptr);
    new QDesignerIntegration(m_core, m_core);
    QDesignerComponents::initializePlugins(m_core);
}

void TestMeterTaskMenu::cleanupTestCase() {
    delete m_core;
}

void TestMeterTaskMenu::init() {
    m_form = m_core->formWindowManager()->createFormWindow(nullptr);
    QVERIFY(m_form->setContents(QString::fromUtf8(kForm)));
    QVERIFY(meter());
}

void TestMeterTaskMenu::cleanup() {
    delete m_form;
    m_form = nullptr;
}

GaugeKit::MeterWidget* TestMeterTaskMenu::meter() const {
    return m_form->mainContainer()->findChild<GaugeKit::MeterWidget*>(QStringLiteral("meter"));
}

void TestMeterTaskMenu::editThroughPages(const std::function<void(GaugeKit::MeterWidget&)>& edit) {
    auto* menu = qt_extension<QDesignerTaskMenuExtension*>(m_core->extensionManager(), meter());
    QVERIFY(menu);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* frame = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!frame)
            return;
        shown = true;
        edit(*meter());
        frame->accept();
    });
    menu->preferredEditAction()->trigger();
    QVERIFY(shown);
}

void TestMeterTaskMenu::pagesEditIsSavedAndUndone() {
    GaugeKit::MeterWidget& m = *meter();
    const int steps = m_form->commandHistory()->count();
    editThroughPages([](GaugeKit::MeterWidget& w) {
        w.setScaleMax(55.0);
        w.setTitleColor({QColor(0x12, 0x34, 0x56)});
        w.setChannelColor({QColor(Qt::red)});
    });
    QCOMPARE(m.scaleMax(), 55.0);
    QCOMPARE(m_form->commandHistory()->count(), steps + 1);
    const QString saved = m_form->contents();
    QVERIFY2(saved.contains(QLatin1String("<double>55.000000000000000</double>")),
             qPrintable(saved));
    QVERIFY(saved.contains(QLatin1String("<string>#123456</string>")));
    QVERIFY(saved.contains(QLatin1String("<string>#ff0000</string>")));

    // Undo gives the meter back the values from before the pages, and the form no longer
    // saves the edit; redo brings it back.
    m_form->commandHistory()->undo();
    QCOMPARE(m.scaleMax(), 10.0);
    QCOMPARE(m.titleColor().value(0), QColor(Qt::black));
    const QString undone = m_form->contents();
    QVERIFY(!undone.contains(QLatin1String("scaleMax")));
    QVERIFY(!undone.contains(QLatin1String("#123456")));
    m_form->commandHistory()->redo();
    QCOMPARE(m.scaleMax(), 55.0);
    QCOMPARE(m.titleColor().value(0), QColor(0x12, 0x34, 0x56));
}

void TestMeterTaskMenu::editHandsOverTrueOldValues() {
    // The helper alone: the widget already holds the new values, as after the pages.
    GaugeKit::MeterWidget& m = *meter();
    const PropertySnapshot before(m);
    m.setTitleFontSize({18});
    m.setUnitsString(QStringLiteral("kPa"));
    const PropertySnapshot after(m);
    QCOMPARE(commitPropertyEdit(*m_form, m, before, after, QStringLiteral("edit")),
             (QStringList{"unitsString", "titleFontSize"}));
    QCOMPARE(m.titleFontSize().value(0), 18);
    m_form->commandHistory()->undo();
    QCOMPARE(m.titleFontSize().value(0), 8);
    QCOMPARE(m.unitsString(), before.value(QStringLiteral("unitsString")).toString());
}

void TestMeterTaskMenu::unchangedEditAddsNoStep() {
    const int steps = m_form->commandHistory()->count();
    editThroughPages([](GaugeKit::MeterWidget&) {});
    QCOMPARE(m_form->commandHistory()->count(), steps);
}

// The form stores what the pages chose as the names Designer's lists show, and gives them back.
void TestMeterTaskMenu::enumeratedEditSavesEnumerations() {
    using M = GaugeKit::MeterWidget;
    M& m = *meter();
    editThroughPages([](M& w) {
        w.setType(M::PieMeter);
        w.setBorderStyle(M::CircleBorder);
    });
    const QString saved = m_form->contents();
    QVERIFY2(saved.contains(QLatin1String("<enum>GaugeKit::MeterWidget::PieMeter</enum>")),
             qPrintable(saved));
    QVERIFY(saved.contains(QLatin1String("<enum>GaugeKit::MeterWidget::CircleBorder</enum>")));
    m_form->commandHistory()->undo();
    QCOMPARE(m.type(), M::NeedleMeter);
    QCOMPARE(m.borderStyle(), M::NoBorder);

    QVERIFY(m_form->setContents(saved));
    QCOMPARE(meter()->type(), M::PieMeter);
    QCOMPARE(meter()->borderStyle(), M::CircleBorder);
}

// A form saved when the type was a number opens with that type, and is saved with its name.
void TestMeterTaskMenu::formWithNumbersOpens() {
    QString form = QString::fromUtf8(kForm);
    form.replace(QLatin1String("</rect></property>\n  </widget>"),
                 QLatin1String("</rect></property>\n   <property name=\"type\"><number>1</number>"
                               "</property>\n  </widget>"));
    QVERIFY(form.contains(QLatin1String("<number>1</number>")));
    QVERIFY(m_form->setContents(form));
    QCOMPARE(meter()->type(), GaugeKit::MeterWidget::ArcMeter);
    const QString saved = m_form->contents();
    QVERIFY2(saved.contains(QLatin1String("<enum>GaugeKit::MeterWidget::ArcMeter</enum>")),
             qPrintable(saved));
}

QTEST_MAIN(TestMeterTaskMenu)
#include "tst_metertaskmenu.moc"
