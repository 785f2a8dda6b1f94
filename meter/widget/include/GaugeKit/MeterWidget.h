// GaugeKit::MeterWidget: the GAUGEKIT meter as a plain Qt widget.
#pragma once

#include <GaugeKit/GaugeKitExport.h>

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

/// The GAUGEKIT meter for Qt programs.
namespace GaugeKit {

class MeterWidgetPrivate;

/// A needle, arc or pie meter with up to five channels, alarm arcs and an internal timer.
///
/// The widget hosts one meter control and drives it through the control's own dispatch
/// interface, so a meter made here behaves, draws and saves exactly as one created by class
/// id in any other container. No registry entry is needed.
///
/// Every control property is a Q_PROPERTY named by one rule: the control's name with a
/// leading "Meter" dropped and the first letter lower-cased (`MeterScaleMin` is `scaleMin`,
/// `EnableInternalTimer` is `enableInternalTimer`). Colours are QColor here (0x00BBGGRR
/// inside the control); the kinds, styles and positions are the enumerations of this class,
/// which Qt Designer offers as lists. Like the control, a changed setting shows at the next
/// updateMeter(); values are shown at once.
///
/// Scale values (limits, alarm limits, initial value) are in the units of the readings.
/// Positions and sizes marked "normalised" are fractions of the drawing area: 0.5 is its
/// centre, 1.0 its whole width or height.
///
/// A meter with a high alarm that reports its changes:
/// \code
/// GaugeKit::MeterWidget meter;
/// meter.setType(GaugeKit::MeterWidget::NeedleMeter);
/// meter.setNeedleStyle(GaugeKit::MeterWidget::LongFilledTriangle);
/// meter.setHighAlarmStart(7.5);
/// meter.updateMeter();
/// QObject::connect(&meter, &GaugeKit::MeterWidget::alarmChanged,
///                  [](int channel, GaugeKit::MeterWidget::AlarmCode code, double value,
///                     bool on) { ... });
/// meter.setValue(0, 8.5);
/// \endcode
///
/// Integer values from code or forms written before the enumerations: every setter of an
/// enumerated property also takes an `int`, passed to the control as it is, and the getters'
/// enumerations convert to `int` implicitly.
///
/// \sa meter-alarm/main.cpp (a meter with an alarm, built against the installed package),
///     dashboard/Dashboard.cpp (three meters from a Designer form).
class GAUGEKIT_METER_EXPORT MeterWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(
        QColor windowBackgroundColor READ windowBackgroundColor WRITE setWindowBackgroundColor)
    Q_PROPERTY(QColor windowBorderColor READ windowBorderColor WRITE setWindowBorderColor)
    Q_PROPERTY(QColor plotBackgroundColor READ plotBackgroundColor WRITE setPlotBackgroundColor)
    Q_PROPERTY(
        WindowBorderStyle windowBorderStyle READ windowBorderStyle WRITE setWindowBorderStyle)
    Q_PROPERTY(int windowResizeMode READ windowResizeMode WRITE setWindowResizeMode)
    Q_PROPERTY(int windowBorderThickness READ windowBorderThickness WRITE setWindowBorderThickness)
    Q_PROPERTY(MeterType type READ type WRITE setType)
    Q_PROPERTY(NeedleStyle needleStyle READ needleStyle WRITE setNeedleStyle)
    Q_PROPERTY(bool dynTextEnable READ dynTextEnable WRITE setDynTextEnable)
    Q_PROPERTY(bool arcEnable READ arcEnable WRITE setArcEnable)
    Q_PROPERTY(double centerX READ centerX WRITE setCenterX)
    Q_PROPERTY(double centerY READ centerY WRITE setCenterY)
    Q_PROPERTY(int dynTextPrecision READ dynTextPrecision WRITE setDynTextPrecision)
    Q_PROPERTY(double diameter READ diameter WRITE setDiameter)
    Q_PROPERTY(int numChannels READ numChannels WRITE setNumChannels)
    Q_PROPERTY(int startArc READ startArc WRITE setStartArc)
    Q_PROPERTY(int stopArc READ stopArc WRITE setStopArc)
    Q_PROPERTY(QColor lowAlarmColor READ lowAlarmColor WRITE setLowAlarmColor)
    Q_PROPERTY(QColor highAlarmColor READ highAlarmColor WRITE setHighAlarmColor)
    Q_PROPERTY(bool alarmArcsEnable READ alarmArcsEnable WRITE setAlarmArcsEnable)
    Q_PROPERTY(double alarmArcThickness READ alarmArcThickness WRITE setAlarmArcThickness)
    Q_PROPERTY(double highAlarmStart READ highAlarmStart WRITE setHighAlarmStart)
    Q_PROPERTY(double highAlarmStop READ highAlarmStop WRITE setHighAlarmStop)
    Q_PROPERTY(double lowAlarmStart READ lowAlarmStart WRITE setLowAlarmStart)
    Q_PROPERTY(double lowAlarmStop READ lowAlarmStop WRITE setLowAlarmStop)
    Q_PROPERTY(TickPosition tickPosition READ tickPosition WRITE setTickPosition)
    Q_PROPERTY(
        TickLabelsPosition tickLabelsPosition READ tickLabelsPosition WRITE setTickLabelsPosition)
    Q_PROPERTY(QColor tickLabelsColor READ tickLabelsColor WRITE setTickLabelsColor)
    Q_PROPERTY(int tickLabelsSize READ tickLabelsSize WRITE setTickLabelsSize)
    Q_PROPERTY(int tickLabelsFontStyle READ tickLabelsFontStyle WRITE setTickLabelsFontStyle)
    Q_PROPERTY(QString tickLabelsFont READ tickLabelsFont WRITE setTickLabelsFont)
    Q_PROPERTY(QColor lineColor READ lineColor WRITE setLineColor)
    Q_PROPERTY(QString unitsString READ unitsString WRITE setUnitsString)
    Q_PROPERTY(bool unitsStringEnable READ unitsStringEnable WRITE setUnitsStringEnable)
    Q_PROPERTY(int lineThickness READ lineThickness WRITE setLineThickness)
    Q_PROPERTY(int minorTicks READ minorTicks WRITE setMinorTicks)
    Q_PROPERTY(double scaleMin READ scaleMin WRITE setScaleMin)
    Q_PROPERTY(double scaleMax READ scaleMax WRITE setScaleMax)
    Q_PROPERTY(int tickLabelsPrecision READ tickLabelsPrecision WRITE setTickLabelsPrecision)
    Q_PROPERTY(double tickRelLength READ tickRelLength WRITE setTickRelLength)
    Q_PROPERTY(double tickStep READ tickStep WRITE setTickStep)
    Q_PROPERTY(QColor normalAlarmColor READ normalAlarmColor WRITE setNormalAlarmColor)
    Q_PROPERTY(double valueArcThickness READ valueArcThickness WRITE setValueArcThickness)
    Q_PROPERTY(double scaleCenter READ scaleCenter WRITE setScaleCenter)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(int borderThickness READ borderThickness WRITE setBorderThickness)
    Q_PROPERTY(BorderStyle borderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(double initialValue READ initialValue WRITE setInitialValue)
    Q_PROPERTY(bool enableInternalTimer READ enableInternalTimer WRITE setEnableInternalTimer)
    Q_PROPERTY(double timerFrequency READ timerFrequency WRITE setTimerFrequency)
    Q_PROPERTY(double borderHeight READ borderHeight WRITE setBorderHeight)
    Q_PROPERTY(double borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(bool sDataSimulationMode READ sDataSimulationMode WRITE setSDataSimulationMode)
    // Titles 0..2 and channels 0..4. A shorter list leaves the entries it lacks as they are;
    // entries beyond the meter's room are ignored. So that forms can store them, the colour
    // lists are properties of "#rrggbb" names and the font sizes and styles lists of decimal
    // numbers (an entry that is neither leaves its title or channel as it is); the functions
    // of the same names give them as colours and numbers.
    Q_PROPERTY(QStringList titleString READ titleString WRITE setTitleString)
    Q_PROPERTY(QStringList titleFont READ titleFont WRITE setTitleFont)
    Q_PROPERTY(QStringList titleColor READ titleColorNames WRITE setTitleColorNames)
    Q_PROPERTY(QStringList titleFontStyle READ titleFontStyleTexts WRITE setTitleFontStyleTexts)
    Q_PROPERTY(QStringList titleFontSize READ titleFontSizeTexts WRITE setTitleFontSizeTexts)
    Q_PROPERTY(QStringList channelColor READ channelColorNames WRITE setChannelColorNames)
    Q_PROPERTY(QStringList channelTagName READ channelTagName WRITE setChannelTagName)

public:
    /// What the meter shows a channel's value with (property `type`).
    enum MeterType : int {
        NeedleMeter = 0, ///< one needle per channel over a scale arc
        ArcMeter = 1,    ///< a band from the scale centre to the value (channel 0)
        PieMeter = 2,    ///< a filled sector from the scale centre to the value (channel 0)
    };
    Q_ENUM(MeterType)

    /// The needles' shape on a needle meter (property `needleStyle`).
    enum NeedleStyle : int {
        ThinLine = 0,
        ThickLine = 1,
        ShortFilledTriangle = 2,
        ShortHollowTriangle = 3,
        LongFilledTriangle = 4,
        LongHollowTriangle = 5,
    };
    Q_ENUM(NeedleStyle)

    /// Where the ticks stand against the scale arc (property `tickPosition`).
    enum TickPosition : int {
        TicksInside = 0,
        TicksMiddle = 3, ///< across the arc
        TicksOutside = 4,
    };
    Q_ENUM(TickPosition)

    /// Where the tick labels stand on a needle meter (property `tickLabelsPosition`); the
    /// arc and pie meters put them outside.
    enum TickLabelsPosition : int {
        LabelsInside = 0,
        LabelsOutside = 4,
    };
    Q_ENUM(TickLabelsPosition)

    /// The bevel around the drawing area (property `windowBorderStyle`).
    enum WindowBorderStyle : int {
        FlatBorder = 0,
        HighBorder = 1, ///< raised
        DeepBorder = 2, ///< sunken
        NoWindowBorder = 3,
    };
    Q_ENUM(WindowBorderStyle)

    /// The shape drawn behind the meter, filled with plotBackgroundColor (property
    /// `borderStyle`).
    enum BorderStyle : int {
        NoBorder = 0,
        RectangleBorder = 1,
        CircleBorder = 2, ///< inscribed in borderWidth x borderHeight
        RoundedRectangleBorder = 3,
    };
    Q_ENUM(BorderStyle)

    /// The picture formats of savePicture().
    enum PictureType : int {
        SvgPicture = 1, ///< scalable vector graphics, lines and text kept
        PdfPicture = 2, ///< a one-page PDF document of the meter's size
        PngPicture = 3, ///< the screen picture, one pixel per pixel
    };
    Q_ENUM(PictureType)

    /// The alarm level alarmChanged() reports.
    enum AlarmCode : int {
        AlarmOk = 0,   ///< between the alarm limits
        AlarmHigh = 1, ///< at or above highAlarmStart
        AlarmLow = 2,  ///< at or below lowAlarmStop
    };
    Q_ENUM(AlarmCode)

    /// A meter with the control's defaults: a needle meter of one channel, scale 0 to 10.
    explicit MeterWidget(QWidget* parent = nullptr);
    ~MeterWidget() override;

    /// The size of the control's drawing window.
    QSize sizeHint() const override;

    /// Background of the drawing area; default `#c0c0c0`.
    /// @{
    QColor windowBackgroundColor() const;
    void setWindowBackgroundColor(const QColor& color);
    /// @}
    /// Frame colour of the drawing area; default black.
    /// @{
    QColor windowBorderColor() const;
    void setWindowBorderColor(const QColor& color);
    /// @}
    /// Fill of the shape behind the meter (see borderStyle()); default white.
    /// @{
    QColor plotBackgroundColor() const;
    void setPlotBackgroundColor(const QColor& color);
    /// @}
    /// Bevel of the drawing area; default FlatBorder.
    /// @{
    WindowBorderStyle windowBorderStyle() const;
    void setWindowBorderStyle(WindowBorderStyle style);
    void setWindowBorderStyle(int style);
    /// @}
    /// Resize mode of the drawing window, used when it is next created; default 10. Not
    /// saved with the settings.
    /// @{
    int windowResizeMode() const;
    void setWindowResizeMode(int mode);
    /// @}
    /// Frame thickness of the drawing area in pixels; it also shifts the titles. Default 1.
    /// @{
    int windowBorderThickness() const;
    void setWindowBorderThickness(int thickness);
    /// @}
    /// Needle, arc or pie meter; default NeedleMeter. Another value draws the titles and
    /// the drawing area without a meter.
    /// @{
    MeterType type() const;
    void setType(MeterType type);
    void setType(int type);
    /// @}
    /// Shape of the needles (needle meter); default LongHollowTriangle.
    /// @{
    NeedleStyle needleStyle() const;
    void setNeedleStyle(NeedleStyle style);
    void setNeedleStyle(int style);
    /// @}
    /// Whether the value is written as text on needle and arc meters; default true.
    /// @{
    bool dynTextEnable() const;
    void setDynTextEnable(bool enable);
    /// @}
    /// Whether the scale arc is drawn; default true.
    /// @{
    bool arcEnable() const;
    void setArcEnable(bool enable);
    /// @}
    /// Horizontal centre of the meter, normalised; default 0.5.
    /// @{
    double centerX() const;
    void setCenterX(double x);
    /// @}
    /// Vertical centre of the meter, normalised; default 0.5.
    /// @{
    double centerY() const;
    void setCenterY(double y);
    /// @}
    /// Decimals of the value text; default 1.
    /// @{
    int dynTextPrecision() const;
    void setDynTextPrecision(int precision);
    /// @}
    /// Diameter of the scale arc, normalised; default 0.5.
    /// @{
    double diameter() const;
    void setDiameter(double diameter);
    /// @}
    /// Channels shown, 1 to 5 (one needle each on a needle meter); default 1.
    /// @{
    int numChannels() const;
    void setNumChannels(int channels);
    /// @}
    /// Start of the scale arc in degrees; default 0.
    /// @{
    int startArc() const;
    void setStartArc(int degrees);
    /// @}
    /// End of the scale arc in degrees; default 180.
    /// @{
    int stopArc() const;
    void setStopArc(int degrees);
    /// @}
    /// Colour of the low alarm arc and of a value text in low alarm; default `#000080`.
    /// @{
    QColor lowAlarmColor() const;
    void setLowAlarmColor(const QColor& color);
    /// @}
    /// Colour of the high alarm arc and of a value text in high alarm; default `#800000`.
    /// @{
    QColor highAlarmColor() const;
    void setHighAlarmColor(const QColor& color);
    /// @}
    /// Whether the alarm arcs are drawn; default true.
    /// @{
    bool alarmArcsEnable() const;
    void setAlarmArcsEnable(bool enable);
    /// @}
    /// Thickness of the alarm arcs relative to the meter; default 0.1.
    /// @{
    double alarmArcThickness() const;
    void setAlarmArcThickness(double thickness);
    /// @}
    /// The high alarm limit, where the high arc begins; default 9.
    /// @{
    double highAlarmStart() const;
    void setHighAlarmStart(double value);
    /// @}
    /// Where the high arc ends; default 10.
    /// @{
    double highAlarmStop() const;
    void setHighAlarmStop(double value);
    /// @}
    /// Where the low arc begins; default 0.
    /// @{
    double lowAlarmStart() const;
    void setLowAlarmStart(double value);
    /// @}
    /// The low alarm limit, where the low arc ends; default 1.
    /// @{
    double lowAlarmStop() const;
    void setLowAlarmStop(double value);
    /// @}
    /// Where the ticks stand; default TicksInside.
    /// @{
    TickPosition tickPosition() const;
    void setTickPosition(TickPosition position);
    void setTickPosition(int position);
    /// @}
    /// Where the tick labels stand (needle meter); default LabelsInside.
    /// @{
    TickLabelsPosition tickLabelsPosition() const;
    void setTickLabelsPosition(TickLabelsPosition position);
    void setTickLabelsPosition(int position);
    /// @}
    /// Colour of the tick labels; default black.
    /// @{
    QColor tickLabelsColor() const;
    void setTickLabelsColor(const QColor& color);
    /// @}
    /// Size of the tick labels in points; default 8.
    /// @{
    int tickLabelsSize() const;
    void setTickLabelsSize(int points);
    /// @}
    /// Style of the tick labels: bit 0 bold, bit 1 italic, bit 2 underline; default 0.
    /// @{
    int tickLabelsFontStyle() const;
    void setTickLabelsFontStyle(int style);
    /// @}
    /// Face of the tick labels; default "Arial" (drawn in a metric-compatible face).
    /// @{
    QString tickLabelsFont() const;
    void setTickLabelsFont(const QString& face);
    /// @}
    /// Colour of the scale arc and ticks; default black.
    /// @{
    QColor lineColor() const;
    void setLineColor(const QColor& color);
    /// @}
    /// Units written after the value text; shown whenever it is not empty. Default empty.
    /// @{
    QString unitsString() const;
    void setUnitsString(const QString& units);
    /// @}
    /// Kept and saved with the settings; at every rebuild the meter sets it to whether
    /// unitsString() is not empty. Default false.
    /// @{
    bool unitsStringEnable() const;
    void setUnitsStringEnable(bool enable);
    /// @}
    /// Thickness of the scale arc and ticks in pixels; default 1.
    /// @{
    int lineThickness() const;
    void setLineThickness(int thickness);
    /// @}
    /// Minor ticks between two major ticks; default 3.
    /// @{
    int minorTicks() const;
    void setMinorTicks(int ticks);
    /// @}
    /// Value at the start of the scale; default 0.
    /// @{
    double scaleMin() const;
    void setScaleMin(double value);
    /// @}
    /// Value at the end of the scale; default 10.
    /// @{
    double scaleMax() const;
    void setScaleMax(double value);
    /// @}
    /// Decimals of the tick labels; default 0.
    /// @{
    int tickLabelsPrecision() const;
    void setTickLabelsPrecision(int decimals);
    /// @}
    /// Length of the major ticks relative to the meter; default 0.1.
    /// @{
    double tickRelLength() const;
    void setTickRelLength(double length);
    /// @}
    /// Value between two major ticks, from scaleMin(); default 2.
    /// @{
    double tickStep() const;
    void setTickStep(double step);
    /// @}
    /// Colour of a value text between the alarm limits; default `#008000`.
    /// @{
    QColor normalAlarmColor() const;
    void setNormalAlarmColor(const QColor& color);
    /// @}
    /// Thickness of the value band of an arc meter relative to the meter; default 0.1.
    /// @{
    double valueArcThickness() const;
    void setValueArcThickness(double thickness);
    /// @}
    /// Where the band of an arc meter and the sector of a pie meter start (clamped into the
    /// scale); default 0.
    /// @{
    double scaleCenter() const;
    void setScaleCenter(double value);
    /// @}
    /// Outline colour of the shape behind the meter; default black.
    /// @{
    QColor borderColor() const;
    void setBorderColor(const QColor& color);
    /// @}
    /// Outline thickness of the shape behind the meter in pixels; default 1.
    /// @{
    int borderThickness() const;
    void setBorderThickness(int thickness);
    /// @}
    /// The shape behind the meter; default NoBorder.
    /// @{
    BorderStyle borderStyle() const;
    void setBorderStyle(BorderStyle style);
    void setBorderStyle(int style);
    /// @}
    /// Value every channel takes at each rebuild; default 1.
    /// @{
    double initialValue() const;
    void setInitialValue(double value);
    /// @}
    /// Whether updateMeter() starts the internal timer; default false.
    /// @{
    bool enableInternalTimer() const;
    void setEnableInternalTimer(bool enable);
    /// @}
    /// Ticks of the internal timer per second, read when it is started; default 1.
    /// @{
    double timerFrequency() const;
    void setTimerFrequency(double hertz);
    /// @}
    /// Height of the shape behind the meter, normalised; default 0.8.
    /// @{
    double borderHeight() const;
    void setBorderHeight(double height);
    /// @}
    /// Width of the shape behind the meter, normalised; default 0.8.
    /// @{
    double borderWidth() const;
    void setBorderWidth(double width);
    /// @}
    /// Whether the internal timer feeds the meter made-up values (for a demonstration
    /// without readings) instead of emitting internalTimer(); default false.
    /// @{
    bool sDataSimulationMode() const;
    void setSDataSimulationMode(bool simulate);
    /// @}

    /// Texts of the three titles (main header, sub-head, footer); default "Meter", "",
    /// "Ondavia".
    /// @{
    QStringList titleString() const;
    void setTitleString(const QStringList& titles);
    /// @}
    /// Faces of the three titles; default "Arial".
    /// @{
    QStringList titleFont() const;
    void setTitleFont(const QStringList& faces);
    /// @}
    /// Colours of the three titles; default black. Property `titleColor` holds them as
    /// "#rrggbb" names.
    /// @{
    QList<QColor> titleColor() const;
    void setTitleColor(const QList<QColor>& colors);
    /// @}
    /// Styles of the three titles (bits as tickLabelsFontStyle()); default 0. Property
    /// `titleFontStyle` holds them as decimal texts.
    /// @{
    QList<int> titleFontStyle() const;
    void setTitleFontStyle(const QList<int>& styles);
    /// @}
    /// Sizes of the three titles in points; default 8, 6, 4. Property `titleFontSize` holds
    /// them as decimal texts.
    /// @{
    QList<int> titleFontSize() const;
    void setTitleFontSize(const QList<int>& points);
    /// @}
    /// Colours of the five channels (needles, bands, sectors). Property `channelColor` holds
    /// them as "#rrggbb" names.
    /// @{
    QList<QColor> channelColor() const;
    void setChannelColor(const QList<QColor>& colors);
    /// @}
    /// Tag names of the five channels: kept and saved with the settings, not drawn.
    /// @{
    QStringList channelTagName() const;
    void setChannelTagName(const QStringList& names);
    /// @}

public slots:
    /// Sets one channel's value and shows it.
    void setValue(int channel, double value);
    /// Sets the channels' values at once (at most numChannels() are read) and shows them.
    void setValues(const QList<double>& values);
    /// Rebuilds the meter from its settings and restarts its internal timer.
    void updateMeter();
    /// Puts the meter on the clipboard as an image and as SVG; false before the meter has
    /// been drawn.
    bool copyToClipboard();
    /// Writes the meter's picture to `fileName` (written whole or not at all); an empty name
    /// asks for one with a file dialog. False when nothing was written: an unknown type, no
    /// name, or a file that cannot be written.
    bool savePicture(GaugeKit::MeterWidget::PictureType type, const QString& fileName);
    /// savePicture() with the type as a number (1 SVG, 2 PDF, 3 PNG).
    bool savePicture(int type, const QString& fileName);
    /// Loads every setting from a settings (.SER) file; false when the file cannot be opened
    /// or is not a settings file.
    bool loadSettings(const QString& fileName);
    /// Saves every setting to a settings (.SER) file, whole or not at all.
    bool saveSettings(const QString& fileName);
    /// Opens the five property pages on this meter; false when they cannot be shown.
    bool showPropertyPages();

signals:
    /// The meter has been drawn for the first time (again after a foreign rendering).
    void drawReady();
    /// The alarm state of `channel` changed to `code`, at `value`; `alarm` is whether the
    /// channel is now in alarm.
    void alarmChanged(int channel, GaugeKit::MeterWidget::AlarmCode code, double value, bool alarm);
    /// A tick of the internal timer when simulation is off.
    void internalTimer();
    /// The meter was clicked.
    void clicked();

private:
    // The text forms of the colour, font size and font style lists the properties carry.
    QStringList titleColorNames() const;
    void setTitleColorNames(const QStringList& names);
    QStringList titleFontStyleTexts() const;
    void setTitleFontStyleTexts(const QStringList& texts);
    QStringList titleFontSizeTexts() const;
    void setTitleFontSizeTexts(const QStringList& texts);
    QStringList channelColorNames() const;
    void setChannelColorNames(const QStringList& names);

    friend class MeterWidgetPrivate;
    std::unique_ptr<MeterWidgetPrivate> d;
};

} // namespace GaugeKit
