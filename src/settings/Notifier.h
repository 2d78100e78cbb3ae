#pragma once

#include "dozerozozu_export.h"

#include <QObject>

/// Announces every change of one ConfigOption's editor. Shared by all copies of the
/// option (created without a parent, deleted with the last copy).
class DOZEROZOZU_EXPORT Notifier : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void paramChanged();
};
