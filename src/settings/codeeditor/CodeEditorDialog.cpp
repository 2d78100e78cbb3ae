#include "CodeEditorDialog.h"

#include "CodeEditorWidget.h"
#include "YamlSyntaxHighlighter.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QVBoxLayout>

CodeEditorDialog::CodeEditorDialog(const QString& text, QWidget* parent)
    : QDialog(parent)
    , editor(nullptr)
{
    auto* layout = new QVBoxLayout(this);
    editor = new CodeEditorWidget(this);
    editor->setMinimumWidth(800);
    editor->setMinimumHeight(600);
    new YamlSyntaxHighlighter(editor);
    layout->addWidget(editor);
    editor->setPlainText(text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    connect(buttons, SIGNAL(accepted()), this, SLOT(accept()));
    connect(buttons, SIGNAL(rejected()), this, SLOT(reject()));
    layout->addWidget(buttons);

    setWindowTitle(QCoreApplication::translate("QObject", "Edit the code"));
}

CodeEditorWidget* CodeEditorDialog::codeEditor() const
{
    return editor;
}

QString CodeEditorDialog::text() const
{
    return editor->document()->toPlainText();
}
