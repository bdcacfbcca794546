#include "calc/FrequencyTable.h"

namespace FrequencyTable {

namespace {

const Frequency* find(qint32 code)
{
    for (const Frequency& f : rows) {
        if (f.code == code)
            return &f;
    }
    return nullptr;
}

} // namespace

QString defaultText()
{
    return QString::fromLatin1(find(defaultCode)->text);
}

QStringList listTexts()
{
    QStringList texts;
    for (const Frequency& f : rows) {
        if (f.code != 0)
            texts << QString::fromLatin1(f.text);
    }
    return texts;
}

std::optional<qint32> codeOf(const QString& text)
{
    for (const Frequency& f : rows) {
        if (text == QLatin1String(f.text))
            return f.code;
    }
    return std::nullopt;
}

QString validated(const QString& text)
{
    return codeOf(text) ? text : defaultText();
}

int termDivisor(qint32 code)
{
    const Frequency* f = find(code);
    return f ? f->termDivisor : 24;
}

} // namespace FrequencyTable
