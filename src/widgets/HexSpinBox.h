#pragma once

#include "dozerozozu_export.h"

#include <QSpinBox>

/**
 * A spin box for 32-bit values shown either in decimal or in hexadecimal with a "0x" prefix.
 * In hexadecimal the value is shown as its unsigned 32-bit pattern (-1 shows as 0xFFFFFFFF)
 * and typed text is upper-cased. The range is the whole signed 32-bit range unless the user
 * narrows it. Switching the base never changes the value. GUI thread only.
 */
class DOZEROZOZU_EXPORT HexSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    HexSpinBox(QWidget* parent = nullptr, bool useDecimalBase = false);

    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;

    /// Reinterprets a 32-bit pattern as signed, bit for bit.
    int i(unsigned int value) const;
    /// Reinterprets a signed 32-bit value as its unsigned pattern, bit for bit.
    unsigned int u(int value) const;

public Q_SLOTS:
    /// true: decimal without prefix; false: hexadecimal with "0x". Keeps the value.
    void useDecimalBase(bool val);
    bool getUseDecimalBase();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString withoutSuffix(const QString& text) const;

    bool m_useDecimalBase;
};
