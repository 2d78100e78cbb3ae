#include "TemplatesWidget.h"

#include "DeviceMapWidget.h"
#include "DeviceText.h"
#include "ModalRunner.h"
#include "TemplateDescriptionFile.h"
#include "TemplateFiles.h"
#include "TemplateFileNames.h"
#include "TemplatePreview.h"
#include "ZenticMessageBox.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A template leaves the panel as a copy: the file stays where it is whatever the drop target does.
class TemplatesTreeView : public QTreeView
{
public:
    using QTreeView::QTreeView;

protected:
    void startDrag(Qt::DropActions supportedActions) override
    {
        Q_UNUSED(supportedActions)
        QTreeView::startDrag(Qt::CopyAction);
    }
};

QLabel* paneTitle(const QString& text)
{
    auto title = new QLabel(text);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setWordWrap(true);
    QFont font = title->font();
    font.setPixelSize(20);
    font.setWeight(QFont::Bold);
    title->setFont(font);
    return title;
}

QPushButton* headerButton(const QString& icon, const QString& toolTip, const QString& objectName)
{
    auto button = new QPushButton();
    button->setFixedSize(25, 25);
    button->setIcon(QIcon(icon));
    button->setToolTip(toolTip);
    button->setObjectName(objectName);
    return button;
}

} // namespace

TemplatesWidget::TemplatesWidget(DeviceMapWidget* map, QWidget* parent)
    : QWidget(parent)
    , mapWidget(map)
{
    auto splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(createTemplateFileSystemWidget());
    splitter->addWidget(createTemplateDesrciptionWidget());
    splitter->addWidget(createTemplatePreviewWidget());
    splitter->setSizes({300, 150, 300});
    auto layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
}

void TemplatesWidget::setDeviceMapWidget(DeviceMapWidget* map)
{
    mapWidget = map;
}

DeviceMapWidget* TemplatesWidget::deviceMapWidget() const
{
    return mapWidget;
}

QString TemplatesWidget::templatesDirectory()
{
    return TemplateFiles::directory();
}

void TemplatesWidget::setTemplatesDirectory(const QString& path)
{
    TemplateFiles::setDirectory(path);
}

QString TemplatesWidget::systemTemplatesDirectory()
{
    return TemplateFiles::systemDirectory();
}

void TemplatesWidget::setSystemTemplatesDirectory(const QString& path)
{
    TemplateFiles::setSystemDirectory(path);
}

QWidget* TemplatesWidget::createTemplateFileSystemWidget()
{
    auto pane = new QWidget();
    auto layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(paneTitle(tr("File system")));

    const QString directory = templatesDirectory();
    TemplateFiles::ensureDirectory();

    fileModel = new QFileSystemModel(pane);
    fileModel->setNameFilters({QStringLiteral("*.yml"), QStringLiteral("*.yaml")});
    fileModel->setNameFilterDisables(false);

    fileView = new TemplatesTreeView();
    fileView->setObjectName(QStringLiteral("templatesFileView"));
    fileView->setModel(fileModel);
    if (QFileInfo(directory).isDir()) {
        fileView->setRootIndex(fileModel->setRootPath(directory));
    } else {
        // Without the folder the model's root would be the whole file system.
        fileView->setModel(nullptr);
        auto missing = new QLabel(tr("The templates folder %1 can not be created.").arg(directory));
        missing->setWordWrap(true);
        layout->addWidget(missing);
    }
    fileView->setDragEnabled(true);
    fileView->setDragDropMode(QAbstractItemView::DragOnly);
    fileView->hideColumn(1);
    fileView->hideColumn(3);
    fileView->setColumnWidth(0, 240);
    fileView->setColumnWidth(2, 60);
    fileView->setMinimumSize(300, 200);
    fileView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    fileView->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(fileView);

    connect(fileView, SIGNAL(customContextMenuRequested(const QPoint &)), this,
            SLOT(onCustomContextMenu(const QPoint &)));
    if (fileView->selectionModel()) {
        connect(fileView->selectionModel(), SIGNAL(currentChanged(const QModelIndex, const QModelIndex)), this,
                SLOT(modelIndexChanged(const QModelIndex, const QModelIndex)));
    }
    return pane;
}

QWidget* TemplatesWidget::createTemplateDesrciptionWidget()
{
    auto pane = new QWidget();
    pane->setMinimumSize(300, 150);
    pane->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    auto layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 10, 0, 0);

    auto header = new QHBoxLayout();
    header->setContentsMargins(0, 0, 10, 0);
    descriptionTitle = paneTitle(tr("Description"));
    descriptionTitle->setObjectName(QStringLiteral("descriptionTitle"));
    confirmButton = headerButton(QStringLiteral(":/icons/dozerozozu_okay"), QString(),
                                 QStringLiteral("confirmDescriptionButton"));
    cancelButton = headerButton(QStringLiteral(":/icons/dozerozozu_cancel"), QString(),
                                QStringLiteral("cancelDescriptionButton"));
    confirmButton->hide();
    cancelButton->hide();
    header->addWidget(descriptionTitle);
    header->addWidget(confirmButton);
    header->addWidget(cancelButton);
    layout->addLayout(header);

    descriptionNotice = new QLabel();
    descriptionNotice->setObjectName(QStringLiteral("descriptionNotice"));
    descriptionNotice->setWordWrap(true);
    // The notice quotes the file: a key that looks like markup is shown, not rendered.
    descriptionNotice->setTextFormat(Qt::PlainText);
    descriptionNotice->hide();
    layout->addWidget(descriptionNotice);

    descriptionEditor = new QTextEdit();
    descriptionEditor->setObjectName(QStringLiteral("descriptionEditor"));
    descriptionEditor->setMinimumWidth(300);
    descriptionEditor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    descriptionEditor->setPlaceholderText(tr("Describe the template..."));
    descriptionEditor->setReadOnly(true);
    layout->addWidget(descriptionEditor);

    connect(confirmButton, SIGNAL(clicked()), this, SLOT(confirmDescriptionChanges()));
    connect(cancelButton, SIGNAL(clicked()), this, SLOT(cancelDescriptionChanges()));
    connect(descriptionEditor, SIGNAL(textChanged()), this, SLOT(descriptionChanged()));
    return pane;
}

QWidget* TemplatesWidget::createTemplatePreviewWidget()
{
    auto pane = new QWidget();
    pane->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    pane->setMinimumSize(300, 250);
    auto layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 10, 0, 0);

    auto header = new QHBoxLayout();
    header->setContentsMargins(0, 0, 10, 0);
    header->addWidget(paneTitle(tr("Preview")));
    QPushButton* zoomIn = headerButton(QStringLiteral(":/icons/dozerozozu_zoom_in"), tr("Increase zoom"),
                                       QStringLiteral("increasePreviewScaleButton"));
    QPushButton* reset = headerButton(QStringLiteral(":/icons/dozerozozu_resetScale"), tr("Reset zoom"),
                                      QStringLiteral("resetPreviewScaleButton"));
    QPushButton* zoomOut = headerButton(QStringLiteral(":/icons/dozerozozu_zoom_out"), tr("Decrease zoom"),
                                        QStringLiteral("decreasePreviewScaleButton"));
    header->addWidget(zoomIn);
    header->addWidget(reset);
    header->addWidget(zoomOut);
    layout->addLayout(header);

    previewView = new QGraphicsView();
    previewView->setObjectName(QStringLiteral("templatesPreview"));
    previewView->setMinimumSize(300, 200);
    previewView->setRenderHint(QPainter::Antialiasing, true);
    // A picture only: its items must not be dragged about or selected.
    previewView->setInteractive(false);
    previewView->setScene(new QGraphicsScene(previewView));
    previewView->installEventFilter(this);
    layout->addWidget(previewView);

    connect(zoomIn, SIGNAL(clicked()), this, SLOT(increasePreviewScale()));
    connect(reset, SIGNAL(clicked()), this, SLOT(resetPreviewScale()));
    connect(zoomOut, SIGNAL(clicked()), this, SLOT(decreasePreviewScale()));
    return pane;
}

void TemplatesWidget::modelIndexChanged(const QModelIndex current, const QModelIndex previous)
{
    Q_UNUSED(previous)
    // A preview still to come is for an earlier choice.
    ++previewRequest;
    const QString path = fileModel->filePath(current);
    // An unconfirmed edit is dropped with the selection.
    if (descriptionButtonsIsVisible())
        toggleDescriptionButtons();

    const QFileInfo file(path);
    if (!current.isValid() || !file.exists() || file.isDir()) {
        resetDescription();
        return;
    }

    // Read without a box, whatever the file holds: the panel says itself what is wrong.
    const TemplateDescriptionFile::Reading reading = TemplateDescriptionFile::read(path);
    // An unreadable file's reason is the description's own notice.
    QString devicesProblem;
    const QList<DeviceInfo> devices = reading.fault == TemplateDescriptionFile::Fault::Unreadable
                                          ? QList<DeviceInfo>()
                                          : templateDevices(reading.text, &devicesProblem);
    if (reading.fault == TemplateDescriptionFile::Fault::None && devicesProblem.isEmpty() && devices.isEmpty()) {
        // Nothing to insert: taken for a file that is no template, as a folder is.
        resetDescription();
        return;
    }
    showDescription(path, reading, devicesProblem);
    if (!mapWidget || devices.isEmpty()) {
        showPreview(DevicesArrangement());
        return;
    }
    // The layout's wait runs the host's timers, which may delete the window, and the tree and
    // its selection model with it, while Qt is still inside the click that chose the template:
    // the preview is laid out from the event loop, once that is over.
    QMetaObject::invokeMethod(
        this, [this, devices, request = previewRequest] { layOutPreview(devices, request); }, Qt::QueuedConnection);
}

void TemplatesWidget::layOutPreview(const QList<DeviceInfo>& devices, int request)
{
    if (request != previewRequest)
        return;
    const QPointer<TemplatesWidget> alive(this);
    const DevicesArrangement arrangement
        = mapWidget ? mapWidget->rearrangeDevicesFromInfos(devices, mapWidget->getCurrentLayoutType())
                    : DevicesArrangement();
    // The wait may see the window deleted, and this panel with it, or another template chosen.
    if (alive && request == previewRequest)
        showPreview(arrangement);
}

void TemplatesWidget::showPreview(const DevicesArrangement& arrangement)
{
    currentArrangement = arrangement;
    if (currentArrangement.isEmpty())
        clearPreview();
    else
        rebuildPreview();
}

QList<DeviceInfo> TemplatesWidget::templateDevices(const QString& text, QString* problem)
{
    const DeviceText::Reading reading = DeviceText::read(text);
    if (reading.failure != DeviceText::Reading::None)
        *problem = tr("The devices of the template can not be read: %1").arg(reading.error);
    return reading.devices;
}

void TemplatesWidget::resetDescription()
{
    ++previewRequest;
    shownTemplate.clear();
    descriptionTitle->setText(tr("Description"));
    descriptionNotice->clear();
    descriptionNotice->hide();
    descriptionEditor->setReadOnly(true);
    descriptionEditor->clear();
    savedDescription = descriptionEditor->toPlainText();
}

void TemplatesWidget::showDescription(const QString& path, const TemplateDescriptionFile::Reading& reading,
                                      const QString& devicesProblem)
{
    shownTemplate = path;
    descriptionTitle->setText(TemplateFileNames::title(QFileInfo(path).fileName()));
    // What keeps the description from being edited comes first; the devices' trouble is said
    // when the description itself is fine.
    const QString notice = reading.problem.isEmpty() ? devicesProblem : reading.problem;
    descriptionNotice->setText(DeviceText::head(notice, DeviceText::maxMessageText));
    descriptionNotice->setVisible(!notice.isEmpty());
    // Loaded while read-only, so that loading never shows the buttons.
    descriptionEditor->setReadOnly(true);
    descriptionEditor->setPlainText(reading.description);
    descriptionEditor->setReadOnly(!reading.editable);
    savedDescription = descriptionEditor->toPlainText();
}

void TemplatesWidget::rebuildPreview()
{
    previewFitted = true;
    TemplatePreview::draw(previewView->scene(), currentArrangement);
    previewView->fitInView(currentArrangement.boundingRect, Qt::KeepAspectRatio);
}

void TemplatesWidget::clearPreview()
{
    TemplatePreview::clear(previewView->scene());
}

void TemplatesWidget::increasePreviewScale()
{
    previewFitted = false;
    previewView->scale(1.25, 1.25);
}

void TemplatesWidget::decreasePreviewScale()
{
    previewFitted = false;
    previewView->scale(0.8, 0.8);
}

void TemplatesWidget::resetPreviewScale()
{
    previewFitted = true;
    previewView->fitInView(currentArrangement.boundingRect, Qt::KeepAspectRatio);
}

bool TemplatesWidget::eventFilter(QObject* watched, QEvent* event)
{
    // A template chosen while the panel was still being laid out would stay drawn for the
    // view's first, smaller size.
    if (watched == previewView && event->type() == QEvent::Resize && previewFitted)
        previewView->fitInView(currentArrangement.boundingRect, Qt::KeepAspectRatio);
    return QWidget::eventFilter(watched, event);
}

void TemplatesWidget::descriptionChanged()
{
    const bool edited = descriptionEditor->toPlainText() != savedDescription;
    if (!descriptionButtonsIsVisible() && !descriptionEditor->isReadOnly() && edited)
        toggleDescriptionButtons();
    else if (descriptionButtonsIsVisible() && !edited)
        toggleDescriptionButtons();
}

void TemplatesWidget::toggleDescriptionButtons()
{
    confirmButton->setVisible(confirmButton->isHidden());
    cancelButton->setVisible(cancelButton->isHidden());
}

bool TemplatesWidget::descriptionButtonsIsVisible()
{
    return !confirmButton->isHidden() || !cancelButton->isHidden();
}

void TemplatesWidget::cancelDescriptionChanges()
{
    descriptionEditor->setPlainText(savedDescription);
}

void TemplatesWidget::confirmDescriptionChanges()
{
    if (descriptionButtonsIsVisible())
        toggleDescriptionButtons();
    const QString text = descriptionEditor->toPlainText();
    QString error;
    if (shownTemplate.isEmpty() || !QFileInfo(shownTemplate).isFile())
        error = tr("The template is no longer there.");
    else
        TemplateDescriptionFile::write(shownTemplate, text, &error);
    if (!error.isEmpty()) {
        QPointer<TemplatesWidget> alive(this);
        reportFailure(tr("The description could not be saved."), error);
        // The edit stays, unsaved, with its buttons, to be saved again or cancelled.
        if (alive)
            descriptionChanged();
        return;
    }
    savedDescription = text;
}

void TemplatesWidget::onCustomContextMenu(const QPoint& pos)
{
    const QModelIndex index = fileView->indexAt(pos);
    if (index.row() < 0 || index.column() < 0 || !index.model())
        return;
    const QString path = fileModel->filePath(index);
    const QFileInfo file(path);
    if (!file.exists() || file.isDir() || TemplateFileNames::isSystemTemplate(path))
        return;

    QMenu menu;
    QAction* rename = menu.addAction(tr("Rename"));
    QAction* remove = menu.addAction(tr("Delete"));
    QPointer<TemplatesWidget> alive(this);
    QAction* chosen = ModalRunner::execMenu(&menu, fileView->viewport()->mapToGlobal(pos));
    if (!alive || !chosen)
        return;
    if (chosen == rename)
        renameTemplate(path);
    else if (chosen == remove)
        deleteTemplate(path);
    if (alive)
        fileView->setCurrentIndex(fileView->currentIndex());
}

void TemplatesWidget::renameTemplate(const QString& path)
{
    const QFileInfo file(path);
    bool ok = false;
    QPointer<TemplatesWidget> alive(this);
    const QString typed = ModalRunner::getText(this, tr("Rename file"), tr("File name:"), file.fileName(), &ok);
    if (!alive || !ok || typed.isEmpty())
        return;
    const QString fileName = TemplateFileNames::renamedFileName(typed);
    if (fileName.isEmpty()) {
        reportFailure(tr("The template was not renamed."), tr("A file name can not hold \"/\" or \"\\\"."));
        return;
    }
    const QString newPath = file.dir().filePath(fileName);
    if (newPath == path)
        return;
    if (QFileInfo::exists(newPath)) {
        reportFailure(tr("The template was not renamed."), tr("A file named %1 is there already.").arg(fileName));
        return;
    }
    QFile renamed(path);
    if (!renamed.rename(newPath)) {
        reportFailure(tr("The template was not renamed."), renamed.errorString());
        return;
    }
    if (path == shownTemplate) {
        clearPreview();
        resetDescription();
    }
}

void TemplatesWidget::deleteTemplate(const QString& path)
{
    QFile removed(path);
    if (!removed.remove()) {
        reportFailure(tr("The template was not deleted."), removed.errorString());
        return;
    }
    if (path == shownTemplate) {
        clearPreview();
        resetDescription();
    }
}

void TemplatesWidget::reportFailure(const QString& text, const QString& detail)
{
    ZenticMessageBox::warning(this, text, DeviceText::head(detail, DeviceText::maxMessageText));
}
