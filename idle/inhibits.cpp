#include "inhibits.h"

namespace montera {

QString loggedName(const QString& name)
{
    if (name.size() <= kLoggedNameLength)
        return name;
    return name.left(kLoggedNameLength - 1) + QChar(0x2026);
}

uint32_t InhibitRegistry::add(const QString& owner, const QString& application, const QString& reason)
{
    // Cookies count up and wrap; after a wrap a cookie still in use is skipped.
    while (m_nextCookie == 0 || m_inhibits.contains(m_nextCookie))
        ++m_nextCookie;
    const uint32_t cookie = m_nextCookie++;
    // Only the log reads the names, so only what it shows is kept.
    m_inhibits.insert(cookie, {owner, loggedName(application), loggedName(reason)});
    ++m_owners[owner];
    return cookie;
}

InhibitRegistry::Release InhibitRegistry::release(const QString& owner, uint32_t cookie)
{
    const auto it = m_inhibits.constFind(cookie);
    if (it == m_inhibits.cend())
        return Release::UnknownCookie;
    if (it->owner != owner)
        return Release::NotTheCallers;
    m_inhibits.erase(it);
    if (--m_owners[owner] == 0)
        m_owners.remove(owner);
    return Release::Released;
}

int InhibitRegistry::releaseAll(const QString& owner)
{
    const int count = m_owners.take(owner);
    if (count == 0)
        return 0;
    m_inhibits.removeIf([&owner](const QHash<uint32_t, Inhibit>::iterator it) { return it->owner == owner; });
    return count;
}

void InhibitRegistry::clear()
{
    m_inhibits.clear();
    m_owners.clear();
}

const InhibitRegistry::Inhibit* InhibitRegistry::find(uint32_t cookie) const
{
    const auto it = m_inhibits.constFind(cookie);
    return it == m_inhibits.cend() ? nullptr : &*it;
}

} // namespace montera
