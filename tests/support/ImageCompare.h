#pragma once

class QImage;

namespace testsupport {

// The share (0 to 1) of pixels whose red, green or blue differ by more than
// `channelTolerance` between two pictures; 1 when their sizes differ. Fonts and antialiasing
// vary a little between machines, so reference pictures are compared with a tolerance.
double differingShare(const QImage& a, const QImage& b, int channelTolerance);

// The number of pixels clearly darker than a light grey or white face: a meter's scale, ticks,
// labels and needle.
int darkPixels(const QImage& image);

} // namespace testsupport
