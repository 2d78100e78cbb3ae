#pragma once

#include "dozerozozu_export.h"

#include <QWizard>

/**
 * The house wizard: classic style, an optional dark footer with the house's own Back (icon
 * only), Next, Finish and Cancel buttons sized for touch, and a window that fits itself to the
 * current page and centres itself on the primary screen whenever the page changes (unless it
 * is maximised, full screen or already rejected). Concrete wizards derive from it and add
 * pages. GUI thread only.
 *
 * A maximum width or height set on the wizard (before its first page change or between two)
 * bounds the size it fits itself to: a page that asks for more gets no more, and scrolls.
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
    /// The size centerWidget() fits the wizard to: the current page's wish within the limit.
    QSize fittedSize();

    QWidget* footer = nullptr;
    bool m_useFooter = false;
    bool rejected = false;
    // The maximum size the wizard's owner set, and the fixed size this wizard last set itself,
    // which hides that maximum from maximumSize() until the owner sets a new one.
    QSize sizeLimit = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QSize lastFittedSize;
};
