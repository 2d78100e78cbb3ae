#pragma once

#include "dozerozozu_export.h"

#include <QDialog>

class CodeEditorWidget;

/**
 * Modal dialog around one CodeEditorWidget with YAML highlighting and Save and
 * Cancel buttons, titled "Edit the code". The settings option of the multi-line text
 * kind runs it for its text field and copies the text back on Save.
 *
 *     CodeEditorDialog dialog(edit->toPlainText(), edit);
 *     if (dialog.exec() == QDialog::Accepted)
 *         edit->setPlainText(dialog.text());
 */
class DOZEROZOZU_EXPORT CodeEditorDialog : public QDialog
{
    Q_OBJECT
public:
    CodeEditorDialog(const QString& text, QWidget* parent);

    CodeEditorWidget* codeEditor() const;
    QString text() const;

private:
    CodeEditorWidget* editor;
};
