#include "fontpreload.h"

#ifdef MONTERA_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace montera {

FontPreload::FontPreload()
{
#ifdef MONTERA_FONTCONFIG
    m_thread = std::thread([] { FcInit(); });
#endif
}

FontPreload::~FontPreload()
{
    wait();
}

void FontPreload::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace montera
