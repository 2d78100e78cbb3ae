<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Version number: </source>
        <translation>Номер версии: </translation>
    </message>
    <message>
        <source>Commit number: </source>
        <translation>Номер коммита: </translation>
    </message>
    <message>
        <source>Build date: </source>
        <translation>Дата сборки: </translation>
    </message>
    <message>
        <source>Package type: </source>
        <translation>Тип пакета: </translation>
    </message>
    <message>
        <source>Copy version information</source>
        <translation>Скопировать сведения о версии</translation>
    </message>
    <message>
        <source>Success!</source>
        <translation>Готово!</translation>
    </message>
    <message>
        <source>Version information copied to clipboard.</source>
        <translation>Сведения о версии скопированы в буфер обмена.</translation>
    </message>
</context>
<context>
    <name>ConfigWidget</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Restart required.</source>
        <translation>Требуется перезапуск.</translation>
    </message>
    <message>
        <source>Some of the made changes will only be applied after restart.</source>
        <translation>Часть изменений вступит в силу только после перезапуска.</translation>
    </message>
</context>
<context>
    <name>ConnectionActivity</name>
    <message>
        <source>Dashed line per emit</source>
        <translation>Пунктир по сигналу</translation>
    </message>
    <message>
        <source>Dashed line per time</source>
        <translation>Пунктир по времени</translation>
    </message>
    <message>
        <source>Color line per time</source>
        <translation>Цветная линия по времени</translation>
    </message>
    <message>
        <source>Not active</source>
        <translation>Неактивно</translation>
    </message>
</context>
<context>
    <name>ConnectionStyledDelegate</name>
    <message>
        <source>autoconvert</source>
        <translation>автопреобразование</translation>
    </message>
</context>
<context>
    <name>DeviceConfigWidget</name>
    <message>
        <source>Disabled</source>
        <translation>Отключено</translation>
    </message>
    <message>
        <source>The device %1 does not exist.</source>
        <translation>Устройство %1 не существует.</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>The device is disabled - perhaps network connection to it is lost or is it an unrecognized device.</source>
        <translation>Устройство отключено - возможно, потеряно сетевое соединение с ним или это нераспознанное устройство.</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Вывод</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Ввод</translation>
    </message>
    <message>
        <source>Initialised with error</source>
        <translation>Инициализировано с ошибкой</translation>
    </message>
    <message>
        <source>Initialised</source>
        <translation>Инициализировано</translation>
    </message>
    <message>
        <source>Initialisation failed</source>
        <translation>Ошибка инициализации</translation>
    </message>
    <message>
        <source>Deinitialised</source>
        <translation>Деинициализировано</translation>
    </message>
    <message>
        <source>The device %1 was removed.</source>
        <translation>Устройство %1 удалено.</translation>
    </message>
</context>
<context>
    <name>DeviceConnectionsDialog</name>
    <message>
        <source>Edit connection</source>
        <translation>Изменить связь</translation>
    </message>
    <message>
        <source>Display types</source>
        <translation>Показывать типы</translation>
    </message>
    <message>
        <source>Possible conversion</source>
        <translation>Возможное преобразование</translation>
    </message>
    <message>
        <source>Input text</source>
        <translation>Введите текст</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Поиск...</translation>
    </message>
    <message>
        <source>The connection is disabled - perhaps network connection to it is lost
or the connection may contain an unrecognized device.</source>
        <translation>Связь отключена - возможно, потеряно сетевое соединение
или связь содержит нераспознанное устройство.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>DeviceInputWidget</name>
    <message>
        <source>Send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Ложь</translation>
    </message>
    <message>
        <source>True</source>
        <translation>Истина</translation>
    </message>
    <message>
        <source>Input text</source>
        <translation>Введите текст</translation>
    </message>
    <message>
        <source>Enter text...</source>
        <translation>Введите текст...</translation>
    </message>
    <message>
        <source>Hex: 00 FF...</source>
        <translation>Hex: 00 FF...</translation>
    </message>
    <message>
        <source>(no input control)</source>
        <translation>(нет элемента ввода)</translation>
    </message>
</context>
<context>
    <name>DeviceMapWidget</name>
    <message>
        <source>Device map</source>
        <translation>Карта устройств</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Add connection</source>
        <translation>Добавить связь</translation>
    </message>
    <message>
        <source>Shift+Click</source>
        <translation>Shift+щелчок</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Export meta device</source>
        <translation>Экспорт мета-устройства</translation>
    </message>
    <message>
        <source>Export template</source>
        <translation>Экспорт шаблона</translation>
    </message>
    <message>
        <source>Initialise</source>
        <translation>Инициализировать</translation>
    </message>
    <message>
        <source>Deinitialise</source>
        <translation>Деинициализировать</translation>
    </message>
    <message>
        <source>Create cluster</source>
        <translation>Создать кластер</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Add bending point</source>
        <translation>Добавить точку изгиба</translation>
    </message>
    <message>
        <source>Remove bending point</source>
        <translation>Удалить точку изгиба</translation>
    </message>
    <message>
        <source>Remove connection</source>
        <translation>Удалить связь</translation>
    </message>
    <message>
        <source>New device</source>
        <translation>Новое устройство</translation>
    </message>
    <message>
        <source>Rearrange layout</source>
        <translation>Перестроить расположение</translation>
    </message>
    <message>
        <source>Orthogonal</source>
        <translation>Ортогональное</translation>
    </message>
    <message>
        <source>Hierarchical</source>
        <translation>Иерархическое</translation>
    </message>
    <message>
        <source>Clustered</source>
        <translation>По кластерам</translation>
    </message>
    <message>
        <source>Cluster by GUI Area</source>
        <translation>Кластеры по областям интерфейса</translation>
    </message>
    <message>
        <source>Keep existing clusters</source>
        <translation>Сохранить существующие кластеры</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Device is initialized </source>
        <translation>Устройство инициализировано </translation>
    </message>
    <message>
        <source>Device deinitialized with an error </source>
        <translation>Устройство деинициализировано с ошибкой </translation>
    </message>
    <message>
        <source>Device deinitialized without an error </source>
        <translation>Устройство деинициализировано без ошибки </translation>
    </message>
    <message>
        <source>Can&apos;t connect </source>
        <translation>Соединение невозможно </translation>
    </message>
    <message>
        <source>Auto connection </source>
        <translation>Автоматическое соединение </translation>
    </message>
    <message>
        <source>Manual connection </source>
        <translation>Ручное соединение </translation>
    </message>
    <message>
        <source>Match </source>
        <translation>Совпадение </translation>
    </message>
    <message>
        <source>No match </source>
        <translation>Нет совпадения </translation>
    </message>
    <message>
        <source>Current device </source>
        <translation>Текущее устройство </translation>
    </message>
    <message>
        <source>No network device manager </source>
        <translation>Без сетевого менеджера устройств </translation>
    </message>
    <message>
        <source>Switch legend </source>
        <translation>Сменить легенду </translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Horizontal scroll </source>
        <translation>Горизонтальная прокрутка </translation>
    </message>
    <message>
        <source>Long click </source>
        <translation>Долгое нажатие </translation>
    </message>
    <message>
        <source>Device/connection settings </source>
        <translation>Настройки устройства/связи </translation>
    </message>
    <message>
        <source>Connect devices </source>
        <translation>Соединить устройства </translation>
    </message>
    <message>
        <source>Corrupted configuration</source>
        <translation>Поврежденная конфигурация</translation>
    </message>
    <message>
        <source>The device configuration file is corrupted: %0</source>
        <translation>Файл конфигурации устройств поврежден: %0</translation>
    </message>
    <message>
        <source>Unsupported version</source>
        <translation>Неподдерживаемая версия</translation>
    </message>
    <message>
        <source>Pasted configuration version exceeds the current one, do you want to continue?</source>
        <translation>Версия вставляемой конфигурации выше текущей, продолжить?</translation>
    </message>
    <message>
        <source>Cluster name</source>
        <translation>Имя кластера</translation>
    </message>
    <message>
        <source>Input name:</source>
        <translation>Введите имя:</translation>
    </message>
    <message>
        <source>Create cluster...</source>
        <translation>Создать кластер...</translation>
    </message>
    <message>
        <source>Move template</source>
        <translation>Переместить шаблон</translation>
    </message>
    <message>
        <source>Rearrange</source>
        <translation>Перестроить</translation>
    </message>
    <message>
        <source>Are you sure you want to rearrange layout without clusters?</source>
        <translation>Вы действительно хотите перестроить расположение без кластеров?</translation>
    </message>
    <message>
        <source>All clusters will be removed. Device positions will be rearranged automatically.</source>
        <translation>Все кластеры будут удалены. Расположение устройств будет перестроено автоматически.</translation>
    </message>
    <message>
        <source>Are you sure you want to rearrange layout?</source>
        <translation>Вы действительно хотите перестроить расположение?</translation>
    </message>
    <message>
        <source>Device positions will be rearranged automatically.</source>
        <translation>Расположение устройств будет перестроено автоматически.</translation>
    </message>
    <message>
        <source>The devices were placed on a simple grid</source>
        <translation>Устройства размещены по простой сетке</translation>
    </message>
    <message>
        <source>%0 device </source>
        <translation>Устройств: %0 </translation>
    </message>
    <message>
        <source>%0 devices </source>
        <translation>Устройств: %0 </translation>
    </message>
    <message>
        <source>Pull the device to position it </source>
        <translation>Перетащите устройство, чтобы разместить его </translation>
    </message>
    <message>
        <source>Release the device to locate </source>
        <translation>Отпустите устройство, чтобы поставить его </translation>
    </message>
    <message>
        <source>Unplaced devices </source>
        <translation>Неразмещенные устройства </translation>
    </message>
    <message>
        <source>By state</source>
        <translation>По состоянию</translation>
    </message>
    <message>
        <source>By connectivity</source>
        <translation>По связности</translation>
    </message>
    <message>
        <source>By thread</source>
        <translation>По потокам</translation>
    </message>
    <message>
        <source>By search</source>
        <translation>По поиску</translation>
    </message>
    <message>
        <source>By network</source>
        <translation>По сетям</translation>
    </message>
    <message>
        <source>By area</source>
        <translation>По областям</translation>
    </message>
    <message>
        <source>Text too large</source>
        <translation>Слишком большой текст</translation>
    </message>
    <message>
        <source>Device text longer than %1 MiB is not read.</source>
        <translation>Текст устройств длиннее %1 МиБ не считывается.</translation>
    </message>
    <message>
        <source>Template name:</source>
        <translation>Имя шаблона:</translation>
    </message>
    <message>
        <source>Export template error</source>
        <translation>Ошибка экспорта шаблона</translation>
    </message>
    <message>
        <source>A template name may not contain &quot;/&quot;, &quot;\&quot; or &quot;..&quot;.</source>
        <translation>Имя шаблона не может содержать &quot;/&quot;, &quot;\&quot; или &quot;..&quot;.</translation>
    </message>
    <message>
        <source>The template could not be saved: %1</source>
        <translation>Не удалось сохранить шаблон: %1</translation>
    </message>
    <message>
        <source>Unreadable file</source>
        <translation>Ошибка чтения файла</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; was not read: %2</source>
        <translation>Не удалось прочитать файл &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Create template </source>
        <translation>Создать шаблон </translation>
    </message>
    <message>
        <source>How do you want to process the file?</source>
        <translation>Как обработать файл?</translation>
    </message>
    <message>
        <source>Choose processing method to continue.</source>
        <translation>Выберите способ обработки, чтобы продолжить.</translation>
    </message>
    <message>
        <source>Insert devices</source>
        <translation>Вставить устройства</translation>
    </message>
    <message>
        <source>Import meta device</source>
        <translation>Импорт мета-устройства</translation>
    </message>
    <message>
        <source>Import template</source>
        <translation>Импорт шаблона</translation>
    </message>
    <message>
        <source>Import meta device error</source>
        <translation>Ошибка импорта мета-устройства</translation>
    </message>
    <message>
        <source>Import failed!</source>
        <translation>Импорт не удался!</translation>
    </message>
    <message>
        <source>Import template error</source>
        <translation>Ошибка импорта шаблона</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Do you want to replace it?</source>
        <translation>&quot;%1&quot; уже существует. Заменить?</translation>
    </message>
    <message>
        <source>Template with the same name already exists. Replacing it will overwrite its current contents.</source>
        <translation>Шаблон с таким именем уже существует. При замене его текущее содержимое будет перезаписано.</translation>
    </message>
    <message>
        <source>Are you sure you want to remove </source>
        <translation>Вы действительно хотите удалить </translation>
    </message>
    <message numerus="yes">
        <source>Are you sure you want to remove %n devices?</source>
        <translation>
            <numerusform>Вы действительно хотите удалить %n устройство?</numerusform>
            <numerusform>Вы действительно хотите удалить %n устройства?</numerusform>
            <numerusform>Вы действительно хотите удалить %n устройств?</numerusform>
        </translation>
    </message>
    <message>
        <source>The selected device will be deleted immediately. It can be restored later using the Undo action.</source>
        <translation>Выбранное устройство будет удалено немедленно. Его можно восстановить позже с помощью отмены действия.</translation>
    </message>
    <message>
        <source>The selected devices will be deleted immediately. They can be restored later using the Undo action.</source>
        <translation>Выбранные устройства будут удалены немедленно. Их можно восстановить позже с помощью отмены действия.</translation>
    </message>
    <message>
        <source>Rename device</source>
        <translation>Переименовать устройство</translation>
    </message>
    <message>
        <source>New name: </source>
        <translation>Новое имя: </translation>
    </message>
    <message>
        <source>Rename cluster</source>
        <translation>Переименовать кластер</translation>
    </message>
    <message>
        <source>Create runtime variable</source>
        <translation>Создать переменную времени выполнения</translation>
    </message>
    <message>
        <source>Variable name</source>
        <translation>Имя переменной</translation>
    </message>
    <message>
        <source>Invalid variable name</source>
        <translation>Недопустимое имя переменной</translation>
    </message>
    <message>
        <source>A variable name holds letters, digits and &quot;_&quot; only.</source>
        <translation>Имя переменной может содержать только буквы, цифры и &quot;_&quot;.</translation>
    </message>
    <message>
        <source>Variable name in use</source>
        <translation>Имя переменной занято</translation>
    </message>
    <message>
        <source>A runtime variable named &quot;%0&quot; exists already.</source>
        <translation>Переменная времени выполнения &quot;%0&quot; уже существует.</translation>
    </message>
    <message>
        <source>Runtime variable not created</source>
        <translation>Переменная времени выполнения не создана</translation>
    </message>
    <message>
        <source>The devices of the variable &quot;%0&quot; could not be created. The connection is left as it was.</source>
        <translation>Не удалось создать устройства переменной &quot;%0&quot;. Связь оставлена без изменений.</translation>
    </message>
    <message>
        <source>Selected devices will be deleted immediately.</source>
        <translation>Выбранные устройства будут удалены немедленно.</translation>
    </message>
    <message>
        <source>Are you sure you want to disconnect %0 from %1&apos;s signals?</source>
        <translation>Вы действительно хотите отключить %0 от сигналов %1?</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>Connection will be removed immediately. It can be restored using Undo action.</source>
        <translation>Связь будет удалена немедленно. Ее можно восстановить с помощью отмены действия.</translation>
    </message>
    <message>
        <source>Moves contained devices</source>
        <translation>Перемещать вложенные устройства</translation>
    </message>
    <message>
        <source>Are you sure you want to remove cluster %0?</source>
        <translation>Вы действительно хотите удалить кластер %0?</translation>
    </message>
    <message>
        <source>Removing cluster will not affect current graph arrangement. It can be restored using Undo action.</source>
        <translation>Удаление кластера не изменит текущее расположение графа. Кластер можно восстановить с помощью отмены действия.</translation>
    </message>
    <message numerus="yes">
        <source>Are you sure you want to delete %n devices?</source>
        <translation>
            <numerusform>Вы действительно хотите удалить %n устройство?</numerusform>
            <numerusform>Вы действительно хотите удалить %n устройства?</numerusform>
            <numerusform>Вы действительно хотите удалить %n устройств?</numerusform>
        </translation>
    </message>
    <message>
        <source>Previous device </source>
        <translation>Предыдущее устройство </translation>
    </message>
    <message>
        <source>Next device </source>
        <translation>Следующее устройство </translation>
    </message>
    <message numerus="yes">
        <source>Are you sure you want to delete %1?</source>
        <extracomment>%1 names the one to three devices, separated by commas.</extracomment>
        <translation>
            <numerusform>Вы действительно хотите удалить устройство %1?</numerusform>
            <numerusform>Вы действительно хотите удалить устройства %1?</numerusform>
            <numerusform>Вы действительно хотите удалить устройства %1?</numerusform>
        </translation>
    </message>
    <message>
        <source>Cluster by IO</source>
        <translation>Кластеры по вводу-выводу</translation>
    </message>
    <message>
        <source>GUI thread </source>
        <translation>Поток интерфейса </translation>
    </message>
    <message>
        <source>1s</source>
        <extracomment>The duration of a long click, written beside the clock of the &quot;Long click &quot; hot key.</extracomment>
        <translation>1 с</translation>
    </message>
    <message>
        <source>The device was not renamed.</source>
        <translation>Устройство не переименовано.</translation>
    </message>
    <message>
        <source>The device manager refused the name &quot;%1&quot;: another device may have it, or it may hold characters a device name cannot hold, some of them invisible (the log says why).</source>
        <translation>Менеджер устройств отклонил имя «%1»: возможно, оно уже занято другим устройством или содержит символы, недопустимые в имени устройства, в том числе невидимые (причина указана в журнале).</translation>
    </message>
</context>
<context>
    <name>DeviceMapWindow</name>
    <message>
        <source>Device map</source>
        <translation>Карта устройств</translation>
    </message>
    <message>
        <source>Clusters</source>
        <translation>Кластеры</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Сетка</translation>
    </message>
    <message>
        <source>Activate grid mode</source>
        <translation>Включить режим сетки</translation>
    </message>
    <message>
        <source>Show grid</source>
        <translation>Показать сетку</translation>
    </message>
    <message>
        <source>Color mode</source>
        <translation>Режим раскраски</translation>
    </message>
    <message>
        <source>Decrease scale</source>
        <translation>Уменьшить масштаб</translation>
    </message>
    <message>
        <source>Reset scale</source>
        <translation>Сбросить масштаб</translation>
    </message>
    <message>
        <source>Increase scale</source>
        <translation>Увеличить масштаб</translation>
    </message>
    <message>
        <source>Cluster</source>
        <translation>Кластеризация</translation>
    </message>
    <message>
        <source>With fixed clusters</source>
        <translation>С фиксированными кластерами</translation>
    </message>
    <message>
        <source>Grid mode</source>
        <translation>Режим сетки</translation>
    </message>
    <message>
        <source>Templates</source>
        <translation>Шаблоны</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Import meta device</source>
        <translation>Импорт мета-устройства</translation>
    </message>
    <message>
        <source>Export meta device</source>
        <translation>Экспорт мета-устройства</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Initialise devices</source>
        <translation>Инициализировать устройства</translation>
    </message>
    <message>
        <source>Deinitialise devices</source>
        <translation>Деинициализировать устройства</translation>
    </message>
    <message>
        <source>Rearrange</source>
        <translation>Перестроить</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Show legend</source>
        <translation>Показать легенду</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Hide legend</source>
        <translation>Скрыть легенду</translation>
    </message>
    <message>
        <source>Meta devices (*.yml)</source>
        <translation>Мета-устройства (*.yml)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Connection activity mode</source>
        <translation>Режим активности соединений</translation>
    </message>
    <message>
        <source>Search device...</source>
        <translation>Найти устройство...</translation>
    </message>
    <message>
        <source>More...</source>
        <translation>Ещё...</translation>
    </message>
</context>
<context>
    <name>DevicePropertiesPage</name>
    <message>
        <source>%1 properties</source>
        <translation>Свойства %1</translation>
    </message>
    <message>
        <source>SIGNALS</source>
        <translation>СИГНАЛЫ</translation>
    </message>
    <message>
        <source>SLOTS</source>
        <translation>СЛОТЫ</translation>
    </message>
    <message>
        <source>PARAMETERS</source>
        <translation>ПАРАМЕТРЫ</translation>
    </message>
</context>
<context>
    <name>DeviceSignalsConsole</name>
    <message>
        <source>Show timestamp</source>
        <translation>Показывать метку времени</translation>
    </message>
    <message>
        <source>Input text</source>
        <translation>Введите текст</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Найти...</translation>
    </message>
</context>
<context>
    <name>DeviceSignalsGraph</name>
    <message>
        <source>Min: </source>
        <translation>Мин: </translation>
    </message>
    <message>
        <source>Max: </source>
        <translation>Макс: </translation>
    </message>
    <message>
        <source>Avg: </source>
        <translation>Сред: </translation>
    </message>
</context>
<context>
    <name>DeviceWidgetArea</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Expand</source>
        <translation>Расширить</translation>
    </message>
    <message>
        <source>Expand rightward</source>
        <translation>Расширить вправо</translation>
    </message>
    <message>
        <source>Expand leftward</source>
        <translation>Расширить влево</translation>
    </message>
    <message>
        <source>Expand upward</source>
        <translation>Расширить вверх</translation>
    </message>
    <message>
        <source>Expand downward</source>
        <translation>Расширить вниз</translation>
    </message>
    <message>
        <source>Shrink</source>
        <translation>Сузить</translation>
    </message>
    <message>
        <source>Shrink rightward</source>
        <translation>Сузить справа</translation>
    </message>
    <message>
        <source>Shrink leftward</source>
        <translation>Сузить слева</translation>
    </message>
    <message>
        <source>Shrink upward</source>
        <translation>Сузить сверху</translation>
    </message>
    <message>
        <source>Shrink downward</source>
        <translation>Сузить снизу</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Add widget</source>
        <translation>Добавить виджет</translation>
    </message>
    <message>
        <source>Swap widgets</source>
        <translation>Поменять виджеты местами</translation>
    </message>
    <message>
        <source>Widget menu</source>
        <translation>Меню виджета</translation>
    </message>
</context>
<context>
    <name>DevicesSelectionPage</name>
    <message>
        <source>Devices selection</source>
        <translation>Выбор устройств</translation>
    </message>
    <message>
        <source>Select devices whose parameters you want to export</source>
        <translation>Выберите устройства, параметры которых нужно экспортировать</translation>
    </message>
</context>
<context>
    <name>ExportMetaDeviceWizard</name>
    <message>
        <source>Export meta device</source>
        <translation>Экспорт мета-устройства</translation>
    </message>
    <message>
        <source>The meta device was not saved</source>
        <translation>Мета-устройство не сохранено</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written: %2</source>
        <translation>Не удалось записать &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>ExternalWirelessNetworkWidget</name>
    <message>
        <source>Choose network...</source>
        <translation>Выбрать сеть...</translation>
    </message>
    <message>
        <source>Wi-Fi is disabled</source>
        <translation>Wi-Fi выключен</translation>
    </message>
    <message>
        <source>Wi-Fi settings</source>
        <translation>Настройки Wi-Fi</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Не подключено</translation>
    </message>
    <message>
        <source>Connected, without internet</source>
        <translation>Подключено, без интернета</translation>
    </message>
    <message>
        <source>Connected, with internet</source>
        <translation>Подключено, с интернетом</translation>
    </message>
</context>
<context>
    <name>FileButton</name>
    <message>
        <source>Select file</source>
        <translation>Выбрать файл</translation>
    </message>
</context>
<context>
    <name>GraphLayoutAdapter</name>
    <message>
        <source>The layout type %1 is unknown, so the devices were placed on a simple grid.</source>
        <translation>Тип раскладки %1 неизвестен, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout failed (%1), so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка не удалась (%1), поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout took longer than %1 s, so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка заняла больше %1 с, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout crashed (signal %1), so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка завершилась аварийно (сигнал %1), поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout was killed from outside, so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка была прервана извне, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout needed more than its %1 MB of memory, so the devices were placed on a simple grid.</source>
        <translation>Автоматической раскладке не хватило отведённых ей %1 МБ памяти, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout could not run (%1), so the devices were placed on a simple grid.</source>
        <translation>Автоматическую раскладку не удалось запустить (%1), поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout would take longer than %1 s for links reaching this far, so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка столь далеко идущих связей заняла бы больше %1 с, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout was stopped from outside (%1), so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка была остановлена извне (%1), поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The automatic layout wrote more than it may (%1) and was ended, so the devices were placed on a simple grid.</source>
        <translation>Автоматическая раскладка выдала больше допустимого (%1) и была завершена, поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>The system could not start the automatic layout (%1), so the devices were placed on a simple grid.</source>
        <translation>Системе не удалось запустить автоматическую раскладку (%1), поэтому устройства размещены простой сеткой.</translation>
    </message>
    <message>
        <source>too many processes or threads</source>
        <translation>слишком много процессов или потоков</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>не хватает памяти</translation>
    </message>
    <message>
        <source>The application ran out of memory during the automatic layout, so the devices were placed on a simple grid.</source>
        <translation>Приложению не хватило памяти во время автоматической раскладки, поэтому устройства размещены простой сеткой.</translation>
    </message>
</context>
<context>
    <name>GraphvizLayout</name>
    <message>
        <source>invalid memory access</source>
        <translation>недопустимое обращение к памяти</translation>
    </message>
    <message>
        <source>bus error</source>
        <translation>ошибка шины</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>аварийное завершение</translation>
    </message>
    <message>
        <source>arithmetic error</source>
        <translation>арифметическая ошибка</translation>
    </message>
    <message>
        <source>illegal instruction</source>
        <translation>недопустимая инструкция</translation>
    </message>
    <message>
        <source>trap</source>
        <translation>ловушка отладки</translation>
    </message>
    <message>
        <source>bad system call</source>
        <translation>недопустимый системный вызов</translation>
    </message>
    <message>
        <source>broken pipe</source>
        <translation>разорванный канал</translation>
    </message>
    <message>
        <source>processor time limit reached</source>
        <translation>исчерпан лимит процессорного времени</translation>
    </message>
    <message>
        <source>file size limit reached</source>
        <translation>превышен предельный размер файла</translation>
    </message>
    <message>
        <source>terminated</source>
        <translation>завершена</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>прервана</translation>
    </message>
    <message>
        <source>hung up</source>
        <translation>разрыв связи</translation>
    </message>
    <message>
        <source>quit</source>
        <translation>выход</translation>
    </message>
    <message>
        <source>killed</source>
        <translation>уничтожена</translation>
    </message>
    <message>
        <source>signal %1</source>
        <translation>сигнал %1</translation>
    </message>
    <message>
        <source>its program %1 is missing</source>
        <translation>её программа %1 не найдена</translation>
    </message>
    <message>
        <source>its program %1 may not be run</source>
        <translation>её программу %1 запрещено запускать</translation>
    </message>
    <message>
        <source>%1 is not a program this system can run</source>
        <translation>%1 не является программой, которую может запустить эта система</translation>
    </message>
    <message>
        <source>its program could not read the job</source>
        <translation>её программа не смогла прочитать задание</translation>
    </message>
    <message>
        <source>its memory could not be bounded</source>
        <translation>её память не удалось ограничить</translation>
    </message>
    <message>
        <source>it ended with status %1</source>
        <translation>она завершилась с кодом %1</translation>
    </message>
    <message>
        <source>it ended with status %1: %2</source>
        <translation>она завершилась с кодом %1: %2</translation>
    </message>
    <message>
        <source>an answer longer than its graph can have</source>
        <translation>ответ длиннее, чем возможен для её графа</translation>
    </message>
    <message>
        <source>more than %1 MB of messages</source>
        <translation>более %1 МБ сообщений</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>нет ответа</translation>
    </message>
    <message>
        <source>not a layout drawing</source>
        <translation>это не чертёж раскладки</translation>
    </message>
    <message>
        <source>the answer ends before its end</source>
        <translation>ответ оборван</translation>
    </message>
    <message>
        <source>an answer that cannot be read</source>
        <translation>ответ не удаётся прочитать</translation>
    </message>
    <message>
        <source>no reason given</source>
        <translation>причина не указана</translation>
    </message>
    <message>
        <source>a drawing of another graph</source>
        <translation>чертёж другого графа</translation>
    </message>
    <message>
        <source>a drawing far larger than its graph</source>
        <translation>чертёж намного больше своего графа</translation>
    </message>
    <message>
        <source>a system call it needs is not available</source>
        <translation>нужный ей системный вызов недоступен</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>не хватает памяти</translation>
    </message>
    <message>
        <source>too many processes</source>
        <translation>слишком много процессов</translation>
    </message>
    <message>
        <source>too many open files</source>
        <translation>слишком много открытых файлов</translation>
    </message>
    <message>
        <source>too many open files in the system</source>
        <translation>слишком много открытых файлов в системе</translation>
    </message>
    <message>
        <source>an invalid argument</source>
        <translation>недопустимый аргумент</translation>
    </message>
    <message>
        <source>the pipes to its program %1 could not be made: %2</source>
        <translation>не удалось создать каналы к её программе %1: %2</translation>
    </message>
    <message>
        <source>the process for its program %1 could not be made: %2</source>
        <translation>не удалось создать процесс для её программы %1: %2</translation>
    </message>
    <message>
        <source>Graphviz could not lay out this graph</source>
        <translation>Graphviz не смог разложить этот граф</translation>
    </message>
    <message>
        <source>too many processes or threads</source>
        <translation>слишком много процессов или потоков</translation>
    </message>
    <message>
        <source>a new process was refused</source>
        <translation>в новом процессе отказано</translation>
    </message>
</context>
<context>
    <name>HeightToleranceDialog</name>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Project 2D</source>
        <translation>Проект 2D</translation>
    </message>
</context>
<context>
    <name>HeightToleranceWidget</name>
    <message>
        <source>cm</source>
        <translation>см</translation>
    </message>
    <message>
        <source>Height tolerance</source>
        <translation>Допуск по высоте</translation>
    </message>
    <message>
        <source>Palette</source>
        <translation>Палитра</translation>
    </message>
    <message>
        <source>Settings not saved</source>
        <translation>Настройки не сохранены</translation>
    </message>
    <message>
        <source>The height tolerance settings could not be written to the settings file. They stay in effect and are written with the next change that can be saved.</source>
        <translation>Не удалось записать настройки допуска по высоте в файл настроек. Они действуют и будут записаны при следующем изменении, которое удастся сохранить.</translation>
    </message>
</context>
<context>
    <name>LineEditWithKeyboard</name>
    <message>
        <source>Open on-screen keyboard</source>
        <translation>Открыть экранную клавиатуру</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Показать пароль</translation>
    </message>
    <message>
        <source>Hide password</source>
        <translation>Скрыть пароль</translation>
    </message>
</context>
<context>
    <name>MetaDeviceImport</name>
    <message>
        <source>%1 could not be read as a text file: %2.</source>
        <translation>Не удалось прочитать %1 как текстовый файл: %2.</translation>
    </message>
    <message>
        <source>%1 is not YAML text: %2.</source>
        <translation>%1 — не текст YAML: %2.</translation>
    </message>
    <message>
        <source>%1 is YAML, but not a meta device (the log says more).</source>
        <translation>%1 — текст YAML, но не мета-устройство (подробности — в журнале).</translation>
    </message>
    <message>
        <source>%1 is named after the built-in device type &quot;%2&quot;, which a meta device cannot replace. Give the file another name to import it.</source>
        <translation>Имя %1 совпадает со встроенным типом устройств «%2», который метаустройство заменить не может. Чтобы импортировать файл, переименуйте его.</translation>
    </message>
    <message>
        <source>%1 has in its name a character that a saved graph does not keep (such as an invisible byte order mark at its start), so its devices would not load back as this meta device. Give the file another name to import it.</source>
        <translation>В имени %1 есть символ, который теряется при сохранении графа (например, невидимая метка порядка байтов в начале), поэтому устройства этого метаустройства не загрузились бы обратно как его собственные. Чтобы импортировать файл, переименуйте его.</translation>
    </message>
</context>
<context>
    <name>NumpadDialog</name>
    <message>
        <source> Backspace</source>
        <translation> Стереть</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Enter value between %1%0and%0%2%3</source>
        <translation>Введите значение от %1%0до%0%2%3</translation>
    </message>
    <message>
        <source>Value is out of range.</source>
        <translation>Значение вне допустимого диапазона.</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Стереть</translation>
    </message>
    <message>
        <source>Cursor left</source>
        <translation>Курсор влево</translation>
    </message>
    <message>
        <source>Cursor right</source>
        <translation>Курсор вправо</translation>
    </message>
    <message>
        <source>Change sign</source>
        <translation>Сменить знак</translation>
    </message>
</context>
<context>
    <name>PickIconButton</name>
    <message>
        <source>Select icon</source>
        <translation>Выбрать значок</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg)</source>
        <translation>Изображения (*.png *.jpg)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Create connection</source>
        <translation>Создать связь</translation>
    </message>
    <message>
        <source>Create device </source>
        <translation>Создать устройство </translation>
    </message>
    <message>
        <source>Remove connection</source>
        <translation>Удалить связь</translation>
    </message>
    <message>
        <source>Edit the code</source>
        <translation>Редактировать код</translation>
    </message>
    <message>
        <source>Open numeric pad</source>
        <translation>Открыть цифровую клавиатуру</translation>
    </message>
    <message>
        <source>Open code editor</source>
        <translation>Открыть редактор кода</translation>
    </message>
    <message>
        <source>Open on-screen keyboard</source>
        <translation>Открыть экранную клавиатуру</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Изменить...</translation>
    </message>
    <message>
        <source>%0 files (*.%1)</source>
        <translation>Файлы %0 (*.%1)</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Switch between decimal and hexadecimal</source>
        <translation>Переключить десятичную и шестнадцатеричную запись</translation>
    </message>
    <message>
        <source>Input value</source>
        <translation>Введите значение</translation>
    </message>
    <message>
        <source>Create cluster </source>
        <translation>Создать кластер </translation>
    </message>
    <message>
        <source>Remove cluster </source>
        <translation>Удалить кластер </translation>
    </message>
    <message>
        <source>Create bending point</source>
        <translation>Создать точку изгиба</translation>
    </message>
    <message>
        <source>Move bending point</source>
        <translation>Переместить точку изгиба</translation>
    </message>
    <message>
        <source>Move </source>
        <translation>Переместить </translation>
    </message>
    <message>
        <source>Move items</source>
        <translation>Переместить элементы</translation>
    </message>
    <message>
        <source>Remove bending point</source>
        <translation>Удалить точку изгиба</translation>
    </message>
    <message>
        <source>Rearrange graph</source>
        <translation>Перестроить граф</translation>
    </message>
    <message>
        <source>Paste devices</source>
        <translation>Вставить устройства</translation>
    </message>
    <message>
        <source>Incorrect connection.</source>
        <translation>Неверная связь.</translation>
    </message>
    <message>
        <source>Something went wrong, check the log.</source>
        <translation>Что-то пошло не так, проверьте журнал.</translation>
    </message>
    <message>
        <source>Remove device </source>
        <translation>Удалить устройство </translation>
    </message>
    <message>
        <source>Remove devices </source>
        <translation>Удалить устройства </translation>
    </message>
    <message>
        <source>Rename cluster</source>
        <translation>Переименовать кластер</translation>
    </message>
    <message>
        <source>Rename device</source>
        <translation>Переименовать устройство</translation>
    </message>
    <message>
        <source>Create runtime variable </source>
        <translation>Создать переменную времени выполнения </translation>
    </message>
</context>
<context>
    <name>SavePage</name>
    <message>
        <source>Save config</source>
        <translation>Сохранение конфигурации</translation>
    </message>
    <message>
        <source>Select file...</source>
        <translation>Выбрать файл...</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists. Do you want to replace it?</source>
        <translation>&quot;%1&quot; уже существует. Заменить?</translation>
    </message>
    <message>
        <source>A file with the same name already exists. Replacing it will overwrite its current contents.</source>
        <translation>Файл с таким именем уже существует. При замене его текущее содержимое будет перезаписано.</translation>
    </message>
    <message>
        <source>Save export config</source>
        <translation>Сохранить конфигурацию экспорта</translation>
    </message>
    <message>
        <source>Config files (*.yml)</source>
        <translation>Файлы конфигурации (*.yml)</translation>
    </message>
    <message>
        <source>The meta device was not saved</source>
        <translation>Мета-устройство не сохранено</translation>
    </message>
    <message>
        <source>The name of &quot;%1&quot; has a character that a saved graph does not keep (such as an invisible byte order mark at its start), so the devices of this meta device would not load back as its own. Choose another name.</source>
        <translation>В имени &quot;%1&quot; есть символ, который теряется при сохранении графа (например, невидимая метка порядка байтов в начале), поэтому устройства этого метаустройства не загрузились бы обратно как его собственные. Выберите другое имя.</translation>
    </message>
</context>
<context>
    <name>ScreenKeyboardDialog</name>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Invalid input.</source>
        <translation>Недопустимый ввод.</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Показать пароль</translation>
    </message>
    <message>
        <source>Hide password</source>
        <translation>Скрыть пароль</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Ввод</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Пробел</translation>
    </message>
    <message>
        <source>Symbols</source>
        <translation>Символы</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Стереть</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Регистр</translation>
    </message>
    <message>
        <source>Switch language</source>
        <translation>Сменить язык</translation>
    </message>
    <message>
        <source>More symbols</source>
        <translation>Другие символы</translation>
    </message>
    <message>
        <source>Letters</source>
        <translation>Буквы</translation>
    </message>
</context>
<context>
    <name>TemplateDescriptionFile</name>
    <message>
        <source>The template can not be read (%1).</source>
        <translation>Не удалось прочитать шаблон (%1).</translation>
    </message>
    <message>
        <source>The template is not valid YAML: %1</source>
        <translation>Шаблон не является корректным YAML: %1</translation>
    </message>
    <message>
        <source>The template is empty.</source>
        <translation>Шаблон пуст.</translation>
    </message>
    <message>
        <source>The template holds several YAML documents; saving a description would keep only the first, so it is not changed here.</source>
        <translation>Шаблон содержит несколько документов YAML; при сохранении описания остался бы только первый, поэтому здесь он не изменяется.</translation>
    </message>
    <message>
        <source>The template is not a YAML map of devices.</source>
        <translation>Шаблон не является YAML-словарем устройств.</translation>
    </message>
    <message>
        <source>The template&apos;s &quot;export&quot; section is not a map.</source>
        <translation>Раздел &quot;export&quot; шаблона не является словарем.</translation>
    </message>
    <message>
        <source>The template&apos;s description is not text.</source>
        <translation>Описание шаблона не является текстом.</translation>
    </message>
    <message>
        <source>The description can not be written as YAML: %1</source>
        <translation>Не удалось записать описание в формате YAML: %1</translation>
    </message>
    <message>
        <source>The description can not be stored in this template without changing it.</source>
        <translation>Описание нельзя сохранить в этом шаблоне, не изменив его.</translation>
    </message>
    <message>
        <source>The template can not be written (%1).</source>
        <translation>Не удалось записать шаблон (%1).</translation>
    </message>
    <message>
        <source>The template holds bytes that are not UTF-8; saving a description would replace them, so it is not changed here.</source>
        <translation>Шаблон содержит байты не в кодировке UTF-8; при сохранении описания они были бы заменены, поэтому здесь его изменить нельзя.</translation>
    </message>
</context>
<context>
    <name>TemplatesWidget</name>
    <message>
        <source>File system</source>
        <translation>Файловая система</translation>
    </message>
    <message>
        <source>The templates folder %1 can not be created.</source>
        <translation>Не удалось создать папку шаблонов %1.</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Describe the template...</source>
        <translation>Опишите шаблон...</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Предпросмотр</translation>
    </message>
    <message>
        <source>Increase zoom</source>
        <translation>Увеличить масштаб</translation>
    </message>
    <message>
        <source>Reset zoom</source>
        <translation>Сбросить масштаб</translation>
    </message>
    <message>
        <source>Decrease zoom</source>
        <translation>Уменьшить масштаб</translation>
    </message>
    <message>
        <source>The template is no longer there.</source>
        <translation>Шаблона больше нет.</translation>
    </message>
    <message>
        <source>The description could not be saved.</source>
        <translation>Не удалось сохранить описание.</translation>
    </message>
    <message>
        <source>Rename file</source>
        <translation>Переименовать файл</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Имя файла:</translation>
    </message>
    <message>
        <source>The template was not renamed.</source>
        <translation>Шаблон не переименован.</translation>
    </message>
    <message>
        <source>A file name can not hold &quot;/&quot; or &quot;\&quot;.</source>
        <translation>Имя файла не может содержать &quot;/&quot; или &quot;\&quot;.</translation>
    </message>
    <message>
        <source>A file named %1 is there already.</source>
        <translation>Файл с именем %1 уже существует.</translation>
    </message>
    <message>
        <source>The template was not deleted.</source>
        <translation>Шаблон не удален.</translation>
    </message>
    <message>
        <source>The devices of the template can not be read: %1</source>
        <translation>Не удалось прочитать устройства шаблона: %1</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>TolerancePalettePicker</name>
    <message>
        <source>Palette %1: %2, %3, %4</source>
        <translation>Палитра %1: %2, %3, %4</translation>
    </message>
</context>
<context>
    <name>ToleranceWidget</name>
    <message>
        <source>Low value</source>
        <translation>Нижнее значение</translation>
    </message>
    <message>
        <source>Optimal value</source>
        <translation>Оптимальное значение</translation>
    </message>
    <message>
        <source>High value</source>
        <translation>Верхнее значение</translation>
    </message>
</context>
<context>
    <name>WirelessNetworkPasswordDialog</name>
    <message>
        <source>Authentication required</source>
        <translation>Требуется аутентификация</translation>
    </message>
    <message>
        <source>A password or encryption key is required
 to access the &quot;%0&quot; wireless network</source>
        <translation>Для доступа к беспроводной сети &quot;%0&quot;
 требуется пароль или ключ шифрования</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключиться</translation>
    </message>
</context>
<context>
    <name>WirelessNetworkWidget</name>
    <message>
        <source>not connected</source>
        <translation>нет подключения</translation>
    </message>
    <message>
        <source>highly unstable connection</source>
        <translation>крайне нестабильное соединение</translation>
    </message>
    <message>
        <source>unstable connection</source>
        <translation>нестабильное соединение</translation>
    </message>
    <message>
        <source>stable connection</source>
        <translation>стабильное соединение</translation>
    </message>
    <message>
        <source>Wi-Fi networks
Choose network</source>
        <translation>Сети Wi-Fi
Выберите сеть</translation>
    </message>
    <message>
        <source>Internet: </source>
        <translation>Интернет: </translation>
    </message>
    <message>
        <source>checking...</source>
        <translation>проверка...</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Отключиться</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Подключиться</translation>
    </message>
    <message>
        <source>Forget connection</source>
        <translation>Забыть подключение</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Wi-Fi is disabled
To connect to a network, the Wi-Fi adapter must be turned on.</source>
        <translation>Wi-Fi выключен
Для подключения к сети необходимо включить адаптер Wi-Fi.</translation>
    </message>
    <message>
        <source>Turn Wi-Fi on</source>
        <translation>Включить Wi-Fi</translation>
    </message>
    <message>
        <source>Wi-Fi module is missing from the system</source>
        <translation>Модуль Wi-Fi в системе отсутствует</translation>
    </message>
    <message>
        <source>Error while connecting</source>
        <translation>Ошибка подключения</translation>
    </message>
    <message>
        <source>Wrong password</source>
        <translation>Неверный пароль</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Подключение...</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестно</translation>
    </message>
</context>
<context>
    <name>ZenticMessageBox</name>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Вопрос</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>Confirmation</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Заменить</translation>
    </message>
</context>
<context>
    <name>ZenticWizard</name>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Назад</translation>
    </message>
</context>
</TS>
