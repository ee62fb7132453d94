#include "bench/sample_source.h"

namespace {

std::u16string Number(unsigned value)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

// One function of about fifteen lines.
std::u16string Function(unsigned index)
{
    const std::u16string n = Number(index);
    std::u16string f;
    if (index % 40 == 0)
        f += u"//--?" + Number(index / 40 % 19 / 10) + Number(index / 40 % 19 % 10) + u"\r\n";
    f += u"/* krok " + n + u": zażółć gęślą jaźń */\r\n";
    f += u"static int krok_" + n + u"(int a, int b)\r\n{\r\n";
    f += u"    int suma = a + b;\r\n";
    f += u"    for (int i = 0; i < " + Number(index % 97 + 3) + u"; ++i) {\r\n";
    f += u"        if (i % 2)\r\n";
    f += u"            suma += i;\r\n";
    f += u"        else\r\n";
    f += u"            suma -= b;\r\n";
    f += u"    }\r\n";
    f += u"    tab[" + Number(index % 64) + u"] = suma;\r\n";
    f += u"    return suma;\r\n}\r\n\r\n";
    return f;
}

}  // namespace

std::u16string SampleCSource(std::size_t units)
{
    std::u16string source = u"#include <stdio.h>\r\n\r\nstatic int tab[64];\r\n\r\n";
    for (unsigned index = 0; source.size() < units; ++index)
        source += Function(index);
    const std::size_t lastBreak = source.rfind(u"\r\n", units);
    source.resize(lastBreak == std::u16string::npos ? 0 : lastBreak + 2);
    return source;
}
