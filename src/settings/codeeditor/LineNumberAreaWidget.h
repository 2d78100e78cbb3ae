#pragma once

#include "dozerozozu_export.h"

#include <QWidget>

class CodeEditorWidget;

/**
 * The line-number strip in a CodeEditorWidget's left viewport margin; a child of the
 * editor it numbers, which creates it. The current line's number is drawn on a
 * highlight bar. GUI thread only.
 */
class DOZEROZOZU_EXPORT LineNumberAreaWidget : public QWidget
{
    Q_OBJECT
public:
    /// Throws std::invalid_argument when editor is null.
    explicit LineNumberAreaWidget(CodeEditorWidget* editor);

    /// Width for the decimal digits of the block count plus 25 pixels.
    int areaWidth() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CodeEditorWidget* editor;
};
