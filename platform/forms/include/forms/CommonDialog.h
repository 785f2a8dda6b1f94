#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace forms {

// A font as the program stores it: face, whole points and style.
struct FontChoice {
    QString name;
    int sizePoints = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool operator==(const FontChoice&) const = default;
};

// What a file dialog asks. The filter is written as pairs "description|patterns", patterns
// separated by ';', for example "Archivos de configuración (*.ser)|*.ser|Todos|*.*".
struct FileRequest {
    bool save = false;
    QString title;
    QString filter;
    QString directory;
    QString fileName;
    QString defaultExtension{};  // added to a name typed without one ("SER")
    bool overwritePrompt = true; // save: ask before replacing an existing file
    bool mustExist = true;       // open: only an existing file
};

// A font as the system font chooser with its effects section gives it: face, size in tenths
// of a point, weight (400 normal, 700 bold), effects and colour (0x00BBGGRR).
struct FontEffectsChoice {
    QString name;
    int sizeTenths = 80;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    quint32 color = 0;
    bool operator==(const FontEffectsChoice&) const = default;
};

// The common dialogs: colour, font, file open and save. Cancelling gives nothing. Each goes
// through a handler that tests can replace to answer and record; by default the Qt dialogs.
class CommonDialog {
public:
    struct Handlers {
        std::function<std::optional<quint32>(quint32 initial)> color;
        std::function<std::optional<FontChoice>(const FontChoice& initial)> font;
        std::function<std::optional<QString>(const FileRequest& request)> file;
        std::function<std::optional<FontEffectsChoice>(const FontEffectsChoice& initial)>
            fontEffects{};
    };

    // Colours are colour references 0x00BBGGRR.
    static std::optional<quint32> chooseColor(quint32 initial, QWidget* parent = nullptr);
    static std::optional<FontChoice> chooseFont(const FontChoice& initial,
                                                QWidget* parent = nullptr);
    // The font chooser with its effects section (colour, underline, strikeout).
    static std::optional<FontEffectsChoice> chooseFontEffects(const FontEffectsChoice& initial,
                                                              QWidget* parent = nullptr);
    static std::optional<QString> chooseFile(const FileRequest& request, QWidget* parent = nullptr);

    // Installs handlers (an empty one: the Qt dialog again); returns the previous ones.
    static Handlers setHandlers(Handlers handlers);

    static QColor fromColorRef(quint32 colorRef);
    static quint32 toColorRef(const QColor& color);
    // "desc|*.a;*.b|..." as a Qt name filter list "desc (*.a *.b);;...".
    static QString qtFilter(const QString& filter);
};

} // namespace forms
