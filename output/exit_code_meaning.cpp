#include "output/exit_code_meaning.h"

namespace {

struct Meaning {
    std::uint32_t code;
    std::u16string_view text;
};

constexpr Meaning kMeanings[] = {
    {0xC0000005, u"Naruszenie dostępu do pamięci: program użył złego wskaźnika (np. NULL) albo wyszedł poza tablicę."},
    {0xC0000094, u"Dzielenie całkowite przez zero."},
    {0xC0000095, u"Przepełnienie przy dzieleniu całkowitym (np. INT_MIN / -1)."},
    {0xC00000FD, u"Przepełnienie stosu: zbyt głęboka (np. nieskończona) rekurencja albo za duża tablica lokalna."},
    {0xC000013A, u"Program przerwany klawiszami Ctrl+C."},
    {0xC000008E, u"Dzielenie zmiennoprzecinkowe przez zero."},
    {0xC000008C, u"Indeks tablicy poza zakresem."},
    {0xC000001D, u"Niedozwolona instrukcja procesora."},
    {0xC0000096, u"Instrukcja procesora niedozwolona dla programu."},
    {0xC0000374, u"Uszkodzona sterta: np. podwójne free albo zapis poza przydzieloną pamięcią."},
    {0xC0000409, u"Program przerwał się sam po wykryciu błędu, np. zapisu poza tablicą na stosie."},
    {0xC0000135, u"Brak biblioteki DLL potrzebnej programowi."},
    {0xC0000139, u"Biblioteka DLL nie ma funkcji potrzebnej programowi."},
    {0xC0000017, u"Zabrakło pamięci."},
    {0x80000003, u"Punkt przerwania (breakpoint) poza debuggerem."},
};

}  // namespace

std::u16string_view ExitCodeMeaning(std::uint32_t exitCode)
{
    for (const Meaning& meaning : kMeanings) {
        if (meaning.code == exitCode)
            return meaning.text;
    }
    return {};
}
