#include "SyntaxFormatModel.h"

#include <QBrush>
#include <QColor>

#include <stdexcept>

const QString SyntaxFormatModel::LightScheme = QStringLiteral("lightScheme");
const QString SyntaxFormatModel::DarkScheme = QStringLiteral("darkScheme");

namespace {

struct RoleStyle
{
    SyntaxFormatScheme::Role role;
    const char* lightColour;
    const char* darkColour;
    bool italic;
};

const RoleStyle roleStyles[] = {
    {SyntaxFormatScheme::Keyword, "#808000", "#45C6D6", true},
    {SyntaxFormatScheme::Number, "#000080", "#8A602C", false},
    {SyntaxFormatScheme::FunctionName, "#0055AF", "#4564D6", true},
    {SyntaxFormatScheme::PropertyName, "#800000", "#FF6AAD", false},
    {SyntaxFormatScheme::TypeQualifier, "#800080", "#FF8080", false},
    {SyntaxFormatScheme::StringLiteral, "#008000", "#D69545", false},
    {SyntaxFormatScheme::Comment, "#008000", "#797B7D", false},
};

QTextCharFormat makeFormat(const char* colourName, bool italic)
{
    QColor colour;
    colour.setNamedColor(QString::fromLatin1(colourName));
    QTextCharFormat format;
    format.setForeground(QBrush(colour, Qt::SolidPattern));
    // Set explicitly even when false, so a scheme overrides an italic font.
    format.setProperty(QTextFormat::FontItalic, italic);
    return format;
}

SyntaxFormatScheme buildScheme(bool dark)
{
    SyntaxFormatScheme scheme;
    for (const RoleStyle& style : roleStyles)
        scheme.setFormat(style.role, makeFormat(dark ? style.darkColour : style.lightColour, style.italic));
    return scheme;
}

} // namespace

SyntaxFormatModel::SyntaxFormatModel(QObject* parent)
    : QObject(parent)
{
    insertScheme(LightScheme, buildScheme(false));
    insertScheme(DarkScheme, buildScheme(true));
}

void SyntaxFormatModel::insertScheme(QString name, SyntaxFormatScheme scheme)
{
    currentSchemeName = name;
    schemes.insert(name, scheme);
}

void SyntaxFormatModel::selectScheme(QString name)
{
    const auto it = schemes.constFind(name);
    if (it == schemes.constEnd())
        throw std::invalid_argument("Can`t retrieve scheme with passed name");
    currentSchemeName = name;
    Q_EMIT schemeSelected(it.value());
}

SyntaxFormatScheme SyntaxFormatModel::currentScheme() const
{
    return schemes.value(currentSchemeName);
}

QString SyntaxFormatModel::currentName() const
{
    return currentSchemeName;
}

QStringList SyntaxFormatModel::schemeNames() const
{
    return schemes.keys();
}
