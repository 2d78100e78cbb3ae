#include "TypeConverter.h"

TypeConverter::TypeConverter(const QString& targetType, QObject* parent)
    : QObject(parent)
    , m_targetType(targetType)
{
}

QString TypeConverter::inputFor(const QString& sourceType)
{
    if (sourceType == QLatin1String("int"))
        return QStringLiteral("fromInt(int)");
    if (sourceType == QLatin1String("double"))
        return QStringLiteral("fromDouble(double)");
    if (sourceType == QLatin1String("bool"))
        return QStringLiteral("fromBool(bool)");
    if (sourceType == QLatin1String("QString"))
        return QStringLiteral("fromString(QString)");
    if (sourceType == QLatin1String("QByteArray"))
        return QStringLiteral("fromByteArray(QByteArray)");
    return QString();
}

QString TypeConverter::outputFor(const QString& targetType)
{
    if (targetType == QLatin1String("int"))
        return QStringLiteral("toInt(int)");
    if (targetType == QLatin1String("double"))
        return QStringLiteral("toDouble(double)");
    if (targetType == QLatin1String("bool"))
        return QStringLiteral("toBool(bool)");
    if (targetType == QLatin1String("QString"))
        return QStringLiteral("toString(QString)");
    if (targetType == QLatin1String("QByteArray"))
        return QStringLiteral("toByteArray(QByteArray)");
    return QString();
}

void TypeConverter::fromInt(int value) { forward(value); }
void TypeConverter::fromDouble(double value) { forward(value); }
void TypeConverter::fromBool(bool value) { forward(value); }
void TypeConverter::fromString(QString value) { forward(value); }
void TypeConverter::fromByteArray(QByteArray value) { forward(value); }

void TypeConverter::forward(const QVariant& value)
{
    if (m_targetType == QLatin1String("int"))
        Q_EMIT toInt(value.type() == QVariant::Double ? qRound(value.toDouble()) : value.toInt());
    else if (m_targetType == QLatin1String("double"))
        Q_EMIT toDouble(value.toDouble());
    else if (m_targetType == QLatin1String("bool"))
        Q_EMIT toBool(value.type() == QVariant::String ? value.toString().trimmed() == QLatin1String("true")
                                                           || value.toString().trimmed() == QLatin1String("1")
                                                       : value.toBool());
    else if (m_targetType == QLatin1String("QString"))
        Q_EMIT toString(value.type() == QVariant::ByteArray ? QString::fromUtf8(value.toByteArray()) : value.toString());
    else if (m_targetType == QLatin1String("QByteArray"))
        Q_EMIT toByteArray(value.type() == QVariant::String ? value.toString().toUtf8() : value.toByteArray());
}
