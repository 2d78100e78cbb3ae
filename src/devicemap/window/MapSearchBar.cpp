#include "MapSearchBar.h"

#include "DpiHelper.h"
#include "ScreenKeyboardDialog.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

MapSearchBar::MapSearchBar(QWidget* mapView)
    : QWidget(mapView)
    , searchLineEdit(new QLineEdit(this))
    , foundCounterLabel(new QLabel(QStringLiteral("0/0"), this))
    , closeSearchButton(new QPushButton(this))
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    // Translucent, so the map shows through where the bar covers it.
    QColor background = palette().color(QPalette::Window);
    background.setAlpha(70);
    setStyleSheet(QStringLiteral("background-color: #%0;").arg(background.rgba(), 8, 16, QLatin1Char('0')));

    searchLineEdit->setFixedWidth(int(DpiHelper::getScaledWidth(350)));
    searchLineEdit->setClearButtonEnabled(true);
    // The window's own context: the bar is part of the map window.
    searchLineEdit->setPlaceholderText(QCoreApplication::translate("DeviceMapWindow", "Search device..."));
    search = searchLineEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_search")), QLineEdit::LeadingPosition);
    next = searchLineEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_down")), QLineEdit::TrailingPosition);
    previous = searchLineEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_up")), QLineEdit::TrailingPosition);
    keyboard =
        searchLineEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_keyboard")), QLineEdit::TrailingPosition);
    connect(keyboard, &QAction::triggered, this, &MapSearchBar::typeWithKeyboard);

    const int iconSide = 2 * QApplication::font().pointSize();
    closeSearchButton->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_cancelX")));
    closeSearchButton->setIconSize(QSize(iconSide, iconSide));
    closeSearchButton->setStyleSheet(QStringLiteral(":hover {background-color: red}"));

    auto layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addWidget(searchLineEdit);
    layout->addWidget(foundCounterLabel);
    layout->addWidget(closeSearchButton);
    hide();
}

void MapSearchBar::open()
{
    show();
    raise();
    searchLineEdit->setFocus(Qt::OtherFocusReason);
    searchLineEdit->selectAll();
}

void MapSearchBar::typeWithKeyboard()
{
    QPointer<QLineEdit> field(searchLineEdit);
    bool ok = false;
    const QString text =
        ScreenKeyboardDialog::getText(nullptr, QObject::tr("Input value"), searchLineEdit->text(), {}, &ok);
    // The keyboard ran modally: the map, and this bar with it, may be gone.
    if (ok && field)
        field->setText(text);
}
