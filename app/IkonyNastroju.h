#pragma once

#include <QIcon>

namespace zak {

// The pictures of the tool buttons: small SVG drawings in the program's resources,
// drawn at whatever size the screen asks for. Most have a greyed drawing of their own
// for a disabled button; where there is none, the style greys the normal one.
enum class Ikona {
    Novy,
    Otevrit,
    Ulozit,
    Tisk,
    NacistZZak,
    ZapsatDoZak,
    PosledniKlic,
    PridatKlic,
    SmazatKlic,
    Prerusit,
    InvertovatPatra,
};

QIcon ikonaNastroje(Ikona ikona);

}  // namespace zak
