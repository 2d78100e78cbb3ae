#pragma once

#include <QWidget>

class ExternalWirelessNetworkWidget;

/**
 * The demo's wireless window: the compact Wi-Fi status widget, as a host places it, over the
 * stand-in's simulated networks. "Workshop" is joined at start, so the status turns green
 * and the list shows a connected row. Connectivity probes go to 127.0.0.1 only.
 *
 * The host owns the window; the status widget owns its network list popup.
 */
class WirelessWindow : public QWidget
{
    Q_OBJECT

public:
    explicit WirelessWindow(QWidget* parent = nullptr);

    /// Opens the network list as the button does, waits (at most 3 s) until it lists the
    /// simulated networks with the joined one marked, and chooses that row.
    QWidget* openNetworkList();

private:
    ExternalWirelessNetworkWidget* m_status;
};
