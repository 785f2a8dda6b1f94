// GaugeKit::MeterWidget: the GAUGEKIT meter as a plain Qt widget.
//
// The widget hosts one meter control and drives it through the control's own dispatch
// interface, so a meter made here behaves, draws and saves exactly as one created by class id
// in any other container. No registry entry is needed.
//
// Every control property is a Q_PROPERTY named by one rule: the control's name with a leading
// "Meter" dropped and the first letter lower-cased (MeterScaleMin -> scaleMin,
// EnableInternalTimer -> enableInternalTimer). Colours are QColor here and 0x00BBGGRR inside
// the control. Like the control, a changed setting shows at the next updateMeter().
#pragma once

#include "GaugeKitExport.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

namespace GaugeKit {

class MeterWidgetPrivate;

class GAUGEKIT_METER_EXPORT MeterWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(
        QColor windowBackgroundColor READ windowBackgroundColor WRITE setWindowBackgroundColor)
    Q_PROPERTY(QColor windowBorderColor READ windowBorderColor WRITE setWindowBorderColor)
    Q_PROPERTY(QColor plotBackgroundColor READ plotBackgroundColor WRITE setPlotBackgroundColor)
    Q_PROPERTY(int windowBorderStyle READ windowBorderStyle WRITE setWindowBorderStyle)
    Q_PROPERTY(int windowResizeMode READ windowResizeMode WRITE setWindowResizeMode)
    Q_PROPERTY(int windowBorderThickness READ windowBorderThickness WRITE setWindowBorderThickness)
    Q_PROPERTY(int type READ type WRITE setType)
    Q_PROPERTY(int needleStyle READ needleStyle WRITE setNeedleStyle)
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
    Q_PROPERTY(int tickPosition READ tickPosition WRITE setTickPosition)
    Q_PROPERTY(int tickLabelsPosition READ tickLabelsPosition WRITE setTickLabelsPosition)
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
    Q_PROPERTY(int borderStyle READ borderStyle WRITE setBorderStyle)
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
    explicit MeterWidget(QWidget* parent = nullptr);
    ~MeterWidget() override;

    QSize sizeHint() const override;

    QColor windowBackgroundColor() const;
    void setWindowBackgroundColor(const QColor& color);
    QColor windowBorderColor() const;
    void setWindowBorderColor(const QColor& color);
    QColor plotBackgroundColor() const;
    void setPlotBackgroundColor(const QColor& color);
    int windowBorderStyle() const;
    void setWindowBorderStyle(int style);
    int windowResizeMode() const;
    void setWindowResizeMode(int mode);
    int windowBorderThickness() const;
    void setWindowBorderThickness(int thickness);
    int type() const;
    void setType(int type);
    int needleStyle() const;
    void setNeedleStyle(int style);
    bool dynTextEnable() const;
    void setDynTextEnable(bool enable);
    bool arcEnable() const;
    void setArcEnable(bool enable);
    double centerX() const;
    void setCenterX(double x);
    double centerY() const;
    void setCenterY(double y);
    int dynTextPrecision() const;
    void setDynTextPrecision(int precision);
    double diameter() const;
    void setDiameter(double diameter);
    int numChannels() const;
    void setNumChannels(int channels);
    int startArc() const;
    void setStartArc(int degrees);
    int stopArc() const;
    void setStopArc(int degrees);
    QColor lowAlarmColor() const;
    void setLowAlarmColor(const QColor& color);
    QColor highAlarmColor() const;
    void setHighAlarmColor(const QColor& color);
    bool alarmArcsEnable() const;
    void setAlarmArcsEnable(bool enable);
    double alarmArcThickness() const;
    void setAlarmArcThickness(double thickness);
    double highAlarmStart() const;
    void setHighAlarmStart(double value);
    double highAlarmStop() const;
    void setHighAlarmStop(double value);
    double lowAlarmStart() const;
    void setLowAlarmStart(double value);
    double lowAlarmStop() const;
    void setLowAlarmStop(double value);
    int tickPosition() const;
    void setTickPosition(int position);
    int tickLabelsPosition() const;
    void setTickLabelsPosition(int position);
    QColor tickLabelsColor() const;
    void setTickLabelsColor(const QColor& color);
    int tickLabelsSize() const;
    void setTickLabelsSize(int points);
    int tickLabelsFontStyle() const;
    void setTickLabelsFontStyle(int style);
    QString tickLabelsFont() const;
    void setTickLabelsFont(const QString& face);
    QColor lineColor() const;
    void setLineColor(const QColor& color);
    QString unitsString() const;
    void setUnitsString(const QString& units);
    bool unitsStringEnable() const;
    void setUnitsStringEnable(bool enable);
    int lineThickness() const;
    void setLineThickness(int thickness);
    int minorTicks() const;
    void setMinorTicks(int ticks);
    double scaleMin() const;
    void setScaleMin(double value);
    double scaleMax() const;
    void setScaleMax(double value);
    int tickLabelsPrecision() const;
    void setTickLabelsPrecision(int decimals);
    double tickRelLength() const;
    void setTickRelLength(double length);
    double tickStep() const;
    void setTickStep(double step);
    QColor normalAlarmColor() const;
    void setNormalAlarmColor(const QColor& color);
    double valueArcThickness() const;
    void setValueArcThickness(double thickness);
    double scaleCenter() const;
    void setScaleCenter(double value);
    QColor borderColor() const;
    void setBorderColor(const QColor& color);
    int borderThickness() const;
    void setBorderThickness(int thickness);
    int borderStyle() const;
    void setBorderStyle(int style);
    double initialValue() const;
    void setInitialValue(double value);
    bool enableInternalTimer() const;
    void setEnableInternalTimer(bool enable);
    double timerFrequency() const;
    void setTimerFrequency(double hertz);
    double borderHeight() const;
    void setBorderHeight(double height);
    double borderWidth() const;
    void setBorderWidth(double width);
    bool sDataSimulationMode() const;
    void setSDataSimulationMode(bool simulate);

    QStringList titleString() const;
    void setTitleString(const QStringList& titles);
    QStringList titleFont() const;
    void setTitleFont(const QStringList& faces);
    QList<QColor> titleColor() const;
    void setTitleColor(const QList<QColor>& colors);
    QList<int> titleFontStyle() const;
    void setTitleFontStyle(const QList<int>& styles);
    QList<int> titleFontSize() const;
    void setTitleFontSize(const QList<int>& points);
    QList<QColor> channelColor() const;
    void setChannelColor(const QList<QColor>& colors);
    QStringList channelTagName() const;
    void setChannelTagName(const QStringList& names);

public slots:
    // Sets one channel's value and shows it.
    void setValue(int channel, double value);
    // Sets the channels' values at once (at most numChannels are read) and shows them.
    void setValues(const QList<double>& values);
    // Rebuilds the meter from its settings and restarts its internal timer.
    void updateMeter();
    // False before the meter has been drawn.
    bool copyToClipboard();
    bool savePicture(int type, const QString& fileName);
    // Settings (.SER) files. Loading false when the file cannot be opened or is not a
    // settings file.
    bool loadSettings(const QString& fileName);
    bool saveSettings(const QString& fileName);
    // Opens the five property pages on this meter; false when they cannot be shown.
    bool showPropertyPages();

signals:
    // The meter has been drawn for the first time (again after a foreign rendering).
    void drawReady();
    // The alarm state of `channel` changed; `code` 0 OK, 1 high, 2 low.
    void alarmChanged(int channel, int code, double value, bool alarm);
    // A tick of the internal timer when simulation is off.
    void internalTimer();
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
