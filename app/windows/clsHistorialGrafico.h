#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// The archived readings of a span of time, one slot a second as the strip chart takes its
// samples: NaN where a second has no reading. The series starts at the span's first reading,
// so a chart that takes it begins with data; it runs up to the span's end.
class clsHistorialGrafico {
public:
    std::vector<double> darrHumedad;
    std::vector<double> darrPresion;

    bool bVacio() const { return darrHumedad.empty(); }

    // Readings with lDesdeMs <= time < lHastaMs from the archive at strRuta. Empty when the
    // archive is missing or cannot be read: a chart without history is no failure.
    static clsHistorialGrafico objfntLee(const QString& strRuta, qint64 lDesdeMs, qint64 lHastaMs);
    // From the archive the console writes (none when archiving is off).
    static clsHistorialGrafico objfntDelArchivo(qint64 lDesdeMs, qint64 lHastaMs);
};
