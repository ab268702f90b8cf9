#include "support/StrFunc.h"

#include <QString>
#include <algorithm>

std::string TStrFunc::AfterLast(const std::string &text, char separator)
{
    const size_t last = text.rfind(separator);
    return last == std::string::npos ? text : text.substr(last + 1);
}

std::string TStrFunc::Trim(const std::string &text)
{
    const auto isBlankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlankOrControl(text[first]))
        ++first;
    while (last > first && isBlankOrControl(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

namespace {

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameAsciiText(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

} // namespace

bool TStrFunc::SameText(const std::string &a, const std::string &b)
{
    if (a == b)
        return true;
    const QString textA = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString textB = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    // Bytes that are not UTF-8 would all decode to the same replacement character, making
    // different texts equal; such texts are compared byte by byte, ignoring ASCII letter case.
    if (textA.toUtf8().toStdString() != a || textB.toUtf8().toStdString() != b)
        return SameAsciiText(a, b);
    return textA.compare(textB, Qt::CaseInsensitive) == 0;
}
