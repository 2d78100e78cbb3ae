#include "ConnectionMetaMethod.h"

bool ConnectionMetaMethod::isValid() const
{
    return !name.isEmpty() && !parameterTypes.isEmpty();
}

QString ConnectionMetaMethod::signature() const
{
    if (parameterTypes == QLatin1String("void"))
        return name + QStringLiteral("()");
    return QStringLiteral("%1(%2)").arg(name, parameterTypes);
}
