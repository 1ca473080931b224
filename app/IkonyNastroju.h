#pragma once

#include <QIcon>

namespace zak {

// The pictures of the tool buttons, drawn in code so that the window needs no icon
// theme or image plugin. Qt derives the greyed image of a disabled button itself.
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
