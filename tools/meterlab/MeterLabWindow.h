// meterlab's main window: the meters side by side (each created by class id through a control
// site, as any container creates them), the property grid of the current meter, a value box
// per channel, and the current meter's event log.
#pragma once

#include "PropertyGridModel.h"

#include <com/HResult.h>
#include <com/Variant.h>

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>

class QDoubleSpinBox;
class QHBoxLayout;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace com {
class ControlSite;
}

class MeterLabWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kChannels = 5;

    explicit MeterLabWindow(QWidget* parent = nullptr);
    ~MeterLabWindow() override;

    // A new meter with the designed defaults (empty `file`) or one loaded from a settings
    // file; it becomes the current meter. False (and the reason told) when it cannot be made.
    bool openMeter(const QString& file = {});

    int meterCount() const { return int(m_meters.size()); }
    int currentIndex() const { return m_current; }
    com::ControlSite* currentMeter() const;
    com::ControlSite* meter(int index) const;
    QString fileOf(int index) const;
    void setCurrentMeter(int index);

    const PropertyGridModel& grid() const { return m_grid; }
    QTreeWidget* gridView() const { return m_gridView; }
    QPlainTextEdit* eventLog() const { return m_log; }
    QDoubleSpinBox* valueBox(int channel) const { return m_values.value(channel); }
    // The menu command with object name `name` ("properties", "save", ...).
    QAction* command(const QString& name) const;

    void newMeter();
    void openFile();
    void save();
    void saveAs();
    void showProperties();
    void copyPicture();
    void savePicture();
    void about();
    // Writes `text` into the grid's value of `row` (entry `index`), as an edit in the grid.
    [[nodiscard]] com::HRESULT editProperty(int row, int index, const QString& text);
    void refreshGrid();

private:
    struct Meter {
        com::ControlSite* site = nullptr;
        QString file;
    };

    void buildMenus();
    QWidget* buildSidePanel();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& text,
                        const QKeySequence& key = {});
    [[nodiscard]] com::HRESULT createSite(com::ControlSite* site);
    // Loads the settings file `file` into the site; `reason` says why it could not be opened.
    [[nodiscard]] com::HRESULT loadSite(com::ControlSite* site, const QString& file,
                                        QString* reason);
    void onEvent(com::ControlSite* site, int dispid, const com::VariantList& args);
    void onGridEdited(QTreeWidgetItem* item, int column);
    void sendValue(int channel, double value);
    bool callBool(const QString& method, const com::VariantList& args);
    // Writes the current meter's settings to `file`; false (and told) when it cannot.
    bool saveTo(const QString& file);
    void tell(const QString& text);
    void updateTitle();

    QList<Meter> m_meters;
    int m_current = -1;
    QWidget* m_meterArea = nullptr;
    QHBoxLayout* m_meterLayout = nullptr;
    PropertyGridModel m_grid;
    QTreeWidget* m_gridView = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QList<QDoubleSpinBox*> m_values;
    bool m_filling = false;
    QElapsedTimer m_clock; // the log's times: milliseconds since the window was made
};
