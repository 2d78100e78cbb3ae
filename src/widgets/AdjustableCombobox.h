#pragma once

#include "dozerozozu_export.h"

#include <QComboBox>

/**
 * A combo box as wide as its widest item text (measured with the application font). Its
 * minimum width follows the items each time the current index changes.
 */
class DOZEROZOZU_EXPORT AdjustableCombobox : public QComboBox
{
    Q_OBJECT

public:
    explicit AdjustableCombobox(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

private Q_SLOTS:
    void updateSize();
};
