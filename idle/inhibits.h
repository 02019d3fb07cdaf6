#pragma once

#include <QHash>
#include <QString>

#include <cstdint>

namespace montera {

// The longest application name or reason kept for the log; programs may send
// anything, and a log line should stay a line.
inline constexpr qsizetype kLoggedNameLength = 256;

// Cuts a name that a program sent to at most kLoggedNameLength characters.
QString loggedName(const QString& name);

// Who holds the screen awake through the screensaver interface we offer: one
// entry per Inhibit call, found again by its cookie. It knows nothing of the
// bus, so that its rules are tested without one; the owner is whatever names
// the caller (its unique bus name).
class InhibitRegistry {
public:
    enum class Release { Released, UnknownCookie, NotTheCallers };

    // Records an inhibit and returns its cookie, never 0 and never one in use.
    // What the program said about it is logged, not kept.
    uint32_t add(const QString& owner);
    // Ends the inhibit with this cookie when the owner made it.
    Release release(const QString& owner, uint32_t cookie);
    // Ends every inhibit of an owner that left; returns how many there were.
    int releaseAll(const QString& owner);
    void clear();

    bool held() const { return !m_inhibits.isEmpty(); }
    int count() const { return int(m_inhibits.size()); }
    bool holds(const QString& owner) const { return m_owners.contains(owner); }

private:
    // The owner of each cookie; the owner's name is shared among its inhibits.
    QHash<uint32_t, QString> m_inhibits;
    // How many inhibits each owner holds, so that its leaving is one look-up.
    QHash<QString, int> m_owners;
    uint32_t m_nextCookie = 1;
};

} // namespace montera
