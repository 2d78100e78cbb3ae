#include "LineNumberAreaWidget.h"

#include "CodeEditorWidget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <cmath>
#include <stdexcept>

namespace {

CodeEditorWidget* requireEditor(CodeEditorWidget* editor)
{
    if (!editor)
        throw std::invalid_argument("Pointer to text edit area MUST be a valid pointer");
    return editor;
}

} // namespace

LineNumberAreaWidget::LineNumberAreaWidget(CodeEditorWidget* editor)
    : QWidget(requireEditor(editor))
    , editor(editor)
{
}

int LineNumberAreaWidget::areaWidth() const
{
    const int digits = int(std::floor(std::log(double(qMax(1, editor->blockCount()))) / std::log(10.0) + 1));
    return digits * QFontMetrics(editor->font()).horizontalAdvance(QLatin1Char('9')) + 25;
}

QSize LineNumberAreaWidget::sizeHint() const
{
    return QSize(areaWidth(), 0);
}

void LineNumberAreaWidget::paintEvent(QPaintEvent* event)
{
    const QPalette& palette = editor->palette();
    const int lineHeight = QFontMetrics(editor->font()).height();
    const int width = sizeHint().width();
    const QRect area = event->rect();

    QPainter painter(this);
    painter.fillRect(area, palette.color(QPalette::Current, QPalette::Base));

    QTextBlock block = editor->firstVisibleBlock();
    int number = block.blockNumber();
    int top = qRound(editor->blockBoundingRect(block).top() + editor->contentOffset().y());
    int bottom = top + qRound(editor->blockBoundingRect(block).height());
    const int current = editor->textCursor().blockNumber();

    while (block.isValid() && top <= area.bottom()) {
        if (block.isVisible() && bottom >= area.top()) {
            painter.setPen(palette.color(QPalette::Current, QPalette::Text));
            if (number == current) {
                const QColor highlight = palette.color(QPalette::Current, QPalette::Highlight);
                painter.setPen(highlight);
                painter.setBrush(QBrush(highlight, Qt::SolidPattern));
                painter.drawRect(0, top, width, lineHeight);
                painter.setPen(palette.color(QPalette::Current, QPalette::HighlightedText));
            }
            painter.drawText(0, top, width - 10, lineHeight, Qt::AlignRight, QString::number(number + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + qRound(editor->blockBoundingRect(block).height());
        ++number;
    }
}
