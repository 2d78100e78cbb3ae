#pragma once

#include "dozerozozu_export.h"

#include <QLabel>

/**
 * A label that wraps long text character by character and ends it with an ellipsis when it
 * does not fit its height; while elided it turns orange under the mouse and a press toggles
 * between the full height of the text and its original height. Line feeds are shown as
 * blanks while collapsed. GUI thread only.
 */
class DOZEROZOZU_EXPORT ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QString text = QString(), QWidget* parent = nullptr);

    /// Replaces the full text; the label shows it at its next repaint and measures its
    /// collapsed height again.
    void setText(QString text);
    QString fullText() const;
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QStringList wrappedLines(const QString& text, int width, int maxHeight, bool* overflow) const;

    QString m_fullText;
    bool m_elided = false;
    int m_collapsedHeight = -1;
};
