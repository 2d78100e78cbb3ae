#pragma once

#include <QString>

/*
 * Texts shared by most source files of the library. Each source file that includes this
 * header gets its own copies, built at load time before any code of the library runs and
 * never modified. Compare with them or pass them on; never build these texts from pieces.
 */

// Device categories, as the framework files device types. Case-sensitive and exact.
static const QString CategoryGeneral = QStringLiteral("General");
static const QString CategorySystem = QStringLiteral("system");
static const QString CategoryConverters = QStringLiteral("converters");
static const QString CategoryDataProcessing = QStringLiteral("dataProcessing");
static const QString CategoryIO = QStringLiteral("IO");
static const QString CategorySensors = QStringLiteral("sensors");
static const QString CategoryBus = QStringLiteral("bus");
static const QString CategoryFilesystem = QStringLiteral("filesystem");
static const QString CategoryFilters = QStringLiteral("filters");
static const QString CategoryMaths = QStringLiteral("maths");
static const QString CategoryAlgorithms = QStringLiteral("algorithms");
static const QString CategoryDebug = QStringLiteral("debug");
static const QString CategoryLogic = QStringLiteral("logic");
static const QString CategoryString = QStringLiteral("string");
static const QString CategoryNetwork = QStringLiteral("network");
static const QString CategoryArray = QStringLiteral("array");
static const QString CategoryAudio = QStringLiteral("audio");
static const QString CategoryConstant = QStringLiteral("constant");
static const QString CategoryRos = QStringLiteral("ros");
// A constant of its own with the same text as CategoryGeneral, not an alias of it.
static const QString DefaultCategory = QStringLiteral("General");

// Device widgets.
/// Category of device types that have a user interface.
static const QString CategoryGui = QStringLiteral("GUI");
/// DeviceTypeInfo::kind of device types that provide a device widget.
static const QString WidgetKind = QStringLiteral("widget");
// Device parameters in which a device widget keeps its grid cell and dashboard area.
static const QString WidgetRowParam = QStringLiteral("widget/row");
static const QString WidgetColumnParam = QStringLiteral("widget/column");
static const QString WidgetRowspanParam = QStringLiteral("widget/rowspan");
static const QString WidgetColspanParam = QStringLiteral("widget/colspan");
static const QString WidgetAreaParam = QStringLiteral("widget/area");
