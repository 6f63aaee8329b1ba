// A text of the layers below the widgets (UTF-8) as the widgets hold it, and back.
#pragma once

#include <QString>
#include <string>

QString ToQt(const std::string &text);
std::string ToStd(const QString &text);
