<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>DashboardWindow</name>
    <message>
        <source>Dashboard</source>
        <translation>Панель приборов</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>The dashboard could not be saved.</source>
        <translation>Не удалось сохранить панель приборов.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why). The dashboard shows your changes, but they are kept only once a later save succeeds.</source>
        <translation>Не удалось записать %1 (причина — в журнале). Панель приборов показывает ваши изменения, но они сохранятся, только когда удастся одно из следующих сохранений.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why). The demo is ending: your changes to the dashboard were not saved.</source>
        <translation>Не удалось записать %1 (причина — в журнале). Демонстрация завершается: ваши изменения панели приборов не сохранены.</translation>
    </message>
</context>
<context>
    <name>DemoFiles</name>
    <message>
        <source>there is no such folder</source>
        <translation>такой папки нет</translation>
    </message>
</context>
<context>
    <name>DemoMenu</name>
    <message>
        <source>&amp;Demo</source>
        <translation>&amp;Демо</translation>
    </message>
    <message>
        <source>&amp;Settings...</source>
        <translation>&amp;Настройки...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
</context>
<context>
    <name>DemoSettings</name>
    <message>
        <source>%1 could not be read, so the defaults apply. It could not be moved aside either: saving the settings writes over it.</source>
        <translation>Не удалось прочитать %1, поэтому действуют значения по умолчанию. Отложить его в сторону тоже не удалось: сохранение настроек перезапишет его.</translation>
    </message>
    <message>
        <source>%1 could not be read, so the defaults apply. It is kept in the same folder as %2 for you to mend.</source>
        <translation>Не удалось прочитать %1, поэтому действуют значения по умолчанию. Файл сохранён в той же папке как %2, чтобы вы могли его исправить.</translation>
    </message>
    <message>
        <source>%1 could not be read, so the defaults apply. This run leaves it as it is; the next run that keeps your changes keeps it aside for you to mend.</source>
        <translation>Не удалось прочитать %1, поэтому действуют значения по умолчанию. Этот запуск оставляет его как есть; следующий запуск, сохраняющий ваши изменения, отложит его в сторону, чтобы вы могли его исправить.</translation>
    </message>
    <message>
        <source>Changes to the settings are not kept.</source>
        <translation>Изменения настроек не сохраняются.</translation>
    </message>
    <message>
        <source>This run keeps none of your changes.</source>
        <translation>Этот запуск не сохранит ваших изменений.</translation>
    </message>
    <message>
        <source>%1 cannot be read, so the defaults are shown. It is left as it is, and changes to the settings hold only until the demo quits.</source>
        <translation>Не удаётся прочитать %1, поэтому показаны значения по умолчанию. Файл остаётся как есть, а изменения настроек действуют только до выхода из демо.</translation>
    </message>
</context>
<context>
    <name>DemoStartup</name>
    <message>
        <source>The meta device could not be kept.</source>
        <translation>Не удалось сохранить копию мета-устройства.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why). The meta device can be used until the demo ends; import it again after the next start.</source>
        <translation>Не удалось записать %1 (причина — в журнале). Мета-устройство можно использовать до завершения демонстрации; после следующего запуска импортируйте его снова.</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>его не удаётся прочитать</translation>
    </message>
    <message>
        <source>it is YAML, but not a device graph</source>
        <translation>это YAML, но не граф устройств</translation>
    </message>
    <message>
        <source>it is not YAML text</source>
        <translation>это не текст YAML</translation>
    </message>
    <message>
        <source>it was saved by a newer version of the program</source>
        <translation>он сохранён более новой версией программы</translation>
    </message>
    <message>
        <source>the log says why</source>
        <translation>причина — в журнале</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2. The demo started with its sample graph. The file could not be moved aside either: the next save of the graph writes over it.</source>
        <translation>Не удалось загрузить %1: %2. Демонстрация запущена с примером графа. Отложить файл тоже не удалось: следующее сохранение графа запишет поверх него.</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2. The demo started with its sample graph; your file is kept in the same folder as %3 for you to mend.</source>
        <translation>Не удалось загрузить %1: %2. Демонстрация запущена с примером графа; ваш файл сохранён в той же папке под именем %3, чтобы вы могли его исправить.</translation>
    </message>
    <message>
        <source>The device graph could not be loaded.</source>
        <translation>Не удалось загрузить граф устройств.</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2. The demo started with its sample graph and keeps none of your changes in this run; the file is left as it is.</source>
        <translation>Не удалось загрузить %1: %2. Демонстрация запущена с примером графа и не сохранит ваших изменений в этом запуске; файл оставлен как есть.</translation>
    </message>
    <message>
        <source>No folder for the files of this run could be made as %1 (%2): nothing of this run can be saved.</source>
        <translation>Не удалось создать папку для файлов этого запуска %1 (%2): ничего из этого запуска сохранить нельзя.</translation>
    </message>
    <message>
        <source>This run keeps none of your changes.</source>
        <translation>Этот запуск не сохранит ваших изменений.</translation>
    </message>
    <message>
        <source>there is no such file</source>
        <translation>такого файла нет</translation>
    </message>
    <message>
        <source>The map&apos;s places of it are kept as %1.</source>
        <translation>Расположение его устройств на карте сохранено под именем %1.</translation>
    </message>
    <message>
        <source>The dashboard&apos;s widgets of it are kept as %1.</source>
        <translation>Виджеты его панели приборов сохранены под именем %1.</translation>
    </message>
    <message>
        <source>%1 could not be loaded: %2. The demo started with its sample graph and keeps none of your changes in this run.</source>
        <translation>Не удалось загрузить %1: %2. Демонстрация запущена с примером графа и не сохранит ваших изменений в этом запуске.</translation>
    </message>
    <message>
        <source>%1 is the sample graph the demo ships with, which stays as shipped: your changes in this run are not kept.</source>
        <translation>%1 — пример графа, поставляемый с демонстрацией, он остаётся неизменным: ваши изменения в этом запуске не сохраняются.</translation>
    </message>
    <message>
        <source>%1 is in use by another run of the demo (process %2). This run shows it as it is and keeps none of your changes; quit the other run to edit it here.</source>
        <translation>%1 используется другим запуском демонстрации (процесс %2). Этот запуск показывает его как есть и не сохранит ваших изменений; чтобы редактировать его здесь, завершите другой запуск.</translation>
    </message>
    <message>
        <source>a file stands in its place</source>
        <translation>на её месте находится файл</translation>
    </message>
    <message>
        <source>it cannot be made</source>
        <translation>её невозможно создать</translation>
    </message>
    <message>
        <source>The data folder %1 cannot be written (%2). The sample graph is shown with its places, but neither they nor any of your changes are kept.</source>
        <translation>В папку данных %1 невозможно записать (%2). Пример графа показан с расположением устройств, но ни оно, ни ваши изменения не сохраняются.</translation>
    </message>
    <message>
        <source>The data folder %1 cannot be written (%2). Your graph is shown with its places, but none of your changes in this run are kept.</source>
        <translation>В папку данных %1 невозможно записать (%2). Ваш граф показан с расположением устройств, но ваши изменения в этом запуске не сохраняются.</translation>
    </message>
</context>
<context>
    <name>DemoWindows</name>
    <message>
        <source>The map could not be saved.</source>
        <translation>Не удалось сохранить карту.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why). The map shows your changes, but they are kept only once a later save succeeds.</source>
        <translation>Не удалось записать %1 (причина — в журнале). Карта показывает ваши изменения, но они сохранятся, только когда удастся одно из следующих сохранений.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why). The demo is ending: your changes to the map were not saved.</source>
        <translation>Не удалось записать %1 (причина — в журнале). Демонстрация завершается: ваши изменения карты не сохранены.</translation>
    </message>
</context>
<context>
    <name>DeviceConfigWidget</name>
    <message>
        <source>Output</source>
        <translation>Вывод</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Ввод</translation>
    </message>
</context>
<context>
    <name>DeviceListModel</name>
    <message>
        <source>initialised</source>
        <translation>инициализировано</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>предупреждение</translation>
    </message>
    <message>
        <source>deinitialised</source>
        <translation>деинициализировано</translation>
    </message>
    <message>
        <source>error</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>отключено</translation>
    </message>
    <message>
        <source>not initialised</source>
        <translation>не инициализировано</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Thread</source>
        <translation>Поток</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Связи</translation>
    </message>
    <message>
        <source>GUI</source>
        <translation>GUI</translation>
    </message>
    <message>
        <source>%1 in, %2 out</source>
        <translation>%1 вход., %2 исх.</translation>
    </message>
</context>
<context>
    <name>DeviceListWindow</name>
    <message>
        <source>Devices</source>
        <translation>Устройства</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
</context>
<context>
    <name>DevicePanelsWindow</name>
    <message>
        <source>Log and device settings</source>
        <translation>Журнал и настройки устройства</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Устройство:</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Настройки...</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Журнал</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Device map</source>
        <translation>Карта устройств</translation>
    </message>
    <message>
        <source>Sources</source>
        <translation>Источники</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <source>Demo settings</source>
        <translation>Настройки демонстрации</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Станция</translation>
    </message>
    <message>
        <source>Station name</source>
        <translation>Имя станции</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>Язык системы</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Keep a log</source>
        <translation>Вести журнал</translation>
    </message>
    <message>
        <source>Log file</source>
        <translation>Файл журнала</translation>
    </message>
    <message>
        <source>Start-up script</source>
        <translation>Сценарий запуска</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Отображение</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Экран</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Accent colour</source>
        <translation>Цвет акцента</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Тема</translation>
    </message>
    <message>
        <source>Project 2D</source>
        <translation>Проект 2D</translation>
    </message>
    <message>
        <source>Height tolerance...</source>
        <translation>Допуск по высоте...</translation>
    </message>
    <message>
        <source>Height tolerance</source>
        <translation>Допуск по высоте</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Устройства</translation>
    </message>
    <message>
        <source>Polling</source>
        <translation>Опрос</translation>
    </message>
    <message>
        <source>Poll period</source>
        <translation>Период опроса</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Scale factor</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Bus address</source>
        <translation>Адрес на шине</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Каналы</translation>
    </message>
    <message>
        <source>The settings could not be saved.</source>
        <translation>Не удалось сохранить настройки.</translation>
    </message>
    <message>
        <source>%1 could not be written (the log says why): the changes hold only until the demo quits, and a new language is not taken up at the next start.</source>
        <translation>Не удалось записать %1 (причина — в журнале): изменения действуют только до выхода из демо, и новый язык не будет применён при следующем запуске.</translation>
    </message>
    <message>
        <source>The changes hold until the demo quits, and a new language is not taken up: the next start reads %1 as it is.</source>
        <translation>Изменения действуют до выхода из демо, и новый язык не будет применён: при следующем запуске %1 будет прочитан таким, как есть.</translation>
    </message>
    <message>
        <source>The change holds until the demo quits: the next start reads %1 as it is.</source>
        <translation>Изменение действует до выхода из демо: при следующем запуске %1 будет прочитан таким, как есть.</translation>
    </message>
</context>
<context>
    <name>WirelessWindow</name>
    <message>
        <source>Wireless</source>
        <translation>Беспроводная сеть</translation>
    </message>
    <message>
        <source>Wi-Fi status (simulated networks)</source>
        <translation>Состояние Wi-Fi (имитация сетей)</translation>
    </message>
    <message>
        <source>The networks come from the framework stand-in; nothing here touches this machine&apos;s network. &quot;Workshop&quot; takes the password &quot;orbodev123&quot;.</source>
        <translation>Сети имитирует заменитель фреймворка; сеть этой машины не затрагивается. Пароль сети «Workshop» — «orbodev123».</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Saved screenshot %1</source>
        <translation>Снимок сохранён: %1</translation>
    </message>
    <message>
        <source>Could not save screenshot %1</source>
        <translation>Не удалось сохранить снимок %1</translation>
    </message>
    <message>
        <source>Cannot create the screenshot directory %1</source>
        <translation>Не удаётся создать папку для снимков %1</translation>
    </message>
    <message>
        <source>Demo host of the DozeRozOZU widget library</source>
        <translation>Демонстрация библиотеки виджетов DozeRozOZU</translation>
    </message>
    <message>
        <source>Cannot load the device graph %1</source>
        <translation>Не удаётся загрузить граф устройств %1</translation>
    </message>
    <message>
        <source>Save a PNG of each window into &lt;dir&gt; and exit. The windows show the sample graph, or the one named with --graph; nothing of yours is written.</source>
        <translation>Сохранить PNG-снимок каждого окна в &lt;dir&gt; и выйти. Окна показывают пример графа или граф, указанный в --graph; ваши файлы не изменяются.</translation>
    </message>
    <message>
        <source>Device graph to load and edit (default: your graph in the data folder, else the sample). Its map places go to &lt;file&gt;.map.ini beside it and the data folder is left alone; when it does not load, the sample runs and nothing of this run is kept.</source>
        <translation>Граф устройств для загрузки и правки (по умолчанию — ваш граф в папке данных, иначе пример). Расположение устройств на карте сохраняется рядом с ним в &lt;file&gt;.map.ini, папка данных не меняется; если граф не загружается, запускается пример и ничего из этого запуска не сохраняется.</translation>
    </message>
</context>
</TS>
