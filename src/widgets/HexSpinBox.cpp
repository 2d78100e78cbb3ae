#include "HexSpinBox.h"

#include <limits>

namespace {

const QString hexPrefix = QStringLiteral("0x");

bool readsAsSignedDecimal(const QString& text, int* value)
{
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return false;
    if (value)
        *value = int(number);
    return true;
}

} // namespace

HexSpinBox::HexSpinBox(QWidget* parent, bool useDecimalBase)
    : QSpinBox(parent)
    , m_useDecimalBase(useDecimalBase)
{
    if (!m_useDecimalBase) {
        setPrefix(hexPrefix);
        setDisplayIntegerBase(16);
    }
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

QString HexSpinBox::withoutSuffix(const QString& text) const
{
    if (!suffix().isEmpty() && text.endsWith(suffix()))
        return text.left(text.size() - suffix().size());
    return text;
}

QValidator::State HexSpinBox::validate(QString& input, int& pos) const
{
    // A unit suffix is the spin box's own decoration, not part of the number.
    const QString number = withoutSuffix(input);
    const QString unit = input.mid(number.size());

    if (m_useDecimalBase) {
        const QString trimmed = number.trimmed();
        if (trimmed.isEmpty() || trimmed == QLatin1String("-") || trimmed == QLatin1String("+"))
            return QValidator::Intermediate;
        return readsAsSignedDecimal(trimmed, nullptr) ? QValidator::Acceptable : QValidator::Invalid;
    }

    QString copy = number;
    if (copy.startsWith(hexPrefix))
        copy.remove(0, hexPrefix.size());
    const int lengthBeforeTrim = copy.size();
    copy = copy.trimmed();
    pos = qMax(0, pos - (lengthBeforeTrim - copy.size()));
    if (copy.isEmpty())
        return QValidator::Intermediate;

    input = hexPrefix + copy.toUpper() + unit;
    pos = qMin(pos, input.size());
    bool ok = false;
    copy.toUInt(&ok, 16);
    return ok ? QValidator::Acceptable : QValidator::Invalid;
}

int HexSpinBox::valueFromText(const QString& text) const
{
    QString number = withoutSuffix(text).trimmed();
    if (m_useDecimalBase) {
        int value = 0;
        return readsAsSignedDecimal(number, &value) ? value : 0;
    }
    if (number.startsWith(hexPrefix))
        number.remove(0, hexPrefix.size());
    bool ok = false;
    const unsigned int pattern = number.toUInt(&ok, 16);
    return ok ? i(pattern) : 0;
}

QString HexSpinBox::textFromValue(int value) const
{
    if (m_useDecimalBase)
        return QString::number(value);
    return QString::number(u(value), 16).toUpper();
}

int HexSpinBox::i(unsigned int value) const
{
    return static_cast<int>(value);
}

unsigned int HexSpinBox::u(int value) const
{
    return static_cast<unsigned int>(value);
}

void HexSpinBox::useDecimalBase(bool val)
{
    m_useDecimalBase = val;
    const int keptValue = value();
    if (val) {
        setPrefix(QString());
        setDisplayIntegerBase(10);
    } else {
        setPrefix(hexPrefix);
        setDisplayIntegerBase(16);
    }
    setValue(keptValue);
    update();
}

bool HexSpinBox::getUseDecimalBase()
{
    return m_useDecimalBase;
}

void HexSpinBox::showEvent(QShowEvent* event)
{
    setFixedWidth(width());
    QSpinBox::showEvent(event);
}
