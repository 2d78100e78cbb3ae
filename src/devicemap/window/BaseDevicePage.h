#pragma once

#include "dozerozozu_export.h"

#include <QMap>
#include <QString>
#include <QWizardPage>

class DeviceNodeItem;
class QPushButton;
class QVBoxLayout;

/**
 * Common base of the export wizard's device pages: a page with its own copy of the
 * wizard's device items by name, a main layout once it has content, and the helpers both
 * kinds of page build their content with. Only the names are read; the items may go away
 * while the wizard is open.
 *
 * Owned by its wizard; GUI thread only.
 */
class DOZEROZOZU_EXPORT BaseDevicePage : public QWizardPage
{
public:
    BaseDevicePage(QMap<QString, DeviceNodeItem*> deviceItems, QWidget* parent = nullptr);

    /// Appends a finger-scrollable area to mainLayout and returns the vertical layout inside it.
    QVBoxLayout* createAndAddScrollLayout();

    /// A checkable, unfocusable push button, grey while unchecked and green while checked.
    static QPushButton* createCheckButton(const QString& text, const QString& objectName, QWidget* parent);
    /**
     * The name of the wizard field bound to a device's selection button: the device name,
     * except for names the wizard cannot take as they are ("fileName", which the save page
     * uses, a trailing "*", which QWizard reads as "mandatory", and names already starting
     * with the escape prefix), which become "device:<name>:".
     */
    static QString deviceFieldName(const QString& deviceName);

protected:
    QMap<QString, DeviceNodeItem*> deviceItems;
    QVBoxLayout* mainLayout = nullptr;
};
