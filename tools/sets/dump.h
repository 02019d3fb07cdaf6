#pragma once

#include "bank.h"
#include "codec932.h"

#include <QByteArray>

namespace montera::sets {

// The bank as `montera-sets dump` prints it: one JSON object in UTF-8.
QByteArray dumpJson(const QuestionBank& bank, LoadOutcome outcome, TextEncoding encoding);

} // namespace montera::sets
