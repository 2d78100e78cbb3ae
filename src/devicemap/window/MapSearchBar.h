#pragma once

#include "dozerozozu_export.h"

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

/**
 * The search bar that floats over the top-left corner of the device map: the search field
 * with its search, next, previous and on-screen-keyboard actions, the hit counter ("0/0"
 * at first) and a close button. It only holds the controls; the device-map window connects
 * them to its search slots.
 *
 * A child of the map view, so it goes with the view; hidden when made. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapSearchBar : public QWidget
{
    Q_OBJECT

public:
    explicit MapSearchBar(QWidget* mapView);

    QLineEdit* lineEdit() const { return searchLineEdit; }
    QLabel* counterLabel() const { return foundCounterLabel; }
    QPushButton* closeButton() const { return closeSearchButton; }
    QAction* searchAction() const { return search; }
    QAction* nextAction() const { return next; }
    QAction* previousAction() const { return previous; }
    QAction* keyboardAction() const { return keyboard; }

    /// Shows the bar, focuses the field and selects its text.
    void open();
    /// Opens the on-screen keyboard on the field's text and puts the accepted text in.
    void typeWithKeyboard();

private:
    QLineEdit* searchLineEdit;
    QLabel* foundCounterLabel;
    QPushButton* closeSearchButton;
    QAction* search;
    QAction* next;
    QAction* previous;
    QAction* keyboard;
};
