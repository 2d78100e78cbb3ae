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
/// A failure's message shows at most this many characters of the parser's message (which may quote a long key).
constexpr int maxMessageText = 1000;
/**
 * Longer texts (in UTF-16 code units) are refused before parsing: device text of any real
 * graph is far shorter. The check before the framework's parser keeps nothing (about 3 MiB
 * whatever the text); what the framework's parser then takes is its own: the stand-in's, like
 * yaml-cpp's own load, about 40 to 90 bytes per byte of block or JSON device text, and 250 on
 * the densest YAML it accepts, so at most about 4 GiB at the cap.
 */
constexpr int maxTextLength = 16 * 1024 * 1024;

/// What a text holds, read without asking anyone.
struct Reading
{
    enum Failure { None, TooLong, Malformed };

    QList<DeviceInfo> devices;
    /// False for a text of a newer configuration version (its devices are read all the same).
    bool versionOk = true;
    Failure failure = None;
    /// Why a malformed text was refused: the parser's message.
    QString error;
};

/**
 * The devices of text, in order, without a message box. The text must be YAML within the
 * bounds of outside YAML (BoundedYaml::check(), which builds nothing) before the framework's
 * parser sees it, so that no text makes a framework run away whatever its parser does with
 * it; one that is not is Malformed.
 */
DOZEROZOZU_EXPORT Reading read(const QString& text);
/**
 * The devices of text, in order. A text that does not parse is reported in a message box
 * ("Corrupted configuration") and logged, and gives no device; a text of a newer
 * configuration version asks the user whether to go on, and gives no device unless Ok.
 * A text longer than maxTextLength is refused in a message box, unparsed.
 */
DOZEROZOZU_EXPORT QList<DeviceInfo> parse(QWidget* parent, const QString& text);

/**
 * whole, or its first length characters followed by an ellipsis: what a box or label shows of
 * a text that may be huge (a parser's message may quote a key of megabytes), since laying out
 * all of it would stall the window; the head still says where the trouble is.
 */
DOZEROZOZU_EXPORT QString head(const QString& whole, int length);

/// The device text of the descriptions: the version header, then each one serialised.
DOZEROZOZU_EXPORT QString compose(const QList<DeviceInfo>& infos);

} // namespace DeviceText
