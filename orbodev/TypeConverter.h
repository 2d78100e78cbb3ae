#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariant>

/**
 * Carries one link whose signal and slot differ in type: each from...() slot converts its
 * argument to the target type and emits the matching to...() signal. Owned by the device
 * manager, one per converted link. Internal to the framework.
 */
class TypeConverter : public QObject
{
    Q_OBJECT

public:
    TypeConverter(const QString& targetType, QObject* parent);

    /// The slot signature that accepts sourceType, e.g. "fromInt(int)"; empty when unsupported.
    static QString inputFor(const QString& sourceType);
    /// The signal signature that emits targetType, e.g. "toDouble(double)"; empty when unsupported.
    static QString outputFor(const QString& targetType);

public Q_SLOTS:
    void fromInt(int value);
    void fromDouble(double value);
    void fromBool(bool value);
    void fromString(QString value);
    void fromByteArray(QByteArray value);

Q_SIGNALS:
    void toInt(int value);
    void toDouble(double value);
    void toBool(bool value);
    void toString(QString value);
    void toByteArray(QByteArray value);

private:
    void forward(const QVariant& value);

    QString m_targetType;
};
