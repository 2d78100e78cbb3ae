#include "BaseGuiDevice.h"

#include "SharedConstants.h"

BaseGuiDevice::BaseGuiDevice()
{
    const QStringList noOptions;
    const QMap<QString, QStringList> noConditions;
    addParam(WidgetRowParam, QStringLiteral("-1"), noOptions, true, noConditions);
    addParam(WidgetColumnParam, QStringLiteral("-1"), noOptions, true, noConditions);
    addParam(WidgetRowspanParam, QStringLiteral("1"), noOptions, true, noConditions);
    addParam(WidgetColspanParam, QStringLiteral("1"), noOptions, true, noConditions);
    addParam(WidgetAreaParam, QStringLiteral("main"), noOptions, true, noConditions);
}

BaseGuiDevice::~BaseGuiDevice() = default;

QString BaseGuiDevice::getArea() const
{
    return getParam(WidgetAreaParam);
}

WidgetPosition BaseGuiDevice::getPosition() const
{
    WidgetPosition pos;
    pos.row = getParam(WidgetRowParam);
    pos.column = getParam(WidgetColumnParam);
    pos.rowspan = getParam(WidgetRowspanParam);
    pos.colspan = getParam(WidgetColspanParam);
    return pos;
}

void BaseGuiDevice::setArea(const QString& value)
{
    setParam(WidgetAreaParam, value);
}

void BaseGuiDevice::setPosition(WidgetPosition pos)
{
    setParam(WidgetRowParam, QString::number(pos.row));
    setParam(WidgetColumnParam, QString::number(pos.column));
    setParam(WidgetRowspanParam, QString::number(pos.rowspan));
    setParam(WidgetColspanParam, QString::number(pos.colspan));
}
