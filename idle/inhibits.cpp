#include "inhibits.h"

namespace montera {

QString loggedName(const QString& name)
{
    if (name.size() <= kLoggedNameLength)
        return name;
    return name.left(kLoggedNameLength - 1) + QChar(0x2026);
}

uint32_t InhibitRegistry::add(const QString& owner)
{
    // Cookies count up and wrap; after a wrap a cookie still in use is skipped.
    while (m_nextCookie == 0 || m_inhibits.contains(m_nextCookie))
        ++m_nextCookie;
    const uint32_t cookie = m_nextCookie++;
    auto count = m_owners.find(owner);
    if (count == m_owners.end())
        count = m_owners.insert(owner, 0);
    ++*count;
    m_inhibits.insert(cookie, count.key());
    return cookie;
}

InhibitRegistry::Release InhibitRegistry::release(const QString& owner, uint32_t cookie)
{
    const auto it = m_inhibits.constFind(cookie);
    if (it == m_inhibits.cend())
        return Release::UnknownCookie;
    if (*it != owner)
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
    m_inhibits.removeIf([&owner](const QHash<uint32_t, QString>::iterator it) { return *it == owner; });
    return count;
}

void InhibitRegistry::clear()
{
    m_inhibits.clear();
    m_owners.clear();
}

} // namespace montera
