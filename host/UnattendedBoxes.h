#pragma once

#include "ZenticMessageBox.h"

/**
 * While it lives, the house message boxes answer themselves, for the runs of the demo that
 * nobody watches (a screenshot run, the demo ending on a signal): what each box would say goes
 * to the log, and its default button is pressed, as Enter would. Installed through
 * ZenticMessageBox's answer guard, so guards made later (a scene's own) still answer first.
 * GUI thread.
 *
 *     UnattendedBoxes unattended;
 *     takeScreenshots();
 */
class UnattendedBoxes
{
public:
    UnattendedBoxes();
    UnattendedBoxes(const UnattendedBoxes&) = delete;
    UnattendedBoxes& operator=(const UnattendedBoxes&) = delete;

private:
    QAbstractButton* answer(ZenticMessageBox& box) const;

    ZenticMessageBox::AnswerGuard m_guard;
};
