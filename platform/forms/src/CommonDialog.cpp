#include "forms/CommonDialog.h"

#include "FontEffectsDialog.h"
#include "forms/GuardedDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

namespace forms {

namespace {

CommonDialog::Handlers& handlers() {
    static CommonDialog::Handlers current;
    return current;
}

FontChoice choiceOf(const QFont& font) {
    return {font.family(), qRound(font.pointSizeF()), font.bold(),
            font.italic(), font.underline(),          font.strikeOut()};
}

QFont fontOf(const FontChoice& choice) {
    QFont font(choice.name, qMax(1, choice.sizePoints));
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikeout);
    return font;
}

} // namespace

std::optional<quint32> CommonDialog::chooseColor(quint32 initial, QWidget* parent) {
    if (handlers().color) {
        return handlers().color(initial);
    }
    const QColor chosen = QColorDialog::getColor(fromColorRef(initial), parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return toColorRef(chosen);
}

std::optional<FontChoice> CommonDialog::chooseFont(const FontChoice& initial, QWidget* parent) {
    if (handlers().font) {
        return handlers().font(initial);
    }
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, fontOf(initial), parent);
    if (!ok) {
        return std::nullopt;
    }
    return choiceOf(font);
}

std::optional<FontEffectsChoice> CommonDialog::chooseFontEffects(const FontEffectsChoice& initial,
                                                                 QWidget* parent) {
    if (handlers().fontEffects) {
        return handlers().fontEffects(initial);
    }
    GuardedDialog<FontEffectsDialog> dialog(initial, parent);
    if (!dialog.exec()) {
        return std::nullopt;
    }
    return dialog->choice();
}

std::optional<QString> CommonDialog::chooseFile(const FileRequest& request, QWidget* parent) {
    if (handlers().file) {
        return handlers().file(request);
    }
    const QString start = request.directory.isEmpty() ? request.fileName
                                                      : request.directory + u'/' + request.fileName;
    GuardedDialog<QFileDialog> dialog(parent, request.title, start, qtFilter(request.filter));
    dialog->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(request.save || !request.mustExist ? QFileDialog::AnyFile
                                                           : QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog->setDefaultSuffix(request.defaultExtension);
    if (!dialog.exec() || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

CommonDialog::Handlers CommonDialog::setHandlers(Handlers newHandlers) {
    Handlers previous = std::move(handlers());
    handlers() = std::move(newHandlers);
    return previous;
}

QColor CommonDialog::fromColorRef(quint32 colorRef) {
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

quint32 CommonDialog::toColorRef(const QColor& color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

QString CommonDialog::qtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        const QString description = parts[i].trimmed();
        // A description that already names its patterns in parentheses is kept as it stands.
        filters << (description.endsWith(u')')
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace forms
