#pragma once

#include "ParametersEntity.h"
#include "orbodev_export.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>

/**
 * Base class of every device: a QObject with real signals and slots, and a set of parameters.
 *
 * The device's name is its object name; the DeviceManager that created it owns it, sets the
 * name, moves it to its thread and initialises, deinitialises and deletes it. A device lives
 * in the thread its DeviceInfo names (the GUI thread when none), so its slots run there.
 *
 * A device type derives from BaseDevice, declares its parameters with addParam() in its
 * constructor, declares the signals and slots it offers as public Q_SIGNALS / public Q_SLOTS,
 * and does its work in onInitialise() / onDeinitialise().
 *
 * The queries may be called from any thread; the commands run in the device's thread.
 */
class ORBODEV_EXPORT BaseDevice : public QObject, public ParametersEntity
{
    Q_OBJECT

public:
    /// Registered as the meta type "BaseDevice::DeviceState".
    enum DeviceState : int {
        /// Created, never initialised.
        NotInitialised = 0,
        Initialised = 1,
        /// Initialising, or running with a warning.
        Warning = 2,
        /// Deinitialised without an error.
        Deinitialised = 3,
        /// Initialisation failed or the device stopped on an error (see getError()).
        DeinitialisedWithError = 4,
        /// Switched off: it never initialises and its links carry nothing.
        Disabled = 5,
    };
    Q_ENUM(DeviceState)

    explicit BaseDevice(QObject* parent = nullptr);
    ~BaseDevice() override;

    bool isInitialised() const;
    DeviceState getState() const;
    /// The last error, empty when none.
    QString getError() const;
    /// Text shown instead of the name where one is set.
    QString getDescription() const;

    /// Sets a declared parameter's value; an unknown key is logged and ignored.
    virtual void setParam(const QString& key, const QString& value);
    /// The device's name (its object name).
    QString getObjectName() const override;

public Q_SLOTS:
    /// Runs onInitialise() unless disabled; returns whether the device is initialised afterwards.
    /// Always answers with deviceInitialised(), a refusal included.
    bool initialise();
    /// Runs onDeinitialise() when initialised; always answers with deviceInitialised(false).
    void deinitialise();
    /// Puts new parameter values into effect: an initialised device is initialised afresh.
    virtual void applyParams();
    void setDescription(const QString& description);

Q_SIGNALS:
    void deviceInitialised(bool initialised);
    void stateChanged(BaseDevice::DeviceState state);
    void descriptionChanged(QString description);

protected:
    /// The device's own start-up; false (after setError()) when it cannot run.
    virtual bool onInitialise();
    virtual void onDeinitialise();
    void setState(DeviceState state);
    void setError(const QString& error);

private:
    std::atomic<int> m_state{NotInitialised};
    mutable QMutex m_textMutex;
    QString m_error;
    QString m_description;
};

Q_DECLARE_METATYPE(BaseDevice::DeviceState)
