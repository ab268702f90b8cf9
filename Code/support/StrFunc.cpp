#include "support/StrFunc.h"

#include <QString>

std::string TStrFunc::AfterLast(const std::string &text, char separator)
{
    const size_t last = text.rfind(separator);
    return last == std::string::npos ? text : text.substr(last + 1);
}

bool TStrFunc::SameText(const std::string &a, const std::string &b)
{
    if (a == b)
        return true;
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                        Qt::CaseInsensitive) == 0;
}
