#include "forms/FaceSubstitutes.h"

#include <QFont>

#include <array>
#include <mutex>
#include <utility>

namespace forms {

namespace {

constexpr std::array<std::pair<const char*, const char*>, 8> kSubstitutes{{
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
}};

} // namespace

void installFaceSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const auto& [face, substitute] : kSubstitutes)
            QFont::insertSubstitution(QString::fromLatin1(face), QString::fromLatin1(substitute));
    });
}

} // namespace forms
