// Answers for the common dialogs (colour, font with effects, file) while the object lives,
// with the requests they were asked; the handlers in place before come back when it goes,
// also when a check fails on the way. Needs brisora_forms.
#pragma once

#include <forms/CommonDialog.h>

#include <QList>
#include <QString>
#include <optional>

namespace testsupport {

// Installs chooser answers while it lives; a null answer is a Cancel.
class Choosers {
public:
    Choosers() {
        forms::CommonDialog::Handlers h;
        h.color = [this](quint32 initial) {
            colorRequests.append(initial);
            return color;
        };
        h.fontEffects = [this](const forms::FontEffectsChoice& initial) {
            fontRequests.append(initial);
            return font;
        };
        h.file = [this](const forms::FileRequest& r) {
            fileRequests.append(r);
            return file;
        };
        m_previous = forms::CommonDialog::setHandlers(h);
    }
    ~Choosers() { forms::CommonDialog::setHandlers(m_previous); }
    Choosers(const Choosers&) = delete;
    Choosers& operator=(const Choosers&) = delete;

    std::optional<quint32> color;
    std::optional<forms::FontEffectsChoice> font;
    std::optional<QString> file;
    QList<forms::FileRequest> fileRequests;
    QList<forms::FontEffectsChoice> fontRequests;
    QList<quint32> colorRequests;

private:
    forms::CommonDialog::Handlers m_previous;
};

} // namespace testsupport
