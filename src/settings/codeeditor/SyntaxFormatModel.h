#pragma once

#include "SyntaxFormatScheme.h"
#include "dozerozozu_export.h"

#include <QMap>
#include <QObject>
#include <QString>

/**
 * Named colour schemes for syntax highlighting with one current scheme.
 *
 * Every CodeEditorWidget owns one (as a QObject child) and selects "lightScheme" or
 * "darkScheme" from its own text colour; highlighters attached to the editor follow
 * `schemeSelected`. GUI thread only.
 *
 * Misuse (selecting a name that was never inserted) throws std::invalid_argument.
 */
class DOZEROZOZU_EXPORT SyntaxFormatModel : public QObject
{
    Q_OBJECT
public:
    static const QString LightScheme;
    static const QString DarkScheme;

    /// Builds and inserts the light and the dark scheme; "darkScheme" is current afterwards.
    explicit SyntaxFormatModel(QObject* parent = nullptr);

    /// Makes `name` current and stores `scheme` under it, replacing a scheme of that
    /// name. Emits nothing: highlighters keep their colours until the next selectScheme().
    void insertScheme(QString name, SyntaxFormatScheme scheme);
    /// Makes a stored scheme current and emits schemeSelected(), also when it already
    /// was current. Throws std::invalid_argument for a name that is not stored.
    void selectScheme(QString name);
    /// A copy of the current scheme; an empty scheme when none is stored under the current name.
    SyntaxFormatScheme currentScheme() const;
    QString currentName() const;
    QStringList schemeNames() const;

Q_SIGNALS:
    void schemeSelected(SyntaxFormatScheme scheme);

private:
    QMap<QString, SyntaxFormatScheme> schemes;
    QString currentSchemeName;
};
