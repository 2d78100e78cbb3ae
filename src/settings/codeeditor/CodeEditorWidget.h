#pragma once

#include "dozerozozu_export.h"

#include <QPlainTextEdit>

class LineNumberAreaWidget;
class SyntaxFormatModel;

/**
 * Plain-text code editor with a line-number strip, a tab width, spaces or tabs
 * indentation, auto-indent on Enter and an indentation-aware Backspace.
 *
 * Owns its SyntaxFormatModel and picks "lightScheme" or "darkScheme" from its text
 * colour; attach a highlighter (JsSyntaxHighlighter, QmlSyntaxHighlighter,
 * YamlSyntaxHighlighter) after construction, then set the text. GUI thread only.
 *
 * Misuse (a tab width below 1) throws std::invalid_argument; the editor's own event
 * handlers never let that exception escape.
 */
class DOZEROZOZU_EXPORT CodeEditorWidget : public QPlainTextEdit
{
    Q_OBJECT
public:
    enum IndentType {
        Spaces = 0,
        Tabs = 1
    };

    explicit CodeEditorWidget(QWidget* parent = nullptr);

    /// Throws std::invalid_argument("Tab width must be >= 1") below 1, changing nothing.
    void setTabWidth(int width);
    int getTabWidth() const;
    void setIndentType(CodeEditorWidget::IndentType type);
    CodeEditorWidget::IndentType getIndentType() const;

    SyntaxFormatModel* syntaxFormatModel();
    LineNumberAreaWidget* lineNumberAreaWidget() const;
    /// Selects the light scheme for dark text (lightness up to 126), else the dark one.
    void loadFormatModelByTextColor();

    /// Columns of one indentation character: 1 for a space, the tab width for a tab.
    /// Throws std::invalid_argument for any other character.
    int getIndentLevelBySymbol(QChar symbol);
    /// Columns of the leading spaces and tabs of the cursor's line.
    int getIndentationSpaces();
    /// Columns before the cursor when only spaces and tabs stand there; 0 otherwise.
    int getIndentationSpacesBeforeCursor();

public Q_SLOTS:
    void updateViewport(int);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void updateLineNumberWidget(const QRect& rect, int dy);

private:
    friend class LineNumberAreaWidget;

    bool handleKeyPress(QKeyEvent* event);

    SyntaxFormatModel* formatModel;
    LineNumberAreaWidget* lineNumberArea;
    IndentType indentType = Spaces;
    int tabWidth = 4;
};
