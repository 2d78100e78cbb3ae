#include "CodeEditorWidget.h"

#include "LineNumberAreaWidget.h"
#include "SyntaxFormatModel.h"

#include <QDebug>
#include <QKeyEvent>
#include <QTextBlock>

#include <stdexcept>

CodeEditorWidget::CodeEditorWidget(QWidget* parent)
    : QPlainTextEdit(parent)
    , formatModel(new SyntaxFormatModel(this))
    , lineNumberArea(new LineNumberAreaWidget(this))
{
    connect(this, SIGNAL(blockCountChanged(int)), this, SLOT(updateViewport(int)));
    connect(this, SIGNAL(updateRequest(const QRect&, int)), this, SLOT(updateLineNumberWidget(const QRect&, int)));

    QPalette selectionPalette = palette();
    selectionPalette.setBrush(QPalette::All, QPalette::HighlightedText, QBrush(Qt::lightGray, Qt::SolidPattern));
    setPalette(selectionPalette);

    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabWidth(4);
    setIndentType(Spaces);
    updateViewport(0);
    loadFormatModelByTextColor();
}

void CodeEditorWidget::setTabWidth(int width)
{
    if (width < 1)
        throw std::invalid_argument("Tab width must be >= 1");
    tabWidth = width;
    setTabStopDistance(QFontMetricsF(font()).horizontalAdvance(QString(width, QLatin1Char(' '))));
}

int CodeEditorWidget::getTabWidth() const
{
    return tabWidth;
}

void CodeEditorWidget::setIndentType(CodeEditorWidget::IndentType type)
{
    indentType = type;
}

CodeEditorWidget::IndentType CodeEditorWidget::getIndentType() const
{
    return indentType;
}

SyntaxFormatModel* CodeEditorWidget::syntaxFormatModel()
{
    return formatModel;
}

LineNumberAreaWidget* CodeEditorWidget::lineNumberAreaWidget() const
{
    return lineNumberArea;
}

void CodeEditorWidget::loadFormatModelByTextColor()
{
    const int lightness = palette().brush(QPalette::Current, QPalette::Text).color().lightness();
    formatModel->selectScheme(lightness <= 126 ? SyntaxFormatModel::LightScheme : SyntaxFormatModel::DarkScheme);
}

int CodeEditorWidget::getIndentLevelBySymbol(QChar symbol)
{
    if (symbol == QLatin1Char(' '))
        return 1;
    if (symbol == QLatin1Char('\t'))
        return tabWidth;
    throw std::invalid_argument("Symbol must be equal to \" \" or \"\\t\"");
}

namespace {

bool isIndentation(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

int CodeEditorWidget::getIndentationSpaces()
{
    const QString line = textCursor().block().text();
    int columns = 0;
    for (int i = 0; i < line.size() && isIndentation(line.at(i)); ++i)
        columns += getIndentLevelBySymbol(line.at(i));
    return columns;
}

int CodeEditorWidget::getIndentationSpacesBeforeCursor()
{
    const QTextCursor cursor = textCursor();
    const int position = cursor.positionInBlock();
    const QString line = cursor.block().text();
    int columns = 0;
    for (int i = position - 1; i >= 0; --i) {
        if (!isIndentation(line.at(i)))
            return 0;
        columns += getIndentLevelBySymbol(line.at(i));
    }
    return columns;
}

void CodeEditorWidget::keyPressEvent(QKeyEvent* event)
{
    // An exception must not unwind through Qt's event dispatch.
    try {
        if (handleKeyPress(event))
            return;
    } catch (const std::invalid_argument& error) {
        qWarning() << "CodeEditorWidget: key not handled:" << error.what();
    }
}

bool CodeEditorWidget::handleKeyPress(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab && indentType == Spaces && event->modifiers() == Qt::NoModifier) {
        insertPlainText(QString(tabWidth, QLatin1Char(' ')));
        return true;
    }

    const int spacesBeforeCursor = getIndentationSpacesBeforeCursor();
    if (indentType == Spaces && spacesBeforeCursor > 0 && event->key() == Qt::Key_Backspace) {
        int count = spacesBeforeCursor % tabWidth;
        if (count == 0)
            count = tabWidth;
        // Tabs count tabWidth columns but are one character: never reach past the line start.
        QTextCursor cursor = textCursor();
        count = qMin(count, cursor.positionInBlock());
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, count);
        cursor.removeSelectedText();
        return true;
    }

    const int indentation = getIndentationSpaces();
    QPlainTextEdit::keyPressEvent(event);

    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (indentType == Spaces)
            insertPlainText(QString(indentation, QLatin1Char(' ')));
        else
            insertPlainText(QString(indentation / tabWidth, QLatin1Char('\t')));
    }
    return true;
}

void CodeEditorWidget::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect contents = contentsRect();
    lineNumberArea->setGeometry(contents.left(), contents.top(), lineNumberArea->sizeHint().width(),
                                contents.height());
}

void CodeEditorWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        try {
            loadFormatModelByTextColor();
        } catch (const std::invalid_argument& error) {
            qWarning() << "CodeEditorWidget: colour scheme not changed:" << error.what();
        }
    }
    QPlainTextEdit::changeEvent(event);
}

void CodeEditorWidget::updateViewport(int)
{
    setViewportMargins(lineNumberArea->sizeHint().width(), 0, 0, 0);
}

void CodeEditorWidget::updateLineNumberWidget(const QRect& rect, int dy)
{
    if (dy != 0)
        lineNumberArea->scroll(0, dy);
    else
        lineNumberArea->update(0, rect.y(), lineNumberArea->sizeHint().width(), rect.height());
    if (rect.contains(viewport()->rect()))
        updateViewport(0);
}
