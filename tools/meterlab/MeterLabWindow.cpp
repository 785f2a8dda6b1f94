#include "MeterLabWindow.h"

#include "EventLogText.h"
#include "GaugeKitIds.h"
#include "MeterPictureTypes.h"

#include <com/ControlSite.h>
#include <com/ObjectLoader.h>
#include <com/PropertyFrame.h>
#include <forms/CommonDialog.h>
#include <forms/MessageBox.h>

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>

namespace {

const QString kFilter = QStringLiteral("Serialization Files|*.SER");

QString modulePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("GAUGEKIT.so"));
}

forms::FileRequest settingsRequest(bool save, const QString& name) {
    forms::FileRequest r;
    r.save = save;
    r.filter = kFilter;
    r.defaultExtension = QStringLiteral("SER");
    r.fileName = name.isEmpty() ? QStringLiteral("Meter") : name;
    return r;
}

} // namespace

MeterLabWindow::MeterLabWindow(QWidget* parent)
    : QMainWindow(parent) {
    m_clock.start();
    auto* scroll = new QScrollArea;
    m_meterArea = new QWidget;
    m_meterLayout = new QHBoxLayout(m_meterArea);
    m_meterLayout->addStretch();
    scroll->setWidget(m_meterArea);
    scroll->setWidgetResizable(true);
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(scroll);
    splitter->addWidget(buildSidePanel());
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({560, 520});
    setCentralWidget(splitter);
    buildMenus();
    statusBar();
    resize(1100, 640);
    updateTitle();
}

MeterLabWindow::~MeterLabWindow() {
    // Controls go before the panes that show their events.
    for (const Meter& m : std::as_const(m_meters))
        delete m.site;
}

QWidget* MeterLabWindow::buildSidePanel() {
    m_gridView = new QTreeWidget;
    m_gridView->setObjectName(QStringLiteral("propertyGrid"));
    m_gridView->setHeaderLabels({tr("Property"), tr("Type"), tr("Value")});
    m_gridView->setColumnWidth(0, 200);
    m_gridView->setColumnWidth(1, 50);
    connect(m_gridView, &QTreeWidget::itemChanged, this, &MeterLabWindow::onGridEdited);

    auto* values = new QGroupBox(tr("Values"));
    auto* form = new QFormLayout(values);
    for (int c = 0; c < kChannels; ++c) {
        auto* box = new QDoubleSpinBox;
        box->setObjectName(QStringLiteral("value%1").arg(c));
        box->setRange(-1e9, 1e9);
        box->setDecimals(2);
        box->setKeyboardTracking(false);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, c](double v) { sendValue(c, v); });
        form->addRow(tr("Channel %1").arg(c), box);
        m_values.append(box);
    }

    m_log = new QPlainTextEdit;
    m_log->setObjectName(QStringLiteral("eventLog"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(2000);

    auto* side = new QSplitter(Qt::Vertical);
    side->addWidget(m_gridView);
    side->addWidget(values);
    side->addWidget(m_log);
    side->setStretchFactor(0, 3);
    side->setStretchFactor(2, 1);
    return side;
}

QAction* MeterLabWindow::addCommand(QMenu* menu, const QString& name, const QString& text,
                                    const QKeySequence& key) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

void MeterLabWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    connect(addCommand(file, QStringLiteral("new"), tr("&New Meter")), &QAction::triggered, this,
            &MeterLabWindow::newMeter);
    connect(addCommand(file, QStringLiteral("open"), tr("&Open...")), &QAction::triggered, this,
            &MeterLabWindow::openFile);
    connect(
        addCommand(file, QStringLiteral("save"), tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
        &QAction::triggered, this, &MeterLabWindow::save);
    connect(addCommand(file, QStringLiteral("saveAs"), tr("Save &As...")), &QAction::triggered,
            this, &MeterLabWindow::saveAs);
    file->addSeparator();
    connect(addCommand(file, QStringLiteral("exit"), tr("E&xit")), &QAction::triggered, this,
            &QWidget::close);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    connect(addCommand(edit, QStringLiteral("properties"), tr("&Properties..."),
                       QKeySequence(Qt::Key_F4)),
            &QAction::triggered, this, &MeterLabWindow::showProperties);
    connect(addCommand(edit, QStringLiteral("copyPicture"), tr("&Copy Picture")),
            &QAction::triggered, this, &MeterLabWindow::copyPicture);
    connect(addCommand(edit, QStringLiteral("savePicture"), tr("Save &Picture...")),
            &QAction::triggered, this, &MeterLabWindow::savePicture);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    connect(addCommand(help, QStringLiteral("about"), tr("&About Meter")), &QAction::triggered,
            this, &MeterLabWindow::about);
}

QAction* MeterLabWindow::command(const QString& name) const {
    return findChild<QAction*>(name);
}

com::HRESULT MeterLabWindow::createSite(com::ControlSite* site) {
    const com::Clsid clsid =
        com::Guid::fromString(QString::fromLatin1(gaugekit::kIds.clsidControl));
    com::HRESULT hr = site->create(clsid);
    if (hr == com::REGDB_E_CLASSNOTREG && QFile::exists(modulePath())) {
        // First run against a fresh registry: register the module that lies beside us.
        hr = com::loader::registerModule(modulePath());
        if (com::succeeded(hr))
            hr = site->create(clsid);
    }
    return hr;
}

com::HRESULT MeterLabWindow::loadSite(com::ControlSite* site, const QString& file,
                                      QString* reason) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = in.errorString();
        return com::STG_E_FILENOTFOUND;
    }
    // Read as the control asks: its bounds on each field, not the file's size, limit what is
    // read, so a huge file (or a device without end) cannot exhaust memory.
    return site->loadStream(&in);
}

bool MeterLabWindow::openMeter(const QString& file) {
    auto* site = new com::ControlSite(m_meterArea);
    QString reason;
    com::HRESULT hr = createSite(site);
    if (com::succeeded(hr))
        hr = file.isEmpty() ? site->initNew() : loadSite(site, file, &reason);
    if (com::succeeded(hr)) {
        site->setFixedSize(site->controlSize());
        hr = site->activate();
    }
    if (com::failed(hr)) {
        delete site;
        tell(tr("The meter could not be %1 (%2).")
                 .arg(file.isEmpty() ? tr("created") : tr("loaded from %1").arg(file),
                      reason.isEmpty() ? com::hresultName(hr) : reason));
        return false;
    }
    m_meterLayout->insertWidget(m_meterLayout->count() - 1, site);
    connect(site, &com::ControlSite::controlEvent, this,
            [this, site](int id, const com::VariantList& args) { onEvent(site, id, args); });
    m_meters.append({site, file});
    setCurrentMeter(meterCount() - 1);
    return true;
}

com::ControlSite* MeterLabWindow::meter(int index) const {
    return index >= 0 && index < m_meters.size() ? m_meters.at(index).site : nullptr;
}

com::ControlSite* MeterLabWindow::currentMeter() const {
    return meter(m_current);
}

QString MeterLabWindow::fileOf(int index) const {
    return index >= 0 && index < m_meters.size() ? m_meters.at(index).file : QString();
}

void MeterLabWindow::setCurrentMeter(int index) {
    if (!meter(index))
        return;
    m_current = index;
    refreshGrid();
    updateTitle();
}

void MeterLabWindow::refreshGrid() {
    m_filling = true;
    m_gridView->clear();
    if (com::ControlSite* site = currentMeter())
        m_grid.load(*site);
    const auto& rows = m_grid.rows();
    for (int r = 0; r < rows.size(); ++r) {
        auto* item = new QTreeWidgetItem(m_gridView, {rows[r].name, rows[r].type});
        item->setData(0, Qt::UserRole, r);
        item->setData(0, Qt::UserRole + 1, -1);
        if (!rows[r].indexed) {
            item->setText(2, rows[r].values.value(0));
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            continue;
        }
        item->setText(2, tr("(%1 entries)").arg(rows[r].values.size()));
        for (int i = 0; i < rows[r].values.size(); ++i) {
            auto* entry = new QTreeWidgetItem(
                item, {QStringLiteral("[%1]").arg(i), rows[r].type, rows[r].values[i]});
            entry->setData(0, Qt::UserRole, r);
            entry->setData(0, Qt::UserRole + 1, i);
            entry->setFlags(entry->flags() | Qt::ItemIsEditable);
        }
    }
    m_filling = false;
}

void MeterLabWindow::onGridEdited(QTreeWidgetItem* item, int column) {
    if (m_filling || column != 2)
        return;
    // A refused value is shown in the status bar by editProperty itself.
    std::ignore = editProperty(item->data(0, Qt::UserRole).toInt(),
                               item->data(0, Qt::UserRole + 1).toInt(), item->text(2));
}

com::HRESULT MeterLabWindow::editProperty(int row, int index, const QString& text) {
    com::ControlSite* site = currentMeter();
    if (!site)
        return com::E_UNEXPECTED;
    QString error;
    const com::HRESULT hr = m_grid.edit(*site, row, qMax(0, index), text, &error);
    if (com::failed(hr)) {
        statusBar()->showMessage(error);
    } else {
        // A refusal told before no longer stands.
        statusBar()->clearMessage();
        // The redraw shows the value just stored; a meter that cannot redraw yet (no window)
        // draws it at its first paint.
        std::ignore = site->callMethod(QStringLiteral("UpdateMeter"));
    }
    // Deferred: the edited item may still be in use by the view that reported the change.
    QMetaObject::invokeMethod(this, &MeterLabWindow::refreshGrid, Qt::QueuedConnection);
    return hr;
}

void MeterLabWindow::onEvent(com::ControlSite* site, int dispid, const com::VariantList& args) {
    if (dispid == com::DISPID_CLICK) {
        for (int i = 0; i < m_meters.size(); ++i) {
            if (m_meters.at(i).site == site && i != m_current)
                setCurrentMeter(i);
        }
    }
    if (site == currentMeter())
        m_log->appendPlainText(EventLogText::line(m_clock.elapsed(), m_current, dispid, args));
}

void MeterLabWindow::sendValue(int channel, double value) {
    com::ControlSite* site = currentMeter();
    if (!site)
        return;
    const com::HRESULT hr = site->callMethod(
        QStringLiteral("UpdateDataValue"),
        {com::Variant(std::int32_t(channel)), com::Variant(value), com::Variant(true)});
    if (com::failed(hr))
        statusBar()->showMessage(tr("UpdateDataValue refused (%1)").arg(com::hresultName(hr)));
}

bool MeterLabWindow::callBool(const QString& method, const com::VariantList& args) {
    com::ControlSite* site = currentMeter();
    if (!site)
        return false;
    com::Variant result;
    const com::HRESULT hr = site->callMethod(method, args, &result);
    return com::succeeded(hr) && result.boolValue();
}

void MeterLabWindow::tell(const QString& text) {
    statusBar()->showMessage(text);
    forms::MessageBox::show(text, forms::MsgButtons::Ok, forms::MsgIcon::Exclamation,
                            QStringLiteral("meterlab"), this);
}

void MeterLabWindow::updateTitle() {
    const QString file = fileOf(m_current);
    setWindowTitle(QStringLiteral("meterlab - meter %1 (%2)")
                       .arg(m_current + 1)
                       .arg(file.isEmpty() ? tr("new") : QFileInfo(file).fileName()));
}

void MeterLabWindow::newMeter() {
    openMeter();
}

void MeterLabWindow::openFile() {
    if (const auto path = forms::CommonDialog::chooseFile(settingsRequest(false, {}), this))
        openMeter(*path);
}

void MeterLabWindow::save() {
    if (m_current < 0)
        return;
    if (fileOf(m_current).isEmpty()) {
        saveAs();
        return;
    }
    saveTo(fileOf(m_current));
}

bool MeterLabWindow::saveTo(const QString& file) {
    if (!callBool(QStringLiteral("SerializeSaveFile"), {com::Variant(file)})) {
        tell(tr("The meter could not be saved to %1.").arg(file));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(file));
    return true;
}

void MeterLabWindow::saveAs() {
    if (m_current < 0)
        return;
    const auto path = forms::CommonDialog::chooseFile(
        settingsRequest(true, QFileInfo(fileOf(m_current)).fileName()), this);
    // The meter keeps its file until the new one is written.
    if (!path || !saveTo(*path))
        return;
    m_meters[m_current].file = *path;
    updateTitle();
}

void MeterLabWindow::showProperties() {
    com::ControlSite* site = currentMeter();
    if (!site)
        return;
    // The grid follows each Apply while the frame is open.
    const com::HRESULT hr = com::showPropertyPages(this, site->unknown(), tr("Meter"), 0, {},
                                                   [this] { refreshGrid(); });
    // The frame went with this window: nothing is left to tell.
    if (hr == com::E_ABORT)
        return;
    if (com::failed(hr))
        tell(tr("The property pages could not be shown (%1).").arg(com::hresultName(hr)));
}

void MeterLabWindow::copyPicture() {
    if (!callBool(QStringLiteral("CopyToClipboard"), {}))
        tell(tr("The picture could not be copied."));
}

void MeterLabWindow::savePicture() {
    forms::FileRequest r;
    r.save = true;
    r.filter = QStringLiteral("SVG pictures|*.svg|PDF documents|*.pdf|PNG pictures|*.png");
    r.defaultExtension = QStringLiteral("svg");
    r.fileName = QStringLiteral("Meter");
    const auto path = forms::CommonDialog::chooseFile(r, this);
    if (!path)
        return;
    const std::int32_t chosen = gaugekit::picture::typeOf(*path);
    const std::int32_t type = chosen ? chosen : gaugekit::picture::kSvg;
    if (!callBool(QStringLiteral("SavePageMeta"), {com::Variant(type), com::Variant(*path)}))
        tell(tr("The picture could not be saved to %1.").arg(*path));
}

void MeterLabWindow::about() {
    // The box is the meter's own; once it is closed there is nothing to report.
    if (com::ControlSite* site = currentMeter())
        std::ignore = site->callMethod(QStringLiteral("AboutBox"));
}
