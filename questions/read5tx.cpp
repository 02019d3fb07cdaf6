#include "bank.h"
#include "readers.h"

namespace montera {

int Read5TX(QuestionBank&, const QString&)
{
    return 0;
}

} // namespace montera
