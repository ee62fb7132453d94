#include "bench/sample_source.h"

#include "text/decimal_text.h"

namespace {

// One function of about fifteen lines.
std::u16string Function(unsigned index)
{
    const std::u16string n = DecimalText(index);
    std::u16string f;
    if (index % 40 == 0)
        f += u"//--?" + DecimalText(index / 40 % 19 / 10) + DecimalText(index / 40 % 19 % 10) + u"\r\n";
    f += u"/* krok " + n + u": zażółć gęślą jaźń */\r\n";
    f += u"static int krok_" + n + u"(int a, int b)\r\n{\r\n";
    f += u"    int suma = a + b;\r\n";
    f += u"    for (int i = 0; i < " + DecimalText(index % 97 + 3) + u"; ++i) {\r\n";
    f += u"        if (i % 2)\r\n";
    f += u"            suma += i;\r\n";
    f += u"        else\r\n";
    f += u"            suma -= b;\r\n";
    f += u"    }\r\n";
    f += u"    tab[" + DecimalText(index % 64) + u"] = suma;\r\n";
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
