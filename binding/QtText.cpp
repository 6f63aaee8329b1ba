#include "binding/QtText.h"

QString ToQt(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString &text)
{
    return text.toUtf8().toStdString();
}
