# The headers a host includes, by file name wherever they sit in src/, installed under
# include/DozeRozOZU; every other header of src/ is an internal helper and stays out.
#
# The rule that decides which headers are here:
#  1. The entry points a host starts from: the GUI device bases and the widget manager, the
#     device map's window and view, the settings editor, the configuration store, the wireless
#     status widget, the about dialog, and the house widgets and dialogs.
#  2. The classes a host uses to show or embed what the library offers: a device's settings
#     dialog and its panels, the log console, the templates panel, the connection dialog with
#     its static calls and answer guard, the meta-device wizard, the wireless list and its
#     password dialog.
#  3. Every class that a header of 1 or 2 (and so on, down to the last) names where a host
#     sees it: in a public or protected member, a base class, a property or an inline body,
#     included or forward-declared. That is how the map's items, the Operation base, the
#     code editor's line-number strip, the tolerance widgets and the wireless list's rows and
#     probe come to be public.
# What a public class keeps private (its collaborators, helpers, the meta-device file, yaml-cpp,
# QCustomPlot, Graphviz) it names only in private members, forward-declared, or behind a private
# implementation. A public header includes only public headers, the framework's and Qt's.
#
# Checked by package_PublicInterface (no public header shows an internal class, and every public
# class is exported and documented), by the build (every public header compiles first in a file
# of its own, see tests/CMakeLists.txt) and by package_Host (everything an installed header
# includes is installed, and a host outside the tree builds and runs against the installed tree).
set(DOZEROZOZU_PUBLIC_HEADERS
    # Configuration and shared types
    DozeRozOZUVersion.h
    Config.h
    Configurable.h
    LibraryTranslator.h
    SharedConstants.h
    SimpleCrypt.h
    Singleton.h
    YamlConfig.h
    # House widgets and touch input
    AboutDialog.h
    AdjustableCombobox.h
    AdjustableListView.h
    DpiHelper.h
    ElidedLabel.h
    ExpandingScrollArea.h
    HexSpinBox.h
    LabelWithTimer.h
    ModalRunner.h
    PopupWidget.h
    QtWaitingSpinner.h
    ToggleSwitch.h
    TouchScrollMaker.h
    VersionInfo.h
    ZenticDoubleSpinBox.h
    ZenticMessageBox.h
    ZenticWizard.h
    LineEditWithKeyboard.h
    NumpadDialog.h
    ScreenKeyboardDialog.h
    # Settings editor
    ConfigOption.h
    ConfigWidget.h
    ConfigWidgetDragHelper.h
    FileButton.h
    Notifier.h
    PickColorButton.h
    PickIconButton.h
    CodeEditorDialog.h
    CodeEditorWidget.h
    LineNumberAreaWidget.h
    JsSyntaxHighlighter.h
    QmlSyntaxHighlighter.h
    SyntaxFormatModel.h
    SyntaxFormatScheme.h
    SyntaxHighlighter.h
    YamlSyntaxHighlighter.h
    HeightToleranceDialog.h
    HeightToleranceWidget.h
    TolerancePalette.h
    TolerancePalettePicker.h
    TolerancePaletteWidget.h
    ToleranceValue.h
    ToleranceWidget.h
    # Device widget hosting and device panels
    BaseGuiDevice.h
    BaseWidget.h
    DeviceWidgetArea.h
    WidgetManager.h
    WidgetPosition.h
    DeviceConfigWidget.h
    ConsoleWidget.h
    DeviceInputWidget.h
    DeviceSignalsConsole.h
    DeviceSignalsGraph.h
    DeviceSignalsOutputWidget.h
    DeviceSlotsInputWidget.h
    SignalWindowStatistics.h
    # Device map view
    DeviceMapWidget.h
    DevicesArrangement.h
    ItemsConnection.h
    ClusterSettings.h
    Grid.h
    HoverableItem.h
    DeviceNodeItem.h
    DeviceConnectionItem.h
    ClusterRectItem.h
    # Device map edit operations
    Operation.h
    # Device map window and dialogs
    DeviceMapWindow.h
    MapSearchBar.h
    DeviceConnectionsDialog.h
    TemplatesWidget.h
    ExportMetaDeviceWizard.h
    # Wireless network interface
    ExternalWirelessNetworkWidget.h
    WirelessNetworkWidget.h
    WirelessNetworkPasswordDialog.h
    WirelessNetworkList.h
    ConnectivityMonitor.h
    Ping.h
)
