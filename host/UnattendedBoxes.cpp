#include "UnattendedBoxes.h"

#include <QAbstractButton>
#include <QDebug>
#include <QPushButton>

UnattendedBoxes::UnattendedBoxes()
    : m_guard([this](ZenticMessageBox& box) { return answer(box); })
{
}

QAbstractButton* UnattendedBoxes::answer(ZenticMessageBox& box) const
{
    // The guard has taken the box's texts down as its caller gave them, before asking.
    qWarning().noquote() << "Demo: nobody to answer the box" << m_guard.titles().constLast() << "|"
                         << m_guard.texts().constLast() << "|" << m_guard.informativeTexts().constLast();
    if (QAbstractButton* chosen = box.defaultButton())
        return chosen;
    if (QAbstractButton* chosen = box.escapeButton())
        return chosen;
    return box.buttons().value(0);
}
