#pragma once

#include "DevicesArrangement.h"
#include "dozerozozu_export.h"

#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QWidget>

class DeviceMapWidget;
class QFileSystemModel;
class QGraphicsView;
class QLabel;
class QPushButton;
class QTextEdit;
class QTreeView;
namespace TemplateDescriptionFile {
struct Reading;
}

/**
 * The templates panel that the device-map window docks beside the map: the template files
 * (YAML device text) of templatesDirectory() in a tree, the selected template's description,
 * which the user may edit, and a preview of its devices laid out as the map would place them.
 * Templates are renamed and deleted from the tree's context menu and dragged onto the map,
 * which pastes them (the drag carries the file's URL; the map handles the drop).
 *
 * The panel never changes the device graph; it writes only the description inside a template
 * (TemplateDescriptionFile) and renames or deletes template files, reporting each failure in
 * a warning box and keeping the old state. Templates under the "system" link to the system's
 * own templates are neither renamed nor deleted.
 *
 * The map serves only to lay templates out for the preview; the panel forgets a map that is
 * deleted, and then shows descriptions without a preview. A chosen template's description
 * comes at once, its preview once its layout is done, from the event loop after the choice.
 * Owned by its parent (the window's dock); GUI thread only. Controls carry object names for
 * tests: "templatesFileView", "descriptionTitle", "descriptionEditor", "descriptionNotice",
 * "confirmDescriptionButton", "cancelDescriptionButton", "templatesPreview".
 */
class DOZEROZOZU_EXPORT TemplatesWidget : public QWidget
{
    Q_OBJECT

public:
    TemplatesWidget(DeviceMapWidget* map, QWidget* parent);

    /// The map used for previews; null leaves the panel without previews.
    void setDeviceMapWidget(DeviceMapWidget* map);
    DeviceMapWidget* deviceMapWidget() const;

    /// "<writable data location>/templates", or the one set below; made (with its "system"
    /// link) by the first panel.
    static QString templatesDirectory();
    /**
     * Has the panels made from now on, the map's template export and "Import template" use
     * path instead of "<writable data location>/templates"; empty goes back to that. A host
     * that runs a graph whose edits it does not keep points them at a folder of its own, so
     * that the user's templates are not written. GUI thread.
     */
    static void setTemplatesDirectory(const QString& path);
    /// The system's own templates, "/usr/share/rode2/templates" unless set otherwise (tests).
    static QString systemTemplatesDirectory();
    static void setSystemTemplatesDirectory(const QString& path);

protected:
    /// Fits the preview again when its view is resized, until the user zooms.
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void onCustomContextMenu(const QPoint& pos);
    void modelIndexChanged(const QModelIndex current, const QModelIndex previous);
    void increasePreviewScale();
    void decreasePreviewScale();
    void resetPreviewScale();
    void confirmDescriptionChanges();
    void cancelDescriptionChanges();
    void toggleDescriptionButtons();
    bool descriptionButtonsIsVisible();
    void descriptionChanged();

private:
    QWidget* createTemplateFileSystemWidget();
    QWidget* createTemplateDesrciptionWidget();
    QWidget* createTemplatePreviewWidget();

    /// No template shown: the title "Description", an empty read-only editor.
    void resetDescription();
    /// Title, description and the reason it can not be edited (or its devices read), for the template at path.
    void showDescription(const QString& path, const TemplateDescriptionFile::Reading& reading,
                         const QString& devicesProblem);
    /// The devices of a template's text, read without a message box; problem gets why they can not be read.
    static QList<DeviceInfo> templateDevices(const QString& text, QString* problem);
    /// Lays devices out for the preview, unless a later choice (request) has come meanwhile.
    void layOutPreview(const QList<DeviceInfo>& devices, int request);
    /// Makes arrangement the current one and draws it; an empty one clears the preview.
    void showPreview(const DevicesArrangement& arrangement);
    /// Draws the current arrangement; links to devices the template does not hold are skipped.
    void rebuildPreview();
    void clearPreview();
    void renameTemplate(const QString& path);
    void deleteTemplate(const QString& path);
    void reportFailure(const QString& text, const QString& detail);

    QTreeView* fileView = nullptr;
    QLabel* descriptionTitle = nullptr;
    QTextEdit* descriptionEditor = nullptr;
    QPushButton* confirmButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPointer<DeviceMapWidget> mapWidget;
    QGraphicsView* previewView = nullptr;
    DevicesArrangement currentArrangement;
    QString savedDescription;

    QFileSystemModel* fileModel = nullptr;
    QLabel* descriptionNotice = nullptr;
    /// The template whose description the editor holds; empty when none.
    QString shownTemplate;
    /// The preview shows the whole template: it is fitted again when its view is resized.
    bool previewFitted = true;
    /// Counts the choices made; a preview laid out for an earlier one is dropped.
    int previewRequest = 0;
};
