#!/bin/sh
# Writes the designed states of the two meters of the instantaneous-values window.
# Usage: make-meter-designs.sh <folder holding meterctl and GAUGEKIT.so>
set -eu
bin=${1:?folder of meterctl}
here=$(cd "$(dirname "$0")" && pwd)
BRISORA_REGISTRY=$(mktemp -d)/registry.json
export BRISORA_REGISTRY
"$bin/meterctl" register --module "$bin/GAUGEKIT.so"

grey=0xC0C0C0
common="PlotBackgroundColor=$grey WindowBorderColor=$grey WindowBackgroundColor=$grey
  MeterBorderColor=$grey WindowBorderStyle=3 MeterArcEnable=False MeterAlarmArcsEnable=False
  MeterStartArc=135 MeterStopArc=45 MeterHighAlarmStart=0 MeterHighAlarmStop=0
  MeterLowAlarmStart=0 MeterLowAlarmStop=0 MeterTickLabelsPosition=4 MeterTickLabelsSize=9
  MeterInitialValue=0 TitleString[1]= TitleString[2]= TitleColor[1]=0 TitleColor[2]=0
  TitleFontSize[0]=9 TitleFontSize[1]=6 TitleFontSize[2]=4
  MeterChannelColor[0]=0x800000 MeterChannelColor[2]=0x000080 MeterChannelColor[3]=0x00FFFF
  MeterChannelColor[4]=0x808000"

# shellcheck disable=SC2086
"$bin/meterctl" save "$here/rtmHumedad.ser" --extent 6853x4260 $common \
  WindowBorderThickness=1 MeterBorderThickness=1 MeterCenterY=0.4 \
  MeterLineColor=0x0000FF "TitleString[0]=%" TitleColor[0]=0x0000FF \
  MeterChannelColor[1]=0x0000FF
# shellcheck disable=SC2086
"$bin/meterctl" save "$here/rtmPresion.ser" --extent 6853x4260 $common \
  WindowBorderThickness=0 MeterBorderThickness=0 MeterCenterY=0.5 \
  MeterLineColor=0xA00000 TitleString[0]=KPa TitleColor[0]=0xA00000 \
  MeterChannelColor[1]=0xFF0000
"$bin/meterctl" unregister --module "$bin/GAUGEKIT.so"
rm -rf "$(dirname "$BRISORA_REGISTRY")"
