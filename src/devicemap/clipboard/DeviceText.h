#pragma once

#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QString>

class QWidget;

/**
 * Device text, the YAML form in which devices leave and enter a map (clipboard, template and
 * dropped files): the framework's configuration-version header, then one serialised
 * DeviceInfo per device.
 *
 * Stateless; GUI thread (it may show message boxes, modal on parent).
 */
namespace DeviceText {

/// A failure's detailed text shows at most this many characters of the text.
constexpr int maxDetailedText = 100000;
/// Longer texts are refused before parsing: device text of any real graph is far shorter.
constexpr int maxTextLength = 16 * 1024 * 1024;

/**
 * The devices of text, in order. A text that does not parse is reported in a message box
 * ("Corrupted configuration") and logged, and gives no device; a text of a newer
 * configuration version asks the user whether to go on, and gives no device unless Ok.
 * A text longer than maxTextLength is refused in a message box, unparsed.
 */
DOZEROZOZU_EXPORT QList<DeviceInfo> parse(QWidget* parent, const QString& text);

/// The device text of the descriptions: the version header, then each one serialised.
DOZEROZOZU_EXPORT QString compose(const QList<DeviceInfo>& infos);

} // namespace DeviceText
