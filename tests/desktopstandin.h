#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

// A desktop service reduced to one published value, for tests on a private
// session bus: every method call on its path is answered with the value
// (wrapped as a property for Properties.Get and GetAll), and setting the value
// emits the service's change signal. It lives on a connection of its own, so
// that it is another peer on the bus than the code under test.
class DesktopStandIn : public QDBusVirtualObject {
public:
    enum class Change { ActiveChanged, PropertiesChanged, InhibitionsChanged };

    DesktopStandIn(QDBusConnection bus, QString service, QString path, QString interface, Change change,
                   QVariant value)
        : m_bus(std::move(bus))
        , m_service(std::move(service))
        , m_path(std::move(path))
        , m_interface(std::move(interface))
        , m_change(change)
        , m_value(std::move(value))
    {
        m_bus.registerVirtualObject(m_path, this);
        m_bus.registerService(m_service);
    }

    void setValue(const QVariant& value)
    {
        m_value = value;
        QDBusMessage signal;
        switch (m_change) {
        case Change::ActiveChanged:
            signal = QDBusMessage::createSignal(m_path, m_interface, QStringLiteral("ActiveChanged"));
            signal << value;
            break;
        case Change::PropertiesChanged:
            signal = QDBusMessage::createSignal(m_path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                QStringLiteral("PropertiesChanged"));
            signal << m_interface << QVariantMap{{m_property, value}} << QStringList();
            break;
        case Change::InhibitionsChanged:
            // The arguments (what was added and removed) are not what a
            // client reads: it asks again.
            signal = QDBusMessage::createSignal(m_path, m_interface, QStringLiteral("InhibitionsChanged"));
            signal << QStringList() << QStringList();
            break;
        }
        m_bus.send(signal);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        QVariant reply = m_value;
        if (message.member() == QLatin1String("Get"))
            reply = QVariant::fromValue(QDBusVariant(m_value));
        else if (message.member() == QLatin1String("GetAll"))
            reply = QVariantMap{{m_property, m_value}};
        return connection.send(message.createReply(reply));
    }

private:
    QDBusConnection m_bus;
    const QString m_service;
    const QString m_path;
    const QString m_interface;
    const Change m_change;
    // The one property a Properties-based service publishes.
    const QString m_property = QStringLiteral("InhibitedActions");
    QVariant m_value;
};
