// The General page: colours and border styles of the control window and of the meter's
// frame, the frame's size, the three titles (text, font, colour), and loading and saving the
// meter's settings files.
#pragma once

#include "MeterPropertyPage.h"

#include <forms/CommonDialog.h>

namespace gaugekit::pages {

class CGAUGEKITPropPage : public MeterPropertyPage {
public:
    enum : int {
        IDC_WINDOW_BACKGROUND = 200,
        IDC_WINDOW_BORDER_STYLE = 253,
        IDC_WINDOW_BORDER_WIDTH = 208,
        IDC_WINDOW_BORDER_COLOR = 202,
        IDC_METER_BACKGROUND = 201,
        IDC_METER_BORDER_STYLE = 254,
        IDC_METER_BORDER_THICKNESS = 209,
        IDC_METER_BORDER_COLOR = 203,
        IDC_BORDER_WIDTH = 240,
        IDC_BORDER_HEIGHT = 239,
        IDC_TITLE_SELECTION = 328,
        IDC_TITLE_TEXT = 329,
        IDC_TITLE_FONT = 330,
        IDC_TITLE_COLOR = 331,
        IDC_LOAD = 335,
        IDC_SAVE = 336,
    };

    explicit CGAUGEKITPropPage(com::ServerModule* module = nullptr);

    static const DialogTemplate& dialogTemplate();
    // The settings files' dialog: filter, default extension, initial name.
    static forms::FileRequest fileRequest(bool save);

    const GeneralPageValues& values() const { return m_values; }
    int selectedTitle() const { return m_selected; }
    const QString& titleText() const { return m_titleText; }

protected:
    QList<FieldBinding> bindings() override;
    void exchange(CGAUGEKITCtrl& meter, ExchangeDirection direction) override;
    void preStore() override;
    void postLoad() override;
    void connectControls() override;

private:
    void selectTitle(int index);
    void loadFile();
    void saveFile();
    void tellFileFault(const QString& text);
    // Entry `m_selected` of a title array, or null when the array has no such entry.
    template <class List>
    auto* selectedEntry(List& list);

    GeneralPageValues m_values;
    int m_selected = 0;
    QString m_titleText;
};

} // namespace gaugekit::pages
