#include "bank.h"
#include "readers.h"

namespace montera {

int Read5TQ(QuestionBank&, const QByteArray&)
{
    return 0;
}

} // namespace montera
