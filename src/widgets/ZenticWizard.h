#pragma once

#include "dozerozozu_export.h"

#include <QWizard>

/**
 * The house wizard: classic style, an optional dark footer with the house's own Back (icon
 * only), Next, Finish and Cancel buttons sized for touch, and a window that fits itself to the
 * current page and centres itself on the primary screen whenever the page changes (unless it
 * is maximised, full screen or already rejected). Concrete wizards derive from it and add
 * pages. GUI thread only.
 */
class DOZEROZOZU_EXPORT ZenticWizard : public QWizard
{
    Q_OBJECT

public:
    explicit ZenticWizard(QWidget* parent = nullptr, bool useFooter = false);

    /// Shows or hides the footer band; the buttons chosen at construction stay.
    void useFooter(bool use);

    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private Q_SLOTS:
    void centerWidget();

private:
    QWidget* footer = nullptr;
    bool m_useFooter = false;
    bool rejected = false;
};
